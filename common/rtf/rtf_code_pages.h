#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <unordered_map>

// The code pages that RTF's \'hh bytes are written in.
namespace common::rtf {

inline constexpr int kChineseCodePage = 936;
inline constexpr int kChineseCharset = 134;
inline constexpr int kAnsiCodePage = 1252;

// The code page of a font's \fcharsetN; 0 when the charset leaves it to the
// document's \ansicpgN (DEFAULT_CHARSET and values no writer documents).
int codePageOfCharset(int charset);

// Decodes bytes of one code page. Chinese goes through the display file's own
// codec so that what the writer encodes reads back identically; other code
// pages through the toolkit, Latin-1 when it does not know the page.
class CodePageDecoder
{
public:
    QString decode(int codePage, const QByteArray &bytes);

private:
    std::unordered_map<int, QStringDecoder> m_decoders;
};

} // namespace common::rtf
