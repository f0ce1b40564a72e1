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

TEST(FrameReader, ReadsKnownFramesInOneRead)
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

TEST(FrameReader, ReadsBackToBackFramesFromOneChunk)
{
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

TEST(FrameReader, SkipsGarbageBeforeHeader)
{
    const QByteArray frame = knownFrames()[0].wire;
    FrameReader reader;
    reader.append(fromHex("0102ff") + frame);
    const auto items = readAll(reader);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].status, FrameStatus::BadHeader);
    EXPECT_EQ(items[0].raw, fromHex("0102ff"));
    EXPECT_EQ(items[1].status, FrameStatus::Ok);
    EXPECT_EQ(items[1].raw, frame);
}

TEST(FrameReader, KeepsTrailingFaThatMayStartAHeader)
{
    const QByteArray frame = knownFrames()[0].wire;
    FrameReader reader;
    reader.append(fromHex("07") + frame.left(1));
    const ReadItem garbage = reader.next();
    EXPECT_EQ(garbage.status, FrameStatus::BadHeader);
    EXPECT_EQ(garbage.raw, fromHex("07"));
    EXPECT_EQ(reader.next().status, FrameStatus::Incomplete);
    reader.append(frame.mid(1));
    EXPECT_EQ(reader.next().status, FrameStatus::Ok);
}

TEST(FrameReader, ReportsChecksumErrorAndReadsOn)
{
    QByteArray bad = knownFrames()[0].wire;
    bad[bad.size() - 1] = 0x04;
    FrameReader reader;
    reader.append(bad + knownFrames()[0].wire);
    const auto items = readAll(reader);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].status, FrameStatus::ChecksumError);
    EXPECT_EQ(items[0].checksum, 0x04);
    EXPECT_EQ(items[0].computedChecksum, 0x03);
    EXPECT_FALSE(items[0].error.isEmpty());
    EXPECT_EQ(items[1].status, FrameStatus::Ok);
}

TEST(FrameReader, BrokenEscapesEndTheFrame)
{
    const QByteArray good = knownFrames()[0].wire;
    struct Case
    {
        const char *name;
        QByteArray stream;
        int badLength; // bytes of the broken frame
    };
    const std::vector<Case> cases = {
        // 0xFA in the payload followed by something other than 0xFF.
        {"unescaped 0xFA", fromHex("fafa0103fa00") + good, 5},
        // A frame that lost its tail runs into the next header.
        {"cut short by the next header", good.left(10) + good, 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FrameReader reader;
        reader.append(c.stream);
        const auto items = readAll(reader);
        ASSERT_GE(items.size(), 2u);
        EXPECT_EQ(items[0].status, FrameStatus::BadEscape);
        EXPECT_EQ(items[0].raw.size(), c.badLength);
        EXPECT_EQ(items[0].address, 1);
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
    };
    const std::vector<Case> cases = {
        {"nothing left", frame, FrameStatus::Incomplete},
        {"half a frame", frame + frame.left(12), FrameStatus::Truncated},
        {"header only", frame.left(2), FrameStatus::Truncated},
        {"a lone 0xFA", fromHex("fa"), FrameStatus::BadHeader},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FrameReader reader;
        reader.append(c.input);
        readAll(reader);
        const ReadItem rest = reader.takeRest();
        EXPECT_EQ(rest.status, c.rest);
        EXPECT_FALSE(reader.hasPendingBytes());
    }
}
