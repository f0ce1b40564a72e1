#include "rtf_test_support.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace rtftest {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(READERS_FIXTURES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing fixture " << name;
        return {};
    }
    return file.readAll();
}

QStringList paragraphs(const QTextDocument &document)
{
    QStringList list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        list.append(block.text());
    return list;
}

QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    const qsizetype at = document.toRawText().indexOf(text);
    if (at < 0) {
        ADD_FAILURE() << "text not in the document: " << text.toStdString();
        return {};
    }
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(int(at) + 1);
    return cursor.charFormat();
}

QColor colourOf(const QTextCharFormat &format)
{
    return format.foreground().style() == Qt::NoBrush ? QColor() : format.foreground().color();
}

int pixelSizeOf(const QTextCharFormat &format)
{
    return format.intProperty(QTextFormat::FontPixelSize);
}

QString familyOf(const QTextCharFormat &format)
{
    return format.fontFamilies().toStringList().value(0);
}

Qt::Alignment alignmentOf(const QTextDocument &document, int paragraph)
{
    return document.findBlockByNumber(paragraph).blockFormat().alignment() &
           Qt::AlignHorizontal_Mask;
}

QStringList describe(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        lines.append(QStringLiteral("paragraph %1 aligned %2")
                         .arg(block.blockNumber())
                         .arg(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask)));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            QString family = familyOf(format);
            if (family.isEmpty())
                family = document.defaultFont().family();
            const QColor colour = colourOf(format);
            const QString look =
                QStringLiteral("%1 %2px %3%4%5%6%7")
                    .arg(family)
                    .arg(pixelSizeOf(format))
                    .arg(colour.isValid() ? colour.name() : QStringLiteral("default"))
                    .arg(format.fontWeight() >= QFont::DemiBold ? " bold" : "")
                    .arg(format.fontItalic() ? " italic" : "")
                    .arg(format.fontUnderline() ? " underline" : "")
                    .arg(format.fontStrikeOut() ? " struck" : "");
            for (QChar c : fragment.text())
                lines.append(
                    QStringLiteral("U+%1 %2").arg(c.unicode(), 4, 16, QLatin1Char('0')).arg(look));
        }
    }
    return lines;
}

void buildEditorDocument(QTextDocument &document)
{
    document.clear();
    QTextCursor cursor(&document);
    const auto format = [](const char *family, int pixels, QColor colour = QColor(),
                           bool bold = false) {
        QTextCharFormat f;
        if (family)
            f.setFontFamilies(QStringList{QString::fromUtf8(family)});
        f.setProperty(QTextFormat::FontPixelSize, pixels);
        if (colour.isValid())
            f.setForeground(colour);
        if (bold)
            f.setFontWeight(QFont::Bold);
        return f;
    };
    const auto paragraph = [&](Qt::Alignment alignment) {
        QTextBlockFormat f;
        f.setAlignment(alignment);
        return f;
    };
    const QColor red(255, 0, 0), green(0, 255, 0), yellow(255, 255, 0);

    cursor.setBlockFormat(paragraph(Qt::AlignHCenter));
    cursor.insertText(QStringLiteral("欢迎光临"), format("宋体", 16, red, true));
    cursor.insertText(QStringLiteral(" LED "), format("Arial", 16));
    QTextCharFormat fancy = format("宋体", 16, green);
    fancy.setFontItalic(true);
    fancy.setFontUnderline(true);
    cursor.insertText(QStringLiteral("显示屏"), fancy);

    cursor.insertBlock(paragraph(Qt::AlignRight));
    cursor.insertText(QStringLiteral("黄色 yellow"), format("黑体", 12, yellow));
    QTextCharFormat struck = format("黑体", 12, QColor(0, 0, 255));
    struck.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral("蓝"), struck);

    cursor.insertBlock(paragraph(Qt::AlignLeft), format("宋体", 20));

    cursor.insertBlock(paragraph(Qt::AlignJustify));
    cursor.insertText(QStringLiteral("tab\there\u2028next\u00A0line \\ {braces} ;"),
                      format("DejaVu Sans", 8, red));
    // Outside GBK: Korean and a character beyond the 16-bit range; inside it
    // though not Chinese: Japanese kana, e acute, the euro sign.
    cursor.insertText(QStringLiteral("한😀アé€"), format("DejaVu Sans", 8, yellow, true));

    cursor.insertBlock(paragraph(Qt::AlignLeft));
    cursor.insertText(QStringLiteral("default font, default colour"), format(nullptr, 13));
    cursor.insertText(QStringLiteral("上海"), format("Noto Sans CJK SC", 15, green));
}

} // namespace rtftest
