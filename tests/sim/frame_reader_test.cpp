#include "frame_reader.h"
#include "wire_builder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace LedBoardSim;
using WireBuilder::fromHex;

namespace {

struct KnownFrame
{
    const char *name;
    QByteArray wire;
    int address;
    QByteArray payload;
    int checksum;
};

QByteArray zeros(int count)
{
    return QByteArray(count, '\0');
}

// Wire bytes written out by hand, not produced by any encoder.
std::vector<KnownFrame> knownFrames()
{
    QByteArray picturePayload = fromHex("12000000ffffffffffffffff") + zeros(120);
    return {
        {"clock code, nothing escaped", fromHex("fafa0103") + zeros(20) + fromHex("03"), 1,
         fromHex("03") + zeros(20), 0x03},
        {"payload 0xFA and checksum 0xFA both escaped",
         fromHex("fafa01faff") + zeros(20) + fromHex("faff"), 1, fromHex("fa") + zeros(20), 0xFA},
        {"address 0xFA sent as one byte",
         fromHex("fafafa010000000005") + fromHex("03") + zeros(14) + fromHex("09"), 0xFA,
         fromHex("01000000000503") + zeros(14), 0x09},
        {"0xFA inside the payload",
         fromHex("fafa0104faff00fe000100010001") + zeros(11) + fromHex("ff"), 1,
         fromHex("04fa00fe000100010001") + zeros(11), 0xFF},
        {"only the checksum is 0xFA", fromHex("fafa010100000000f009") + zeros(14) + fromHex("faff"),
         1, fromHex("0100000000f009") + zeros(14), 0xFA},
        {"132-byte picture packet", fromHex("fafa01") + picturePayload + fromHex("0a"), 1,
         picturePayload, 0x0A},
    };
}

std::vector<ReadItem> readAll(FrameReader &reader)
{
    std::vector<ReadItem> items;
    for (ReadItem item = reader.next(); item.status != FrameStatus::Incomplete;
         item = reader.next())
        items.push_back(item);
    return items;
}

} // namespace

TEST(FrameReader, ReadsKnownFramesInOneReadAloneAndBackToBack)
{
    for (const KnownFrame &known : knownFrames()) {
        SCOPED_TRACE(known.name);
        FrameReader reader;
        reader.append(known.wire);
        const auto items = readAll(reader);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].status, FrameStatus::Ok) << items[0].error.toStdString();
        EXPECT_EQ(items[0].address, known.address);
        EXPECT_EQ(items[0].payload.toHex(), known.payload.toHex());
        EXPECT_EQ(items[0].checksum, known.checksum);
        EXPECT_EQ(items[0].computedChecksum, known.checksum);
        EXPECT_EQ(items[0].raw, known.wire);
        EXPECT_EQ(items[0].endOffset, known.wire.size());
        EXPECT_FALSE(reader.hasPendingBytes());
    }
    // And all of them back to back in one chunk.
    QByteArray stream;
    for (const KnownFrame &known : knownFrames())
        stream += known.wire;
    FrameReader reader;
    reader.append(stream);
    const auto items = readAll(reader);
    ASSERT_EQ(items.size(), knownFrames().size());
    for (const ReadItem &item : items)
        EXPECT_EQ(item.status, FrameStatus::Ok);
    EXPECT_EQ(items.back().endOffset, stream.size());
}

TEST(FrameReader, ReadsKnownFramesOneByteAtATime)
{
    // Splits fall between 0xFA and its 0xFF, between the header bytes, and so on.
    for (const KnownFrame &known : knownFrames()) {
        SCOPED_TRACE(known.name);
        FrameReader reader;
        for (int i = 0; i < known.wire.size() - 1; ++i) {
            reader.append(known.wire.mid(i, 1));
            ASSERT_EQ(reader.next().status, FrameStatus::Incomplete) << "after byte " << i;
        }
        reader.append(known.wire.right(1));
        const ReadItem item = reader.next();
        EXPECT_EQ(item.status, FrameStatus::Ok);
        EXPECT_EQ(item.payload.toHex(), known.payload.toHex());
    }
}

TEST(FrameReader, BrokenInputIsOneItemAndTheFrameAfterItIsRead)
{
    const QByteArray good = knownFrames()[0].wire;
    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = 0x04;
    struct Case
    {
        const char *name;
        QByteArray broken;
        FrameStatus status;
        QByteArray raw;    // the bytes of the broken item
        std::size_t items; // with the good frame
    };
    const std::vector<Case> cases = {
        {"noise before a header", fromHex("0102ff"), FrameStatus::BadHeader, fromHex("0102ff"), 2},
        {"checksum error", badChecksum, FrameStatus::ChecksumError, badChecksum, 2},
        // 0xFA in the payload followed by something other than 0xFF: the 00
        // after it is noise.
        {"unescaped 0xFA", fromHex("fafa0103fa00"), FrameStatus::BadEscape, fromHex("fafa0103fa"),
         3},
        // A frame that lost its tail runs into the next header.
        {"cut short by the next header", good.left(10), FrameStatus::BadEscape, good.left(10), 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FrameReader reader;
        reader.append(c.broken + good);
        const auto items = readAll(reader);
        ASSERT_EQ(items.size(), c.items);
        EXPECT_EQ(items[0].status, c.status);
        EXPECT_EQ(items[0].raw.toHex(), c.raw.toHex());
        EXPECT_FALSE(items[0].error.isEmpty());
        if (c.status != FrameStatus::BadHeader) {
            EXPECT_EQ(items[0].address, 1);
        }
        EXPECT_EQ(items.back().status, FrameStatus::Ok);
        EXPECT_EQ(items.back().raw, good);
    }
}

TEST(FrameReader, RestOfInputIsTruncatedFrameOrGarbage)
{
    const QByteArray frame = knownFrames()[0].wire;
    struct Case
    {
        const char *name;
        QByteArray input;
        FrameStatus rest;
        QByteArray restRaw;
    };
    const std::vector<Case> cases = {
        {"nothing left", frame, FrameStatus::Incomplete, {}},
        {"half a frame", frame + frame.left(12), FrameStatus::Truncated, frame.left(12)},
        {"header only", frame.left(2), FrameStatus::Truncated, frame.left(2)},
        {"a lone 0xFA", fromHex("fa"), FrameStatus::BadHeader, fromHex("fa")},
        // Noise goes out at once, but a 0xFA after it may start a header.
        {"noise and a lone 0xFA", fromHex("07fa"), FrameStatus::BadHeader, fromHex("fa")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FrameReader reader;
        reader.append(c.input);
        readAll(reader);
        const ReadItem rest = reader.takeRest();
        EXPECT_EQ(rest.status, c.rest);
        EXPECT_EQ(rest.raw.toHex(), c.restRaw.toHex());
        EXPECT_FALSE(reader.hasPendingBytes());
    }
}
