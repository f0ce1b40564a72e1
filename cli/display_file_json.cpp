#include "display_file_json.h"

#include "common/dotted_address.h"

#include <QJsonArray>
#include <cmath>

namespace pravik::cli {

using namespace pravik::document;

namespace {

struct ScreenField
{
    const char *key;
    int column;
};

constexpr ScreenField kScreenFields[] = {
    {"picture", PictureColumn},       {"entryEffect", EntryEffectColumn},
    {"entrySpeed", EntrySpeedColumn}, {"stayMode", StayModeColumn},
    {"stayTime", StayTimeColumn},     {"displayKind", DisplayKindColumn},
    {"exitEffect", ExitEffectColumn}, {"exitSpeed", ExitSpeedColumn},
};

// Reads one whole number of a settings object, within the range the display
// file keeps; a missing key keeps the start value.
class SettingsReader
{
public:
    SettingsReader(const QJsonObject &object, QString &error) : m_object(object), m_error(error) {}

    template <typename T>
    void integer(const char *key, T &target, std::int64_t low, std::int64_t high,
                 const QString &why)
    {
        if (!m_error.isEmpty() || !m_object.contains(QLatin1String(key)))
            return;
        const QJsonValue value = m_object.value(QLatin1String(key));
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || number != std::trunc(number) || number < low || number > high) {
            m_error = QStringLiteral("settings.%1: %2").arg(QLatin1String(key), why);
            return;
        }
        target = static_cast<T>(number);
    }

    void text(const char *key, QString &target)
    {
        if (!m_error.isEmpty() || !m_object.contains(QLatin1String(key)))
            return;
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (!value.isString()) {
            m_error = QStringLiteral("settings.%1: must be a text").arg(QLatin1String(key));
            return;
        }
        target = value.toString();
    }

private:
    const QJsonObject &m_object;
    QString &m_error;
};

// A value the display file cannot carry: what and why.
common::Failure invalid(const QString &text)
{
    return {common::kRefusedCode, {}, text, common::MessageIcon::Error};
}

common::Expected<BoardSettings> settingsFromJson(const QJsonObject &object)
{
    BoardSettings s;
    QString error;
    SettingsReader read(object, error);
    read.integer("port", s.port, 0, 16,
                 QStringLiteral("must be 0 (Ethernet) or a serial port 1..16"));
    // The file keeps six characters of the baud rate and four of each size.
    read.integer("baud", s.baud, 0, 999999, QStringLiteral("must be a whole number 0..999999"));
    std::int64_t address = s.busAddress();
    read.integer("address", address, 0, 255, QStringLiteral("must be a bus address 0..255"));
    read.text("ipAddress", s.ipAddress);
    read.integer("ipPort", s.ipPort, 0, 65535, QStringLiteral("must be a UDP port 0..65535"));
    read.integer("feedback", s.feedback, 0, 1, QStringLiteral("must be 0 or 1"));
    read.integer("scrtype", s.scrtype, 0, 3, QStringLiteral("must be 0..3"));
    read.integer("scrwidth", s.scrwidth, 0, 9992,
                 QStringLiteral("must be a multiple of 8 up to 9992"));
    read.integer("scrhigh", s.scrhigh, 1, 9999, QStringLiteral("must be 1..9999"));
    if (!error.isEmpty())
        return invalid(error);
    if (s.scrwidth % 8 != 0)
        return invalid(QStringLiteral("settings.scrwidth: must be a multiple of 8 up to 9992"));
    s.setBusAddress(static_cast<std::uint8_t>(address));
    if (s.isEthernet()) {
        if (!common::isDottedQuad(s.ipAddress))
            return invalid(QStringLiteral(
                "settings.ipAddress: an Ethernet board needs an address such as 192.168.0.200"));
        const QStringList parts = s.ipAddress.split(u'.');
        for (int i = 0; i < 4; ++i)
            s.ipOctets[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(parts[i].toInt());
    }
    return s;
}

common::Expected<ScreenList> screensFromJson(const QJsonArray &array)
{
    ScreenList screens;
    initScreenList(screens);
    if (array.size() > kMaxScreens)
        return invalid(
            QStringLiteral("screens: a display file holds at most %1 screens").arg(kMaxScreens));
    for (qsizetype i = 0; i < array.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        if (!array[i].isObject())
            return invalid(QStringLiteral("screens[%1]: must be an object").arg(i));
        const QJsonObject screen = array[i].toObject();
        for (const ScreenField &field : kScreenFields) {
            const QJsonValue value = screen.value(QLatin1String(field.key));
            if (value.isUndefined())
                continue;
            if (!value.isString())
                return invalid(QStringLiteral("screens[%1].%2: must be a text")
                                   .arg(i)
                                   .arg(QLatin1String(field.key)));
            const QString text = value.toString();
            if (text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n'))
                return invalid(
                    QStringLiteral(
                        "screens[%1].%2: a double quote or a line break cannot be stored")
                        .arg(i)
                        .arg(QLatin1String(field.key)));
            screens.setText(row, field.column, text);
        }
        if (screens.text(row, PictureColumn).isEmpty())
            return invalid(QStringLiteral("screens[%1].picture: every screen needs a picture file; "
                                          "the list ends at the first one without")
                               .arg(i));
    }
    return screens;
}

} // namespace

QJsonObject displayFileJson(const BoardSettings &settings, const ScreenList &screens,
                            const QList<common::Message> &messages)
{
    QJsonArray octets;
    for (const auto octet : settings.ipOctets)
        octets.append(octet);
    const QJsonObject settingsObject{
        {"port", settings.port},
        {"baud", settings.baud},
        {"address", settings.busAddress()},
        {"ipAddress", settings.ipAddress},
        {"ipOctets", octets},
        {"ipPort", settings.ipPort},
        {"feedback", settings.feedback},
        {"scrtype", settings.scrtype},
        {"scrwidth", settings.scrwidth},
        {"scrhigh", settings.scrhigh},
    };

    QJsonArray screenArray;
    for (int row = 1; row <= screens.screenCount(); ++row) {
        QJsonObject screen;
        for (const ScreenField &field : kScreenFields)
            screen.insert(QLatin1String(field.key), screens.text(row, field.column));
        screenArray.append(screen);
    }

    QJsonArray messageArray;
    for (const common::Message &m : messages)
        messageArray.append(QJsonObject{{"text", m.text}, {"title", m.title}});

    return QJsonObject{
        {"settings", settingsObject}, {"screens", screenArray}, {"messages", messageArray}};
}

common::Expected<DisplayFileContent> displayFileFromJson(const QJsonObject &object)
{
    if (!object.value(QLatin1String("settings")).isObject())
        return invalid(QStringLiteral("settings: an object with the board settings is needed"));
    const QJsonValue screensValue = object.value(QLatin1String("screens"));
    if (!screensValue.isUndefined() && !screensValue.isArray())
        return invalid(QStringLiteral("screens: must be a list"));
    const common::Expected<BoardSettings> settings =
        settingsFromJson(object.value(QLatin1String("settings")).toObject());
    if (!settings)
        return settings.failure();
    const common::Expected<ScreenList> screens = screensFromJson(screensValue.toArray());
    if (!screens)
        return screens.failure();
    return DisplayFileContent{*settings, *screens};
}

} // namespace pravik::cli
