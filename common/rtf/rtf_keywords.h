#pragma once

#include <string_view>

// The control words the reader acts on; every other word is ignored.
namespace common::rtf {

enum class Keyword {
    Unknown,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    DefaultTab,
    // tables
    FontTable,
    ColourTable,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // a group whose content is never shown
    SkippedDestination,
    // paragraphs
    Paragraph,
    ParagraphDefaults,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    TabStop,
    TabRight,
    TabCentre,
    TabDecimal,
    // characters
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    StrikeOut,
    Hidden,
    Foreground,
    Background,
    // text
    Character, // a word that stands for one character (\tab, \line, \emdash...)
    Unicode,
    UnicodeSkip,
    Binary,
};

struct KeywordInfo
{
    Keyword keyword = Keyword::Unknown;
    char16_t character = 0; // for Keyword::Character
};

KeywordInfo lookupKeyword(std::string_view word);

} // namespace common::rtf
