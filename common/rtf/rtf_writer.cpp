#include "rtf_writer.h"

#include "rtf_code_pages.h"
#include "rtf_sizes.h"
#include "rtf_tabs.h"

#include "common/text_codec.h"

#include <QColor>
#include <QFont>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextOption>

#include <cmath>
#include <utility>
#include <vector>

namespace common {
namespace {

using namespace rtf;

struct FontUse
{
    QString family;
    bool chinese = false;
};

// How one character goes into the file.
enum class Form { Ascii, GbkPair, Unicode };

struct EncodedChar
{
    Form form = Form::Ascii;
    char32_t codePoint = 0;
    char bytes[2] = {0, 0};
};

// Splits text into characters with their GBK bytes where GBK holds them. The
// bytes come from the display file's codec (GB18030, which writes every GBK
// character as the same two bytes), so the reader's decoding of them is its
// exact inverse. A GB18030 four-byte form means the character is not in GBK;
// a two-byte form that the Windows Chinese code page writes otherwise (the
// euro sign, user-defined areas) goes as \uN too, so that word processors
// read the file the same way.
std::vector<EncodedChar> encodeChars(const QString &text)
{
    std::vector<EncodedChar> out;
    const QByteArray bytes = encodeGbk(text);
    QStringEncoder windows936("windows-936", QStringConverter::Flag::Stateless);
    const auto inWindows936 = [&windows936](QChar c, const char *pair) {
        if (!windows936.isValid())
            return true;
        const QByteArray encoded = windows936.encode(QStringView(&c, 1));
        return encoded.size() == 2 && encoded[0] == pair[0] && encoded[1] == pair[1];
    };
    qsizetype j = 0;
    bool aligned = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        EncodedChar ch;
        char32_t cp = text.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        ch.codePoint = cp;
        qsizetype length = 0;
        if (aligned && j < bytes.size()) {
            const auto lead = static_cast<uchar>(bytes[j]);
            if (lead < 0x80)
                length = 1;
            else if (j + 1 < bytes.size() && bytes[j + 1] >= '0' && bytes[j + 1] <= '9')
                length = 4;
            else
                length = 2;
            if (j + length > bytes.size() || (cp < 0x80) != (length == 1))
                aligned = false; // cannot happen with iconv; fall back to \uN
        }
        if (cp < 0x80) {
            ch.form = Form::Ascii;
        } else if (aligned && length == 2 && inWindows936(QChar(cp), bytes.constData() + j)) {
            ch.form = Form::GbkPair;
            ch.bytes[0] = bytes[j];
            ch.bytes[1] = bytes[j + 1];
        } else {
            ch.form = Form::Unicode;
        }
        j += length;
        out.push_back(ch);
    }
    return out;
}

bool holdsGbkPairs(const QString &text)
{
    for (const EncodedChar &ch : encodeChars(text)) {
        if (ch.form == Form::GbkPair)
            return true;
    }
    return false;
}

void appendHexByte(QByteArray &out, char byte)
{
    static const char digits[] = "0123456789abcdef";
    const auto b = static_cast<uchar>(byte);
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 0x0F];
}

void appendUnicode(QByteArray &out, char32_t codePoint)
{
    const QString units = QString::fromUcs4(&codePoint, 1);
    for (QChar unit : units) {
        const int value = unit.unicode() > 0x7FFF ? unit.unicode() - 0x10000 : unit.unicode();
        out += "\\u" + QByteArray::number(value) + '?';
    }
}

// Writes text, with `inFontTable` dropping the ';' that ends a font name.
void appendText(QByteArray &out, const QString &text, bool inFontTable = false)
{
    for (const EncodedChar &ch : encodeChars(text)) {
        switch (ch.form) {
        case Form::Ascii: {
            const char c = static_cast<char>(ch.codePoint);
            if (c == '\\' || c == '{' || c == '}') {
                out += '\\';
                out += c;
            } else if (c == '\t') {
                out += "\\tab ";
            } else if (c >= 0x20 && !(inFontTable && c == ';')) {
                out += c;
            }
            break;
        }
        case Form::GbkPair:
            appendHexByte(out, ch.bytes[0]);
            appendHexByte(out, ch.bytes[1]);
            break;
        case Form::Unicode:
            if (ch.codePoint == QChar::LineSeparator)
                out += "\\line ";
            else if (ch.codePoint == QChar::Nbsp)
                out += "\\~";
            else if (ch.codePoint != QChar::ObjectReplacementCharacter &&
                     ch.codePoint != QChar::ParagraphSeparator)
                appendUnicode(out, ch.codePoint);
            break;
        }
    }
}

class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_document(document) {}

    QByteArray write();

private:
    QString familyOf(const QTextCharFormat &format) const;
    int halfPointsOf(const QTextCharFormat &format) const;
    int fontIndex(const QString &family);
    int colourIndex(const QBrush &brush);
    void collectColours(const QTextCharFormat &format);
    void collectTables();
    void writeHeader();
    void writeCharFormat(const QTextCharFormat &format);
    void writeParagraphFormat(const QTextBlockFormat &format);
    void writeBlock(const QTextBlock &block);

    const QTextDocument &m_document;
    QByteArray m_out;
    std::vector<FontUse> m_fonts;
    std::vector<QRgb> m_colours; // table entry i + 1; entry 0 is the default colour
};

QString Writer::familyOf(const QTextCharFormat &format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    const QString family = format.property(QTextFormat::FontFamily).toString();
    return family.isEmpty() ? m_document.defaultFont().family() : family;
}

int Writer::halfPointsOf(const QTextCharFormat &format) const
{
    if (format.hasProperty(QTextFormat::FontPixelSize))
        return pixelsToHalfPoints(format.intProperty(QTextFormat::FontPixelSize));
    if (format.hasProperty(QTextFormat::FontPointSize))
        return static_cast<int>(std::lround(format.fontPointSize() * 2));
    const QFont font = m_document.defaultFont();
    if (font.pixelSize() > 0)
        return pixelsToHalfPoints(font.pixelSize());
    return static_cast<int>(std::lround(font.pointSizeF() * 2));
}

int Writer::fontIndex(const QString &family)
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i].family == family)
            return static_cast<int>(i);
    }
    m_fonts.push_back(FontUse{family, holdsGbkPairs(family)});
    return static_cast<int>(m_fonts.size() - 1);
}

// 0 for no colour of its own: the default text colour, or no background.
int Writer::colourIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QRgb rgb = brush.color().rgb();
    for (std::size_t i = 0; i < m_colours.size(); ++i) {
        if (m_colours[i] == rgb)
            return static_cast<int>(i + 1);
    }
    m_colours.push_back(rgb);
    return static_cast<int>(m_colours.size());
}

void Writer::collectColours(const QTextCharFormat &format)
{
    colourIndex(format.foreground());
    colourIndex(format.background());
}

// Fonts carrying Chinese text are marked \fcharset134 so that their \'hh
// pairs are read as GBK; the document's default font is entry 0 (\deff0).
void Writer::collectTables()
{
    fontIndex(m_document.defaultFont().family());
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        if (block.length() <= 1) {
            fontIndex(familyOf(block.charFormat()));
            collectColours(block.charFormat());
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int font = fontIndex(familyOf(fragment.charFormat()));
            collectColours(fragment.charFormat());
            if (!m_fonts[font].chinese && holdsGbkPairs(fragment.text()))
                m_fonts[font].chinese = true;
        }
    }
}

void Writer::writeHeader()
{
    m_out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1";
    const int tabTwips = pixelsToTwips(m_document.defaultTextOption().tabStopDistance());
    if (tabTwips != kDefaultTabTwips)
        m_out += "\\deftab" + QByteArray::number(tabTwips);
    m_out += "\r\n{\\fonttbl";
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f" + QByteArray::number(qsizetype(i)) + "\\fnil\\fcharset" +
                 QByteArray::number(m_fonts[i].chinese ? kChineseCharset : 0) + ' ';
        appendText(m_out, m_fonts[i].family, true);
        m_out += ";}";
    }
    m_out += "}\r\n{\\colortbl ;";
    for (QRgb rgb : m_colours) {
        m_out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                 QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
    }
    m_out += "}\r\n";
}

void Writer::writeCharFormat(const QTextCharFormat &format)
{
    m_out += "\\plain\\f" + QByteArray::number(fontIndex(familyOf(format))) + "\\fs" +
             QByteArray::number(halfPointsOf(format));
    if (const int colour = colourIndex(format.foreground()))
        m_out += "\\cf" + QByteArray::number(colour);
    if (const int background = colourIndex(format.background()))
        m_out += "\\highlight" + QByteArray::number(background);
    if (format.fontWeight() >= QFont::DemiBold)
        m_out += "\\b";
    if (format.fontItalic())
        m_out += "\\i";
    if (format.fontUnderline())
        m_out += "\\ul";
    if (format.fontStrikeOut())
        m_out += "\\strike";
    m_out += ' ';
}

void Writer::writeParagraphFormat(const QTextBlockFormat &format)
{
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    m_out += "\\pard";
    if (alignment & Qt::AlignHCenter)
        m_out += "\\qc";
    else if (alignment & Qt::AlignJustify)
        m_out += "\\qj";
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        m_out += "\\qr";
    else
        m_out += "\\ql";
    const std::pair<const char *, qreal> indents[] = {
        {"\\li", format.leftMargin()},
        {"\\ri", format.rightMargin()},
        {"\\fi", format.textIndent()},
    };
    for (const auto &[word, pixels] : indents) {
        if (const int twips = pixelsToTwips(pixels))
            m_out += word + QByteArray::number(twips);
    }
    const std::vector<TabStop> stops =
        pageTabStops(format.tabPositions(), format.leftMargin() + format.textIndent(),
                     m_document.defaultTextOption().tabStopDistance());
    for (const TabStop &stop : stops) {
        if (stop.type == QTextOption::RightTab)
            m_out += "\\tqr";
        else if (stop.type == QTextOption::CenterTab)
            m_out += "\\tqc";
        else if (stop.type == QTextOption::DelimiterTab)
            m_out += "\\tqdec";
        m_out += "\\tx" + QByteArray::number(stop.position);
    }
    m_out += ' ';
}

void Writer::writeBlock(const QTextBlock &block)
{
    writeParagraphFormat(block.blockFormat());
    // An empty paragraph still has a height on the board: its mark's size.
    if (block.length() <= 1)
        writeCharFormat(block.charFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        writeCharFormat(fragment.charFormat());
        appendText(m_out, fragment.text());
    }
    // Every paragraph ends with \par; the reader takes the final one as the
    // end of the last paragraph, not the start of an empty one.
    m_out += "\\par\r\n";
}

QByteArray Writer::write()
{
    collectTables();
    writeHeader();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        writeBlock(block);
    m_out += "}\r\n";
    return m_out;
}

} // namespace

QByteArray writeRtf(const QTextDocument &document)
{
    return Writer(document).write();
}

} // namespace common
