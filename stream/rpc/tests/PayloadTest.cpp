#include "stream/rpc/DirectoryEntry.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RequestFrame.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace zeb::stream::rpc {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes payloadOf(const RemoteFileRequest& record)
{
    return Bytes(record.payload().begin(), record.payload().end());
}

// ---- payload fields ---------------------------------------------------------------------------

TEST(RemoteFileRequest, FieldsAreWrittenInOrderLittleEndianAndReadBack)
{
    RemoteFileRequest record;
    record.beginWrite();
    const Bytes block = {9, 8, 7};
    ASSERT_EQ(record.appendByte(0xAB), StreamStatus::Ok);
    ASSERT_EQ(record.appendWord(0x11223344u), StreamStatus::Ok);
    ASSERT_EQ(record.appendDoubleWord(0x0102030405060708ull), StreamStatus::Ok);
    ASSERT_EQ(record.appendText("ab"), StreamStatus::Ok);
    ASSERT_EQ(record.appendBlock(block), StreamStatus::Ok);
    EXPECT_EQ(payloadOf(record),
              (Bytes{0xAB, 0x44, 0x33, 0x22, 0x11, 8, 7, 6, 5, 4, 3, 2, 1, 'a', 'b', 0, 3, 0, 0, 0, 9, 8, 7}));

    record.beginRead();
    std::uint8_t byte = 0;
    std::uint32_t word = 0;
    std::uint64_t doubleWord = 0;
    std::string_view text;
    std::span<const std::uint8_t> bytes;
    EXPECT_EQ(record.readByte(byte), StreamStatus::Ok);
    EXPECT_EQ(record.readWord(word), StreamStatus::Ok);
    EXPECT_EQ(record.readDoubleWord(doubleWord), StreamStatus::Ok);
    EXPECT_EQ(record.readText(text), StreamStatus::Ok);
    EXPECT_EQ(record.readBlock(bytes), StreamStatus::Ok);
    EXPECT_EQ(byte, 0xAB);
    EXPECT_EQ(word, 0x11223344u);
    EXPECT_EQ(doubleWord, 0x0102030405060708ull);
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), block);
    // Reading at the length fails and leaves the cursor alone.
    EXPECT_EQ(record.readByte(byte), StreamStatus::NotOpen);
    EXPECT_EQ(record.readPosition(), record.length());
}

TEST(RemoteFileRequest, AppendingPastTheCapacityFailsWithoutWritingAnything)
{
    RemoteFileRequest record;
    record.beginWrite();
    const Bytes almost(RemoteFileRequest::kMaxAppend - 4 - 2, 0x55);
    ASSERT_EQ(record.appendBlock(almost), StreamStatus::Ok);
    EXPECT_EQ(record.appendWord(1), StreamStatus::NotOpen);
    EXPECT_EQ(record.appendText("ab"), StreamStatus::NotOpen); // needs 3 bytes, 2 are free
    EXPECT_EQ(record.appendBlock(Bytes{1}), StreamStatus::NotOpen);
    EXPECT_EQ(record.length(), RemoteFileRequest::kMaxAppend - 2);
    EXPECT_EQ(record.appendText("a"), StreamStatus::Ok);
    EXPECT_EQ(record.appendByte(0), StreamStatus::NotOpen);
    EXPECT_EQ(record.assign(Bytes(RemoteFileRequest::kCapacity + 1)), StreamStatus::NotOpen);
}

TEST(RemoteFileRequest, MalformedFieldsFailToReadAndTheCursorStays)
{
    std::string_view text;
    std::span<const std::uint8_t> block;
    std::uint32_t word = 0;
    using Read = std::function<StreamStatus(RemoteFileRequest&)>;
    const Read readText = [&](RemoteFileRequest& r) { return r.readText(text); };
    const Read readBlock = [&](RemoteFileRequest& r) { return r.readBlock(block); };
    const std::pair<Bytes, Read> cases[] = {
        {{'a', 'b', 'c'}, readText}, // no zero byte
        {{5, 0, 0, 0, 1, 2}, readBlock}, // the count runs past the end
        {{0xFF, 0xFF, 0xFF, 0xFF, 1}, readBlock}, // the count would wrap a size
        {{1, 2, 3}, [&](RemoteFileRequest& r) { return r.readWord(word); }}, // cut short
    };
    for (const auto& [payload, read] : cases) {
        SCOPED_TRACE(::testing::PrintToString(payload));
        RemoteFileRequest record;
        ASSERT_EQ(record.assign(payload), StreamStatus::Ok);
        EXPECT_EQ(read(record), StreamStatus::NotOpen);
        EXPECT_EQ(record.readPosition(), 0u);
    }
}

// ---- frames -----------------------------------------------------------------------------------

TEST(RequestFrame, PayloadsFromEmptyToTheLimitMakeFramesThatReadBack)
{
    std::array<std::uint8_t, RequestFrame::kMaxSize> out{};
    const std::size_t size = RequestFrame::build(2, 0x01020304u, {}, out);
    const Bytes frame(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(size));
    // Sum of 'x', the length, magic, kind and identifier bytes: 0x78+0x0F+0x01+0xFE+0xCA+0x02+0x0A = 0x25C.
    EXPECT_EQ(frame,
              (Bytes{0xFE, 'x', 0x00, 0x0F, 0x01, 0x00, 0xFE, 0xCA, 0x02, 0, 0, 0, 0x04, 0x03, 0x02, 0x01, 0x02, 0x5C,
                     0xFF}));
    const auto view = RequestFrame::parse(frame);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->identifier, 0x01020304u);
    EXPECT_TRUE(view->payload.empty());

    const Bytes largest(RequestFrame::kMaxPayload, 0xFF);
    const std::size_t largestSize = RequestFrame::build(0, 7, largest, out);
    ASSERT_EQ(largestSize, RequestFrame::kMaxPayload + RequestFrame::kOverhead);
    EXPECT_EQ(RequestFrame::parse({out.data(), largestSize})->payload.size(), largest.size());
    EXPECT_EQ(RequestFrame::build(0, 7, Bytes(RequestFrame::kMaxPayload + 1), out), 0u);
}

TEST(RequestFrame, DamagedFramesAreNotRead)
{
    std::array<std::uint8_t, RequestFrame::kMaxSize> out{};
    const Bytes payload = {1, 0, 0, 0, 'a', 0};
    const std::size_t size = RequestFrame::build(2, 1, payload, out);
    const Bytes good(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_TRUE(RequestFrame::parse(good));

    // Damaged bytes and their new values: magic, length field, checksum, payload, letter, end byte.
    const std::pair<std::size_t, std::uint8_t> damages[]
        = {{7, 0xCB}, {3, 0x10}, {size - 2, 0x00}, {17, 1}, {1, 'y'}, {size - 1, 0xFE}};
    for (const auto& [offset, value] : damages) {
        Bytes bad = good;
        bad[offset] = value;
        EXPECT_FALSE(RequestFrame::parse(bad)) << offset;
    }
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(RequestFrame::parse({good.data(), cut})) << cut;
}

TEST(DirectoryEntry, DecodesTheNinetySixBytesAndToleratesAFullNameField)
{
    Bytes bytes(96, 0);
    for (std::size_t i = 0; i < 80; ++i)
        bytes[i] = 'n';
    const std::uint32_t words[] = {1234, 0x5F000000u, 2, 0x81A4};
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t b = 0; b < 4; ++b)
            bytes[80 + 4 * i + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
    }
    const auto entry = DirectoryEntry::decode(bytes);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, std::string(80, 'n'));
    EXPECT_EQ(entry->size, 1234u);
    EXPECT_EQ(entry->mode, 0x81A4u);
    EXPECT_FALSE(DirectoryEntry::decode({bytes.data(), 95}));
}

} // namespace
} // namespace zeb::stream::rpc
