#include "display_file.h"
#include "display_file_messages.h"
#include "program_texts.h"

#include "common/file_replace.h"
#include "common/numbers.h"
#include "common/prompter.h"
#include "common/text_codec.h"

namespace pravik::document {
namespace {

using common::signPosition;

const char16_t *const kFieldNames[kScreenColumns] = {
    u"幕号",     u"图片文件", u"引入方式", u"速度", u"停留方式",
    u"停留时间", u"温度时间", u"引出方式", u"速度",
};

void appendLine(QString &text, const QString &line)
{
    text += line;
    text += QStringLiteral("\r\n");
}

QString quoted(const QString &field)
{
    return u'"' + field + u'"';
}

} // namespace

QByteArray displayFileBytes(const BoardSettings &settings, const ScreenList &screens)
{
    QString text;
    appendLine(text, QStringLiteral("[comm]"));
    appendLine(text, QStringLiteral("Port =  ") + signPosition(settings.port));
    if (!settings.isEthernet()) {
        appendLine(text, QStringLiteral("Baud =   ") + signPosition(settings.baud));
        appendLine(text, QStringLiteral("Address = ") + signPosition(settings.busAddress()));
    } else {
        appendLine(text, QStringLiteral("IP Port =   ") + signPosition(settings.ipPort));
        appendLine(text, QStringLiteral("IP Address = ") + settings.ipAddress);
    }
    // The address stands a second time for a serial board, so both link kinds
    // have nine settings lines, which the loader counts on.
    appendLine(text, QStringLiteral("Address = ") + signPosition(settings.busAddress()));
    appendLine(text, QStringLiteral("feedback = ") + signPosition(settings.feedback));
    appendLine(text, QStringLiteral("scrtype = ") + signPosition(settings.scrtype));
    appendLine(text, QStringLiteral("scrwidth = ") + signPosition(settings.scrwidth));
    appendLine(text, QStringLiteral("scrhigh = ") + signPosition(settings.scrhigh));
    appendLine(text, QStringLiteral("[Pics]"));

    const int count = screens.screenCount();
    for (int r = 1; r <= count; ++r) {
        // Records are numbered by their position, whatever column 0 shows.
        appendLine(text, QString::number(r - 1));
        for (int c = PictureColumn; c < kScreenColumns; ++c)
            appendLine(text, quoted(screens.text(r, c)));
    }
    return common::encodeCodePage936(text);
}

QString unsavableField(const ScreenList &screens)
{
    const int count = screens.screenCount();
    for (int r = 1; r <= count; ++r) {
        for (int c = PictureColumn; c < kScreenColumns; ++c) {
            const QString &field = screens.text(r, c);
            if (field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n')) {
                return QStringLiteral("第 %1 幕的%2含有双引号或换行符，显示文件无法保存:\n%3")
                    .arg(r - 1)
                    .arg(QString::fromUtf16(kFieldNames[c]), field);
            }
            // Other programs read the file as code page 936: a character
            // outside it would come back as another one.
            if (const auto refused = common::outsideCodePage936(field))
                return fieldOutsideCodePageText(r - 1, QString::fromUtf16(kFieldNames[c]), *refused,
                                                field);
        }
    }
    return {};
}

bool saveDisplayFile(const QString &path, const BoardSettings &settings, const ScreenList &screens,
                     common::Prompter &prompter)
{
    QString problem = unsavableField(screens);
    if (problem.isEmpty() && settings.isEthernet()) {
        if (const auto refused = common::outsideCodePage936(settings.ipAddress))
            problem = addressOutsideCodePageText(*refused, settings.ipAddress);
    }
    if (!problem.isEmpty()) {
        prompter.tell(problem, kProgramTitle, common::MessageIcon::Error);
        return false;
    }

    // The old file is replaced only once the new one is completely on disk,
    // so a full disk or a lost right never leaves a half-written file behind.
    if (const common::Status failed =
            common::replaceFileContents(path, displayFileBytes(settings, screens))) {
        prompter.tell(cannotSaveText(path, failed->text), kProgramTitle,
                      common::MessageIcon::Error);
        return false;
    }
    return true;
}

} // namespace pravik::document
