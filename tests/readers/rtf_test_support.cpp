#include "rtf_test_support.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace rtftest {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(READERS_FIXTURES "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "missing fixture " << name;
    return file.readAll();
}

QStringList paragraphs(const QTextDocument &document)
{
    QStringList list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        list.append(block.text());
    return list;
}

QString alignments(const QTextDocument &document)
{
    QString letters;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        letters += QLatin1Char(a <= 8 ? "?LR?C???J"[a] : '?'); // Qt's alignment bits
    }
    return letters;
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

int pixelSizeOf(const QTextCharFormat &format)
{
    return format.intProperty(QTextFormat::FontPixelSize);
}

QString lookOf(const QTextCharFormat &format)
{
    const QString family = format.fontFamilies().toStringList().value(0);
    const bool coloured = format.foreground().style() != Qt::NoBrush;
    const bool background = format.background().style() != Qt::NoBrush;
    return QStringLiteral("%1 %2px %3%4%5%6%7%8")
        .arg(family.isEmpty() ? QStringLiteral("-") : family)
        .arg(pixelSizeOf(format))
        .arg(coloured ? format.foreground().color().name() : QStringLiteral("default"))
        .arg(background ? " on " + format.background().color().name() : QString())
        .arg(format.fontWeight() >= QFont::DemiBold ? " bold" : "")
        .arg(format.fontItalic() ? " italic" : "")
        .arg(format.fontUnderline() ? " underline" : "")
        .arg(format.fontStrikeOut() ? " struck" : "");
}

void expectLooks(const QTextDocument &document,
                 std::initializer_list<std::pair<const char *, const char *>> textsAndLooks)
{
    for (const auto &[text, look] : textsAndLooks)
        EXPECT_EQ(lookOf(formatOf(document, QString::fromUtf8(text))), QString::fromUtf8(look))
            << text;
}

QStringList describe(const QTextDocument &document)
{
    QStringList lines{
        QStringLiteral("tab distance %1").arg(document.defaultTextOption().tabStopDistance())};
    const QString aligned = alignments(document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        QString paragraph = QStringLiteral("paragraph aligned %1 indents %2 %3 %4 tabs")
                                .arg(aligned.at(block.blockNumber()))
                                .arg(format.leftMargin())
                                .arg(format.rightMargin())
                                .arg(format.textIndent());
        for (const QTextOption::Tab &tab : format.tabPositions())
            paragraph +=
                QStringLiteral(" %1%2").arg(QLatin1Char("LRCD"[tab.type])).arg(tab.position);
        lines.append(paragraph);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextCharFormat format = it.fragment().charFormat();
            if (format.fontFamilies().toStringList().isEmpty())
                format.setFontFamilies(QStringList{document.defaultFont().family()});
            for (QChar c : it.fragment().text())
                lines.append(QStringLiteral("U+%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0')) +
                             lookOf(format));
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
    const auto aligned = [](Qt::Alignment alignment) {
        QTextBlockFormat f;
        f.setAlignment(alignment);
        return f;
    };
    const QColor red(255, 0, 0), green(0, 255, 0), yellow(255, 255, 0);

    cursor.setBlockFormat(aligned(Qt::AlignHCenter));
    cursor.insertText(QStringLiteral("欢迎光临"), format("宋体", 16, red, true));
    cursor.insertText(QStringLiteral(" LED "), format("Arial", 16));
    QTextCharFormat fancy = format("宋体", 16, green);
    fancy.setFontItalic(true);
    fancy.setFontUnderline(true);
    cursor.insertText(QStringLiteral("显示屏"), fancy);
    QTextCharFormat inverse = format("宋体", 16, red);
    inverse.setBackground(green);
    cursor.insertText(QStringLiteral("特价"), inverse);

    cursor.insertBlock(aligned(Qt::AlignRight));
    cursor.insertText(QStringLiteral("黄色 yellow"), format("黑体", 12, yellow));
    QTextCharFormat struck = format("黑体", 12, QColor(0, 0, 255));
    struck.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral("蓝"), struck);

    cursor.insertBlock(aligned(Qt::AlignLeft), format("宋体", 20));

    cursor.insertBlock(aligned(Qt::AlignJustify));
    cursor.insertText(QStringLiteral("tab\there\u2028next\u00A0line \\ {braces} ;"),
                      format("DejaVu Sans", 8, red));
    // Outside GBK: Korean and a character beyond the 16-bit range; inside it
    // though not Chinese: Japanese kana, e acute, the euro sign.
    cursor.insertText(QStringLiteral("한😀アé€"), format("DejaVu Sans", 8, yellow, true));

    cursor.insertBlock(aligned(Qt::AlignLeft));
    cursor.insertText(QStringLiteral("default font, default colour"), format(nullptr, 13));
    cursor.insertText(QStringLiteral("上海"), format("Noto Sans CJK SC", 15, green));
}

} // namespace rtftest
