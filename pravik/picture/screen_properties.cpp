#include "screen_properties.h"

#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/link/board_commands.h"

#include "common/numbers.h"

namespace pravik::picture {

using namespace pravik::document;

namespace {

struct ByteCell
{
    int column;
    int payloadIndex;
    const char16_t *name;
};

constexpr ByteCell kByteCells[] = {
    {EntrySpeedColumn, 5, u"引入速度"},
    {ExitSpeedColumn, 7, u"引出速度"},
    {StayTimeColumn, 9, u"停留时间"},
};

} // namespace

common::Expected<QByteArray> screenPropertiesPayload(const ScreenList &screens,
                                                     const Vocabulary &vocabulary,
                                                     std::uint8_t screenIndex)
{
    const int row = screenIndex + 1;
    QByteArray buffer = link::commandBuffer(link::CommandCode::ScreenProperties);
    buffer[1] = static_cast<char>(screenIndex);
    buffer[3] = static_cast<char>(0xFE);
    buffer[4] =
        static_cast<char>(effectCode(vocabulary, screens.text(row, EntryEffectColumn)) % 256);
    buffer[6] = static_cast<char>(effectCode(vocabulary, screens.text(row, ExitEffectColumn)));
    buffer[8] = static_cast<char>(stayModeCode(vocabulary, screens.text(row, StayModeColumn)));
    for (const ByteCell &cell : kByteCells) {
        const QString &text = screens.text(row, cell.column);
        const auto value = common::asInteger(text);
        if (!value || *value < 0 || *value > 255)
            return common::Failure{
                common::kFailedCode, kProgramTitle,
                QStringLiteral("第 %1 幕的%2“%3”不是 0 到 255 的整数，这一幕的属性没有发送。")
                    .arg(screenIndex)
                    .arg(QString::fromUtf16(cell.name), text),
                common::MessageIcon::Error};
        buffer[cell.payloadIndex] = static_cast<char>(*value);
    }
    return buffer;
}

common::Status sendScreenProperties(const PacketExchange &exchange, const ScreenList &screens,
                                    const Vocabulary &vocabulary, std::uint8_t screenIndex)
{
    common::Expected<QByteArray> buffer = screenPropertiesPayload(screens, vocabulary, screenIndex);
    if (!buffer)
        return buffer.failure();
    return exchange(*buffer, link::kCommandChecksumIndex);
}

} // namespace pravik::picture
