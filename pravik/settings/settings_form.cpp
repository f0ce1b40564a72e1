#include "settings_form.h"

#include "link_choices.h"

#include "common/numbers.h"

namespace pravik::settings {
namespace {

double valueOf(const QString &text)
{
    return common::leadingNumber(text);
}

std::int64_t roundedValueOf(const QString &text)
{
    return common::roundHalfEven(valueOf(text));
}

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

bool isByte(const QString &text)
{
    const double value = valueOf(text);
    return !isBlank(text) && value >= 0 && value <= 255;
}

// Boards are built from modules 8 LEDs wide.
bool isWholeModules(const QString &text)
{
    return roundedValueOf(text) % 8 == 0;
}

std::optional<std::int32_t> udpPort(const QString &text)
{
    const std::optional<std::int64_t> port = common::asInteger(text);
    if (!port || *port < 1 || *port > 65535)
        return std::nullopt;
    return static_cast<std::int32_t>(*port);
}

FormField ipBox(int index)
{
    return static_cast<FormField>(static_cast<int>(FormField::IpBox0) + index);
}

} // namespace

std::optional<Rejection> storeSettingsForm(const SettingsForm &form,
                                           document::BoardSettings &settings)
{
    const std::optional<int> port = portForLinkText(form.link);
    if (!port)
        return Rejection{FormField::Link, kLinkErrorText};

    if (*port == 0) {
        for (int i = 0; i < 4; ++i) {
            if (!isByte(form.ipBoxes[static_cast<std::size_t>(i)]))
                return Rejection{ipBox(i), kAddressErrorText};
        }
        const std::optional<std::int32_t> ipPort = udpPort(form.ipPort);
        if (!ipPort)
            return Rejection{FormField::IpPort, kIpPortErrorText};
        QStringList octets;
        for (int i = 0; i < 4; ++i) {
            const auto octet = static_cast<std::int16_t>(
                roundedValueOf(form.ipBoxes[static_cast<std::size_t>(i)]) % 256);
            settings.ipOctets[static_cast<std::size_t>(i)] = octet;
            octets << QString::number(octet);
        }
        settings.ipAddress = octets.join(u'.');
        settings.ipPort = *ipPort;
    }

    if (!isByte(form.address))
        return Rejection{FormField::Address, kAddressErrorText};
    const double width = valueOf(form.width);
    if (width < 1 || width > kMostScreenWidth || !isWholeModules(form.width))
        return Rejection{FormField::Width, kWidthErrorText};
    const double height = valueOf(form.height);
    if (height < 1 || height > kMostScreenHeight)
        return Rejection{FormField::Height, kHeightErrorText};

    settings.scrtype = form.screenType;
    settings.scrwidth = static_cast<std::int16_t>(roundedValueOf(form.width));
    settings.scrhigh = static_cast<std::int16_t>(roundedValueOf(form.height));
    settings.baud = valueOf(form.baud);
    settings.port = static_cast<std::int16_t>(*port);
    settings.feedback = form.feedback ? 1 : 0;
    settings.setBusAddress(static_cast<std::uint8_t>(roundedValueOf(form.address) % 256));
    return std::nullopt;
}

std::optional<QString> correctedText(CorrectedField field, const QString &text)
{
    const double value = valueOf(text);
    switch (field) {
    case CorrectedField::Width:
        if (value <= 0 || value > kMostScreenWidth || !isWholeModules(text))
            return QStringLiteral("80");
        break;
    case CorrectedField::Height:
        if (value <= 0 || value > kMostScreenHeight)
            return QStringLiteral("64");
        break;
    case CorrectedField::Address:
        if (value < 0 || value > 255)
            return QStringLiteral("255");
        break;
    case CorrectedField::FirstScreen:
        if (value < 0 || value > 95)
            return QStringLiteral("0");
        break;
    case CorrectedField::ScreenCount:
        if (value < 0 || value > 238)
            return QStringLiteral("1");
        break;
    }
    return std::nullopt;
}

} // namespace pravik::settings
