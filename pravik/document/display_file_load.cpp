#include "display_file.h"
#include "display_file_messages.h"
#include "ip_octets.h"
#include "list_input_reader.h"
#include "program_texts.h"

#include "common/dotted_address.h"
#include "common/numbers.h"
#include "common/prompter.h"
#include "common/text_codec.h"

#include <QFile>
#include <QStringList>
#include <optional>

namespace pravik::document {
namespace {

using common::asInteger;
using common::leadingNumber;
using common::roundHalfEven;

constexpr int kSettingsLines = 8; // the lines between [comm] and [Pics]
constexpr int kFirstIpOctetText = 13; // the length of "IP Address = "

void tellError(common::Prompter &prompter, const QString &text)
{
    prompter.tell(text, kProgramTitle, common::MessageIcon::Error);
}

// The value of a settings line is cut from its right end with a fixed width;
// the key text in front of it is never looked at.
QStringView cut(const QString &line, qsizetype width)
{
    return QStringView(line).right(width);
}

// The numeric value of a settings line's last `width` characters. A value
// shorter than the cut leaves the key's "=" in it: Pravik writes a board 8
// LEDs wide as "scrwidth =  8", whose cut "=  8" starts with no number. Then
// the digits after the "=" are the value; a cut holding a number of its own,
// or a sign after its "=", reads as the leading number as before.
double numericValue(const QString &line, qsizetype width)
{
    const QStringView text = cut(line, width);
    const double value = leadingNumber(text);
    const qsizetype equals = text.lastIndexOf(u'=');
    if (value != 0 || equals < 0)
        return value;
    const QStringView after = text.mid(equals + 1).trimmed();
    const bool digitFollows = !after.isEmpty() && after.front() >= u'0' && after.front() <= u'9';
    return digitFollows ? leadingNumber(after) : value;
}

// Lines 2 to 9 of the file. Nothing is stored unless every line can be read,
// so a broken file leaves the board settings as they were.
std::optional<BoardSettings> readSettings(const QStringList &lines, BoardSettings settings)
{
    const auto port = asInteger(cut(lines[0], 2));
    if (!port)
        return std::nullopt;
    // Ports beyond the sixteen serial ports (and negative ones) fall back to COM1.
    settings.port = (*port > 16 || *port < 0) ? 1 : static_cast<std::int16_t>(*port);

    const double linkValue = numericValue(lines[1], 6);
    if (!settings.isEthernet()) {
        settings.baud = linkValue;
    } else {
        settings.ipPort = static_cast<std::int32_t>(roundHalfEven(linkValue));
        settings.ipAddress = common::canonicalDottedQuad(lines[2].mid(kFirstIpOctetText));
        if (!splitIpOctets(settings.ipAddress, settings.ipOctets))
            return std::nullopt;
    }

    const auto address = asInteger(cut(lines[3], 3));
    if (!address)
        return std::nullopt;
    settings.setBusAddress(static_cast<std::uint8_t>(*address & 0xFF));

    const auto feedback = asInteger(cut(lines[4], 1));
    if (!feedback)
        return std::nullopt;
    settings.feedback = *feedback != 0 ? 1 : 0;

    const auto type = static_cast<std::int16_t>(leadingNumber(cut(lines[5], 1)));
    settings.scrtype = type > 3 ? 0 : type;

    const auto width = static_cast<std::int16_t>(roundHalfEven(numericValue(lines[6], 4)));
    // A board is a whole number of 8-LED columns wide; anything else (a negative
    // width too) is read as the 80-LED board.
    settings.scrwidth = (width % 8 != 0 || width < 0) ? 80 : width;

    const auto height = static_cast<std::int16_t>(roundHalfEven(numericValue(lines[7], 4)));
    settings.scrhigh = height < 1 ? 32 : height;
    return settings;
}

} // namespace

LoadResult loadDisplayFileBytes(const QByteArray &bytes, BoardSettings &settings,
                                ScreenList &screens, common::Prompter &prompter,
                                const LoadHooks &hooks)
{
    initScreenList(screens);
    ListInputReader reader(common::decodeCodePage936(bytes));

    QString line;
    if (!reader.readLine(line) || line != QStringLiteral("[comm]")) {
        tellError(prompter, kNotDisplayFileText);
        return LoadResult::NotDisplayFile;
    }
    QStringList settingsLines;
    while (settingsLines.size() < kSettingsLines && reader.readLine(line))
        settingsLines.append(line);
    const std::optional<BoardSettings> read =
        settingsLines.size() == kSettingsLines ? readSettings(settingsLines, settings)
                                               : std::nullopt;
    if (!read) {
        tellError(prompter, kNotDisplayFileText);
        return LoadResult::NotDisplayFile;
    }
    settings = *read;
    if (hooks.settingsRead)
        hooks.settingsRead();

    if (!reader.readLine(line) || line != QStringLiteral("[Pics]")) {
        tellError(prompter, kNotDisplayFileText);
        return LoadResult::NotDisplayFile;
    }

    // Records fill rows 1, 2, 3 ... in file order; the number in front of
    // each record is read and not used.
    for (int row = 1; !reader.atEnd(); ++row) {
        if (row > kMaxScreens) {
            tellError(prompter, kTooLongText);
            return LoadResult::TooLong;
        }
        reader.readField();
        for (int column = PictureColumn; column < kScreenColumns; ++column) {
            if (reader.atEnd()) {
                tellError(prompter, kRecordCutText);
                if (hooks.recordCut)
                    hooks.recordCut();
                return LoadResult::RecordCut;
            }
            screens.setText(row, column, reader.readField());
        }
    }
    return LoadResult::Loaded;
}

LoadResult loadDisplayFile(const QString &path, BoardSettings &settings, ScreenList &screens,
                           common::Prompter &prompter, const LoadHooks &hooks)
{
    // The file is read before anything is touched: a file that cannot be read
    // leaves the screen list and the settings as they were.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tellError(prompter, cannotReadText(path, file.errorString()));
        return LoadResult::Unreadable;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        tellError(prompter, cannotReadText(path, file.errorString()));
        return LoadResult::Unreadable;
    }
    return loadDisplayFileBytes(bytes, settings, screens, prompter, hooks);
}

} // namespace pravik::document
