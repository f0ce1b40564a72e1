#include "pravik/picture/board_canvas.h"
#include "pravik/picture/picture_source.h"

#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

using namespace pravik::picture;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 40;

// Draws a text screen as Pravik does, from a file: rich text, or plain text
// when it does not start as RTF.
BoardCanvas drawText(const char *text)
{
    QTemporaryDir dir;
    const bool rich = QByteArray(text).startsWith("{\\rtf");
    const QString path = dir.filePath(rich ? QStringLiteral("s.rtf") : QStringLiteral("s.txt"));
    EXPECT_TRUE(writeFileBytes(path, text));
    BoardCanvas canvas(kWidth, kHeight, 616);
    EXPECT_EQ(loadSource(path, canvas).status, SourceResult::Status::Drawn) << text;
    return canvas;
}

// The first and last lit column of each line of text: each band of rows with
// lit LEDs, from the top.
std::vector<std::pair<int, int>> litSpans(const BoardCanvas &canvas)
{
    std::vector<std::pair<int, int>> spans;
    bool inBand = false;
    for (int y = 0; y < canvas.height(); ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixel(x, y) != qRgb(0, 0, 0)) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        if (first < 0) {
            inBand = false;
            continue;
        }
        if (!inBand)
            spans.emplace_back(first, last);
        inBand = true;
        spans.back() = {std::min(spans.back().first, first), std::max(spans.back().second, last)};
    }
    return spans;
}

} // namespace

// Indents and tab stops land where the desktop's rich-text box puts them, 15
// twips to the pixel, default stops every 48 pixels. Each text starts (or, right-aligned, ends)
// `offset` columns from where its reference does on its first line.
TEST(TextRendering, IndentsAndTabStopsLandAtNinetySixDpi)
{
    enum Edge { Start, End };
    const char *const plain = R"({\rtf1 H})";
    const struct
    {
        const char *text;
        std::size_t line;
        Edge edge;
        const char *reference;
        int offset;
    } rows[] = {
        {R"({\rtf1\li1440 H})", 0, Start, plain, 96},
        {R"({\rtf1\fi-720\li1440 H\line H})", 0, Start, plain, 48},
        {R"({\rtf1\fi-720\li1440 H\line H})", 1, Start, plain, 96},
        {R"({\rtf1 \tab H})", 0, Start, plain, 48},
        {"\tH", 0, Start, "H", 48}, // a plain text's too
        {R"({\rtf1\deftab1440 \tab H})", 0, Start, plain, 96},
        {R"({\rtf1\tx2880 \tab H})", 0, Start, plain, 192},
        // Stops, the default ones too, are measured from the board's left
        // edge, not from the indent.
        {R"({\rtf1\li1440\tx2880 \tab H})", 0, Start, plain, 192},
        {R"({\rtf1\li1000 \tab H})", 0, Start, plain, 96},
        // After the last stop of its own the paragraph takes the default ones.
        {R"({\rtf1\tx480 \tab\tab H})", 0, Start, plain, 48},
        // A hanging indent is a stop: the first line starts at 19, its tab
        // goes to the indent at 67, not to the default stop at 48.
        {R"({\rtf1\fi-720\li1000 \tab H})", 0, Start, plain, 67},
        {R"({\rtf1\qr\ri720 H})", 0, End, R"({\rtf1\qr H})", -48},
        // Right at 192 and centred on 192, like text aligned in 0-192 and
        // centred in 64-320.
        {R"({\rtf1\tqr\tx2880 \tab H})", 0, End, R"({\rtf1\qr\ri1920 H})", 0},
        {R"({\rtf1\tqc\tx2880 \tab HH})", 0, Start, R"({\rtf1\qc\li960 HH})", 0},
        // \pard drops the indent and the stops of the paragraph before.
        {R"({\rtf1\li1440\tx2880 H\par\pard\tab H})", 1, Start, plain, 48},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        const auto spans = litSpans(drawText(row.text));
        const auto reference = litSpans(drawText(row.reference));
        ASSERT_GT(spans.size(), row.line);
        ASSERT_FALSE(reference.empty());
        if (row.edge == Start)
            EXPECT_EQ(spans[row.line].first, reference[0].first + row.offset);
        else
            EXPECT_EQ(spans[row.line].second, reference[0].second + row.offset);
    }
}
