#include "rtf_keywords.h"

#include <unordered_map>

namespace common::rtf {
namespace {

using Table = std::unordered_map<std::string_view, KeywordInfo>;

Table buildTable()
{
    Table t = {
        {"ansi", {Keyword::Ansi}},
        {"mac", {Keyword::Mac}},
        {"pc", {Keyword::Pc}},
        {"pca", {Keyword::Pca}},
        {"ansicpg", {Keyword::AnsiCodePage}},
        {"deff", {Keyword::DefaultFont}},
        {"deftab", {Keyword::DefaultTab}},
        {"fonttbl", {Keyword::FontTable}},
        {"colortbl", {Keyword::ColourTable}},
        {"fcharset", {Keyword::FontCharset}},
        {"cpg", {Keyword::FontCodePage}},
        {"red", {Keyword::Red}},
        {"green", {Keyword::Green}},
        {"blue", {Keyword::Blue}},
        // Tables and \page: a board shows no pages or cells, only lines.
        {"par", {Keyword::Paragraph}},
        {"sect", {Keyword::Paragraph}},
        {"page", {Keyword::Paragraph}},
        {"row", {Keyword::Paragraph}},
        {"pard", {Keyword::ParagraphDefaults}},
        {"ql", {Keyword::AlignLeft}},
        {"qc", {Keyword::AlignCentre}},
        {"qr", {Keyword::AlignRight}},
        {"qj", {Keyword::AlignJustify}},
        {"qd", {Keyword::AlignJustify}},
        // Left to right, the leading and trailing indents are the left and right.
        {"li", {Keyword::LeftIndent}},
        {"lin", {Keyword::LeftIndent}},
        {"ri", {Keyword::RightIndent}},
        {"rin", {Keyword::RightIndent}},
        {"fi", {Keyword::FirstLineIndent}},
        // The kind of a stop comes before its \tx; leaders and bar tabs are
        // not drawn.
        {"tx", {Keyword::TabStop}},
        {"tqr", {Keyword::TabRight}},
        {"tqc", {Keyword::TabCentre}},
        {"tqdec", {Keyword::TabDecimal}},
        {"plain", {Keyword::Plain}},
        {"f", {Keyword::Font}},
        {"fs", {Keyword::FontSize}},
        {"b", {Keyword::Bold}},
        {"i", {Keyword::Italic}},
        {"ul", {Keyword::Underline}},
        {"uld", {Keyword::Underline}},
        {"uldb", {Keyword::Underline}},
        {"uldash", {Keyword::Underline}},
        {"uldashd", {Keyword::Underline}},
        {"uldashdd", {Keyword::Underline}},
        {"ulth", {Keyword::Underline}},
        {"ulw", {Keyword::Underline}},
        {"ulwave", {Keyword::Underline}},
        {"ulnone", {Keyword::UnderlineNone}},
        {"strike", {Keyword::StrikeOut}},
        {"v", {Keyword::Hidden}},
        {"cf", {Keyword::Foreground}},
        // Word's highlight and character shading, the rich-text box's
        // background colour.
        {"highlight", {Keyword::Background}},
        {"cb", {Keyword::Background}},
        {"chcbpat", {Keyword::Background}},
        {"u", {Keyword::Unicode}},
        {"uc", {Keyword::UnicodeSkip}},
        {"bin", {Keyword::Binary}},
        {"line", {Keyword::Character, 0x2028}},
        {"tab", {Keyword::Character, u'\t'}},
        {"cell", {Keyword::Character, u'\t'}},
        {"emdash", {Keyword::Character, 0x2014}},
        {"endash", {Keyword::Character, 0x2013}},
        {"emspace", {Keyword::Character, 0x2003}},
        {"enspace", {Keyword::Character, 0x2002}},
        {"qmspace", {Keyword::Character, 0x2005}},
        {"bullet", {Keyword::Character, 0x2022}},
        {"lquote", {Keyword::Character, 0x2018}},
        {"rquote", {Keyword::Character, 0x2019}},
        {"ldblquote", {Keyword::Character, 0x201C}},
        {"rdblquote", {Keyword::Character, 0x201D}},
        {"zwj", {Keyword::Character, 0x200D}},
        {"zwnj", {Keyword::Character, 0x200C}},
    };
    // Destinations holding no text of the screen: document properties, styles,
    // pictures, headers and footers, field instructions, list numbering
    // templates, bookmarks, revision and theme data.
    // clang-format off
    static const char *const skipped[] = {
        "aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atndate", "atnid",
        "atnref", "author", "bkmkend", "bkmkstart", "blipuid", "buptim", "category",
        "colorschememapping", "comment", "company", "creatim", "datafield", "datastore",
        "defchp", "defpap", "do", "doccomm", "docvar", "falt", "fchars", "ffdeftext",
        "ffentrymcr", "ffexitmcr", "ffformat", "ffhelptext", "ffl", "ffname", "ffstattext",
        "fldinst", "filetbl", "footer", "footerf", "footerl", "footerr", "footnote", "ftncn",
        "ftnsep", "ftnsepc", "generator", "header", "headerf", "headerl", "headerr",
        "hlinkbase", "info", "keywords", "latentstyles", "lchars", "listoverridetable",
        "listtable", "manager", "mmathPr", "nonshppict", "object", "objdata", "objclass",
        "operator", "panose", "pgdsctbl", "pict", "pn", "pntxta", "pntxtb", "printim",
        "private", "revtbl", "revtim", "rsidtbl", "rxe", "shp", "shpinst", "stylesheet",
        "subject", "tc", "template", "themedata", "title", "txe", "userprops",
        "wgrffmtfilter", "xe", "xmlnstbl",
    };
    // clang-format on
    for (const char *word : skipped)
        t.emplace(word, KeywordInfo{Keyword::SkippedDestination});
    return t;
}

} // namespace

KeywordInfo lookupKeyword(std::string_view word)
{
    static const Table table = buildTable();
    const auto it = table.find(word);
    return it == table.end() ? KeywordInfo{} : it->second;
}

} // namespace common::rtf
