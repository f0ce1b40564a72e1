#include "rtf_reader.h"

#include "rtf_code_pages.h"
#include "rtf_keywords.h"
#include "rtf_sizes.h"
#include "rtf_tabs.h"

#include "common/numbers.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextOption>

#include <algorithm>
#include <string_view>
#include <vector>

namespace common {
namespace {

using namespace rtf;

// Real documents nest a few levels; anything deeper is skipped unread.
constexpr std::size_t kMaxGroupDepth = 256;
constexpr int kMaxFallbackLength = 16;
constexpr qint64 kMaxParameter = 1'000'000'000;

enum class Destination { Text, FontTable, ColourTable };

struct CharState
{
    int font = -1; // the document's default font (\deffN)
    int halfPoints = kDefaultHalfPoints;
    int colour = 0;
    int background = 0; // 0: none, whatever colour table entry 0 holds
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hidden = false;

    bool operator==(const CharState &) const = default;
};

// Distances in pixels (see rtf_sizes.h).
struct ParagraphState
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;   // negative: a hanging indent
    std::vector<TabStop> tabs; // ascending, at most kMaxTabStops
    // The kind \tqr, \tqc or \tqdec gives the next \tx.
    QTextOption::TabType nextTabType = QTextOption::LeftTab;

    void addTabStop(int twips);
};

// A later stop at the same place replaces the earlier one; stops left of the
// page and past the limit are dropped.
void ParagraphState::addTabStop(int twips)
{
    const QTextOption::TabType type = nextTabType;
    nextTabType = QTextOption::LeftTab;
    if (twips < 0)
        return;
    const TabStop stop{twipsToPixels(twips), type};
    const auto at =
        std::lower_bound(tabs.begin(), tabs.end(), stop.position,
                         [](const TabStop &tab, int position) { return tab.position < position; });
    if (at != tabs.end() && at->position == stop.position)
        *at = stop;
    else if (tabs.size() < kMaxTabStops)
        tabs.insert(at, stop);
}

// The toolkit tells formats apart by a hash that sees only how many stops a
// paragraph has: thousands of paragraphs with as many different stops would
// be compared with each other one by one, in time growing with the square of
// their number. A fingerprint of the stops, in a property of its own, tells
// their hashes apart.
constexpr int kTabStopsFingerprint = QTextFormat::UserProperty + 0x7AB;
// A document has a few different sets of stops, one to a kind of paragraph.
// Every set the toolkit has seen stays in memory, as many as 128 stops each:
// past this many sets, a damaged file's paragraphs take the default stops.
constexpr qsizetype kMaxTabLayouts = 1024;

int fingerprintOf(const QList<QTextOption::Tab> &tabs)
{
    std::size_t seed = 0;
    for (const QTextOption::Tab &tab : tabs)
        seed = qHashMulti(seed, tab.position, int(tab.type));
    return static_cast<int>(seed);
}

struct GroupState
{
    CharState chars;
    ParagraphState paragraph;
    Destination destination = Destination::Text;
    int fallbackLength = 1;
};

struct FontEntry
{
    QString family;
    int codePage = 0; // 0: the document's code page
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Characters that would split a paragraph or corrupt the document's own
// structure (its frame and object markers) never come from the text itself.
QString sanitised(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t') || u == 0xFDD0 || u == 0xFDD1 || u == 0xFFFC)
            continue;
        out.append(u == 0x2029 ? QChar(0x2028) : c);
    }
    return out;
}

struct ControlWord
{
    std::string_view name;
    bool hasParameter = false;
    int parameter = 0;
};

class Reader
{
public:
    Reader(const QByteArray &rtf, qsizetype start, QTextDocument &document)
        : m_data(rtf.constData()), m_size(rtf.size()), m_pos(start), m_cursor(&document)
    {
    }

    void read();

private:
    GroupState &state() { return m_groups.back(); }

    ControlWord readControlWord();
    void openGroup();
    void closeGroup();
    void skipGroup(bool pushed);
    void readControl();
    void handleSymbol(char symbol);
    void handleWord(const ControlWord &word);
    void handleTextWord(const KeywordInfo &info, const ControlWord &word);
    bool skipFallback();

    void emitByte(uchar byte);
    void emitUnit(char16_t unit);
    void prepareForText();
    void flushBytes();
    void flushText();
    void paragraph();
    void performPendingBreak();
    void finish();

    void startFontEntry(int number);
    void finishFontEntry();
    void finishColour();
    int codePageOf(int font) const;
    QTextCharFormat charFormat(const CharState &chars) const;
    int defaultTabPixels() const { return std::max(twipsToPixels(m_defaultTabTwips), 1); }
    QTextBlockFormat blockFormat(const ParagraphState &paragraph);

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos;
    QTextCursor m_cursor;
    std::vector<GroupState> m_groups;
    GroupState m_lastState;
    bool m_finished = false;
    bool m_atGroupStart = false;
    bool m_starred = false;
    int m_fallbackToSkip = 0;

    int m_documentCodePage = kAnsiCodePage;
    int m_defaultFont = 0;
    int m_defaultTabTwips = kDefaultTabTwips;
    // The different stops paragraphs have had, by fingerprint.
    QSet<int> m_tabLayouts;
    QHash<int, FontEntry> m_fonts;
    std::vector<QColor> m_colours;
    CodePageDecoder m_decoder;

    // Text waiting to go into the document in one piece, all in m_pendingChars.
    QByteArray m_pendingBytes;
    QString m_pendingText;
    CharState m_pendingChars;
    bool m_breakPending = false;
    // The properties the last paragraph's text was written with.
    ParagraphState m_lastParagraph;

    // The font table entry and colour being read.
    int m_fontNumber = -1;
    int m_fontCodePage = 0;
    QByteArray m_fontNameBytes;
    QString m_fontName;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colourGiven = false;
};

void Reader::read()
{
    m_cursor.beginEditBlock();
    while (m_pos < m_size && !m_finished) {
        const char c = m_data[m_pos++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            readControl();
            break;
        case '\r':
        case '\n':
            break;
        default:
            m_atGroupStart = false;
            m_starred = false;
            if (!skipFallback())
                emitByte(static_cast<uchar>(c));
        }
    }
    finish();
    m_cursor.endEditBlock();
}

ControlWord Reader::readControlWord()
{
    ControlWord word;
    const qsizetype start = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    word.name = std::string_view(m_data + start, static_cast<std::size_t>(m_pos - start));
    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    qint64 value = 0;
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        word.hasParameter = true;
        value = std::min(value * 10 + (m_data[m_pos] - '0'), kMaxParameter);
        ++m_pos;
    }
    word.parameter = static_cast<int>(negative ? -value : value);
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;
    return word;
}

void Reader::openGroup()
{
    m_fallbackToSkip = 0;
    if (m_groups.size() >= kMaxGroupDepth) {
        skipGroup(false);
        return;
    }
    m_groups.push_back(m_groups.empty() ? GroupState{} : m_groups.back());
    m_atGroupStart = true;
    m_starred = false;
}

void Reader::closeGroup()
{
    m_fallbackToSkip = 0;
    m_atGroupStart = false;
    if (m_groups.empty()) {
        m_finished = true;
        return;
    }
    // Some writers leave the last font name without its ';'.
    if (state().destination == Destination::FontTable &&
        (!m_fontNameBytes.isEmpty() || !m_fontName.isEmpty()))
        finishFontEntry();
    m_lastState = m_groups.back();
    m_groups.pop_back();
    if (m_groups.empty())
        m_finished = true;
}

// Passes over the rest of a group without acting on it; \binN data is jumped
// so that braces inside binary data do not end the group early.
void Reader::skipGroup(bool pushed)
{
    int depth = 1;
    while (m_pos < m_size) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                if (pushed)
                    closeGroup();
                return;
            }
        } else if (c == '\\' && m_pos < m_size) {
            if (!isLetter(m_data[m_pos])) {
                ++m_pos;
                continue;
            }
            const ControlWord word = readControlWord();
            if (word.name == "bin" && word.parameter > 0)
                m_pos += std::min<qsizetype>(word.parameter, m_size - m_pos);
        }
    }
}

bool Reader::skipFallback()
{
    if (m_fallbackToSkip <= 0)
        return false;
    --m_fallbackToSkip;
    return true;
}

void Reader::readControl()
{
    if (m_pos >= m_size)
        return;
    if (isLetter(m_data[m_pos])) {
        handleWord(readControlWord());
        return;
    }
    handleSymbol(m_data[m_pos++]);
}

void Reader::handleSymbol(char symbol)
{
    if (symbol == '*') {
        m_starred = m_atGroupStart;
        return;
    }
    m_atGroupStart = false;
    m_starred = false;
    if (symbol == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_size && common::hexDigitValue(m_data[m_pos]) >= 0) {
            value = value * 16 + common::hexDigitValue(m_data[m_pos++]);
            ++digits;
        }
        if (!skipFallback() && digits > 0)
            emitByte(static_cast<uchar>(value));
        return;
    }
    if (skipFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        emitByte(static_cast<uchar>(symbol));
        break;
    case '~':
        emitUnit(0x00A0);
        break;
    case '_':
        emitUnit(0x2011);
        break;
    case '\r':
    case '\n':
        if (state().destination == Destination::Text)
            paragraph();
        break;
    default: // \- optional hyphen, \| and \: formula and index marks
        break;
    }
}

void Reader::handleWord(const ControlWord &word)
{
    const KeywordInfo info = lookupKeyword(word.name);
    const bool starred = m_starred;
    m_starred = false;
    m_atGroupStart = false;
    if (info.keyword == Keyword::Binary) {
        // Binary data is never text of the screen, fallback or not.
        if (word.parameter > 0)
            m_pos += std::min<qsizetype>(word.parameter, m_size - m_pos);
        skipFallback();
        return;
    }
    if (skipFallback())
        return;
    // The root group is never skipped, whatever it contains.
    if ((starred || info.keyword == Keyword::SkippedDestination) && m_groups.size() > 1) {
        skipGroup(true);
        return;
    }
    const int parameter = word.parameter;
    GroupState &s = state();
    switch (info.keyword) {
    case Keyword::Ansi:
        m_documentCodePage = kAnsiCodePage;
        return;
    case Keyword::Mac:
        m_documentCodePage = 10000;
        return;
    case Keyword::Pc:
        m_documentCodePage = 437;
        return;
    case Keyword::Pca:
        m_documentCodePage = 850;
        return;
    case Keyword::AnsiCodePage:
        if (parameter > 0)
            m_documentCodePage = parameter;
        return;
    case Keyword::DefaultFont:
        m_defaultFont = parameter;
        return;
    case Keyword::DefaultTab:
        if (parameter > 0)
            m_defaultTabTwips = parameter;
        return;
    case Keyword::FontTable:
        if (m_groups.size() > 1)
            s.destination = Destination::FontTable;
        return;
    case Keyword::ColourTable:
        if (m_groups.size() > 1)
            s.destination = Destination::ColourTable;
        return;
    case Keyword::UnicodeSkip:
        s.fallbackLength = std::clamp(parameter, 0, kMaxFallbackLength);
        return;
    case Keyword::Unicode:
        if (word.hasParameter) {
            const int code = parameter < 0 ? parameter + 65536 : parameter;
            if (code > 0 && code <= 0xFFFF)
                emitUnit(static_cast<char16_t>(code));
            m_fallbackToSkip = s.fallbackLength;
        }
        return;
    default:
        break;
    }
    switch (s.destination) {
    case Destination::FontTable:
        if (info.keyword == Keyword::Font)
            startFontEntry(parameter);
        else if (info.keyword == Keyword::FontCharset)
            m_fontCodePage = m_fontCodePage ? m_fontCodePage : codePageOfCharset(parameter);
        else if (info.keyword == Keyword::FontCodePage && parameter > 0)
            m_fontCodePage = parameter;
        return;
    case Destination::ColourTable:
        if (info.keyword == Keyword::Red || info.keyword == Keyword::Green ||
            info.keyword == Keyword::Blue) {
            const int value = std::clamp(parameter, 0, 255);
            (info.keyword == Keyword::Red     ? m_red
             : info.keyword == Keyword::Green ? m_green
                                              : m_blue) = value;
            m_colourGiven = true;
        }
        return;
    case Destination::Text:
        handleTextWord(info, word);
        return;
    }
}

void Reader::handleTextWord(const KeywordInfo &info, const ControlWord &word)
{
    const bool on = !word.hasParameter || word.parameter != 0;
    GroupState &s = state();
    CharState &chars = s.chars;
    switch (info.keyword) {
    case Keyword::Paragraph:
        paragraph();
        break;
    case Keyword::ParagraphDefaults:
        s.paragraph = ParagraphState{};
        break;
    case Keyword::AlignLeft:
        s.paragraph.alignment = Qt::AlignLeft;
        break;
    case Keyword::AlignCentre:
        s.paragraph.alignment = Qt::AlignHCenter;
        break;
    case Keyword::AlignRight:
        s.paragraph.alignment = Qt::AlignRight;
        break;
    case Keyword::AlignJustify:
        s.paragraph.alignment = Qt::AlignJustify;
        break;
    case Keyword::LeftIndent:
        s.paragraph.leftIndent = twipsToPixels(word.parameter);
        break;
    case Keyword::RightIndent:
        s.paragraph.rightIndent = twipsToPixels(word.parameter);
        break;
    case Keyword::FirstLineIndent:
        s.paragraph.firstLineIndent = twipsToPixels(word.parameter);
        break;
    case Keyword::TabRight:
        s.paragraph.nextTabType = QTextOption::RightTab;
        break;
    case Keyword::TabCentre:
        s.paragraph.nextTabType = QTextOption::CenterTab;
        break;
    case Keyword::TabDecimal:
        s.paragraph.nextTabType = QTextOption::DelimiterTab;
        break;
    case Keyword::TabStop:
        if (word.hasParameter)
            s.paragraph.addTabStop(word.parameter);
        break;
    case Keyword::Plain:
        chars = CharState{};
        break;
    case Keyword::Font:
        chars.font = std::max(word.parameter, 0);
        break;
    case Keyword::FontSize:
        chars.halfPoints = word.hasParameter ? word.parameter : kDefaultHalfPoints;
        break;
    case Keyword::Bold:
        chars.bold = on;
        break;
    case Keyword::Italic:
        chars.italic = on;
        break;
    case Keyword::Underline:
        chars.underline = on;
        break;
    case Keyword::UnderlineNone:
        chars.underline = false;
        break;
    case Keyword::StrikeOut:
        chars.strikeOut = on;
        break;
    case Keyword::Hidden:
        chars.hidden = on;
        break;
    case Keyword::Foreground:
        chars.colour = std::max(word.parameter, 0);
        break;
    case Keyword::Background:
        chars.background = std::max(word.parameter, 0);
        break;
    case Keyword::Character:
        emitUnit(info.character);
        break;
    default:
        break;
    }
}

void Reader::emitByte(uchar byte)
{
    switch (state().destination) {
    case Destination::Text:
        if (state().chars.hidden || (byte < 0x20 && byte != '\t'))
            return;
        prepareForText();
        m_pendingBytes.append(static_cast<char>(byte));
        return;
    case Destination::FontTable:
        if (byte == ';')
            finishFontEntry();
        else if (m_fontNumber >= 0 && byte >= 0x20)
            m_fontNameBytes.append(static_cast<char>(byte));
        return;
    case Destination::ColourTable:
        if (byte == ';')
            finishColour();
        return;
    }
}

void Reader::emitUnit(char16_t unit)
{
    switch (state().destination) {
    case Destination::Text:
        if (state().chars.hidden)
            return;
        prepareForText();
        flushBytes();
        m_pendingText.append(QChar(unit));
        return;
    case Destination::FontTable:
        if (m_fontNumber < 0)
            return;
        m_fontName +=
            m_decoder.decode(m_fontCodePage ? m_fontCodePage : m_documentCodePage, m_fontNameBytes);
        m_fontNameBytes.clear();
        m_fontName.append(QChar(unit));
        return;
    case Destination::ColourTable:
        return;
    }
}

void Reader::prepareForText()
{
    performPendingBreak();
    const CharState &chars = state().chars;
    if (!(m_pendingChars == chars)) {
        flushText();
        m_pendingChars = chars;
    }
    m_lastParagraph = state().paragraph;
}

void Reader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    m_pendingText += m_decoder.decode(codePageOf(m_pendingChars.font), m_pendingBytes);
    m_pendingBytes.clear();
}

void Reader::flushText()
{
    flushBytes();
    if (m_pendingText.isEmpty())
        return;
    m_cursor.insertText(sanitised(m_pendingText), charFormat(m_pendingChars));
    m_pendingText.clear();
}

// RTF gives a paragraph the properties in effect at its \par; the break itself
// waits for the next text so that a final \par adds no empty paragraph.
void Reader::paragraph()
{
    flushText();
    performPendingBreak();
    m_cursor.setBlockFormat(blockFormat(state().paragraph));
    if (m_cursor.block().length() <= 1)
        m_cursor.setBlockCharFormat(charFormat(state().chars));
    m_breakPending = true;
}

void Reader::performPendingBreak()
{
    if (!m_breakPending)
        return;
    m_breakPending = false;
    m_cursor.insertBlock(blockFormat(state().paragraph), charFormat(state().chars));
}

void Reader::finish()
{
    if (m_groups.empty())
        m_groups.push_back(m_lastState);
    flushText();
    // The last paragraph has no \par: it keeps the properties its text had.
    if (!m_breakPending)
        m_cursor.setBlockFormat(blockFormat(m_lastParagraph));
    QTextDocument &document = *m_cursor.document();
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(defaultTabPixels());
    document.setDefaultTextOption(option);
}

void Reader::startFontEntry(int number)
{
    if (m_fontNumber >= 0 && (!m_fontNameBytes.isEmpty() || !m_fontName.isEmpty()))
        finishFontEntry();
    m_fontNumber = std::max(number, 0);
    m_fontCodePage = 0;
    m_fontNameBytes.clear();
    m_fontName.clear();
}

void Reader::finishFontEntry()
{
    if (m_fontNumber < 0)
        return;
    const int codePage = m_fontCodePage ? m_fontCodePage : m_documentCodePage;
    m_fontName += m_decoder.decode(codePage, m_fontNameBytes);
    m_fonts.insert(m_fontNumber, FontEntry{m_fontName.trimmed(), m_fontCodePage});
    m_fontNumber = -1;
    m_fontCodePage = 0;
    m_fontNameBytes.clear();
    m_fontName.clear();
}

void Reader::finishColour()
{
    m_colours.push_back(m_colourGiven ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colourGiven = false;
}

int Reader::codePageOf(int font) const
{
    const auto it = m_fonts.constFind(font < 0 ? m_defaultFont : font);
    if (it != m_fonts.constEnd() && it->codePage != 0)
        return it->codePage;
    return m_documentCodePage;
}

QTextCharFormat Reader::charFormat(const CharState &chars) const
{
    QTextCharFormat format;
    const auto font = m_fonts.constFind(chars.font < 0 ? m_defaultFont : chars.font);
    if (font != m_fonts.constEnd() && !font->family.isEmpty())
        format.setFontFamilies(QStringList{font->family});
    format.setProperty(QTextFormat::FontPixelSize, halfPointsToPixels(chars.halfPoints));
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline)
        format.setFontUnderline(true);
    if (chars.strikeOut)
        format.setFontStrikeOut(true);
    // Entry 0 is normally empty, meaning the default colour (\cf0).
    if (chars.colour < static_cast<int>(m_colours.size()) && m_colours[chars.colour].isValid())
        format.setForeground(m_colours[chars.colour]);
    if (chars.background > 0 && chars.background < static_cast<int>(m_colours.size()) &&
        m_colours[chars.background].isValid())
        format.setBackground(m_colours[chars.background]);
    return format;
}

QTextBlockFormat Reader::blockFormat(const ParagraphState &paragraph)
{
    QTextBlockFormat format;
    format.setAlignment(paragraph.alignment);
    if (paragraph.leftIndent != 0)
        format.setLeftMargin(paragraph.leftIndent);
    if (paragraph.rightIndent != 0)
        format.setRightMargin(paragraph.rightIndent);
    if (paragraph.firstLineIndent != 0)
        format.setTextIndent(paragraph.firstLineIndent);
    std::vector<TabStop> stops = paragraph.tabs;
    // A hanging indent is also a stop: "1.\tText" puts the text at the indent.
    if (paragraph.firstLineIndent < 0 && paragraph.leftIndent > 0 && stops.size() < kMaxTabStops) {
        const auto at = std::find_if(stops.begin(), stops.end(), [&](const TabStop &stop) {
            return stop.position >= paragraph.leftIndent;
        });
        if (at == stops.end() || at->position != paragraph.leftIndent)
            stops.insert(at, TabStop{paragraph.leftIndent, QTextOption::LeftTab});
    }
    const QList<QTextOption::Tab> tabs = lineTabStops(
        std::move(stops), paragraph.leftIndent + paragraph.firstLineIndent, defaultTabPixels());
    if (tabs.isEmpty())
        return format;
    const int fingerprint = fingerprintOf(tabs);
    if (!m_tabLayouts.contains(fingerprint)) {
        if (m_tabLayouts.size() >= kMaxTabLayouts)
            return format;
        m_tabLayouts.insert(fingerprint);
    }
    format.setTabPositions(tabs);
    format.setProperty(kTabStopsFingerprint, fingerprint);
    return format;
}

qsizetype rtfStart(const QByteArray &bytes)
{
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size() && QChar::isSpace(static_cast<uchar>(bytes[pos])))
        ++pos;
    return QByteArrayView(bytes).sliced(pos).startsWith("{\\rtf") ? pos : -1;
}

} // namespace

Status readRtf(const QByteArray &rtf, QTextDocument &document)
{
    document.clear();
    const qsizetype start = rtfStart(rtf);
    if (start < 0)
        return Failure{kFailedCode, QString(),
                       QStringLiteral("Not an RTF document: it does not start with {\\rtf")};
    // One edit block lays the document out once, at the end; the reader's
    // insertions are no steps the operator could undo.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    {
        Reader reader(rtf, start, document);
        reader.read();
    }
    document.setUndoRedoEnabled(undo);
    return {};
}

} // namespace common
