#include "recorder/files/RecordFileReader.h"
#include "recorder/files/RecordFrame.h"
#include "recorder/files/RecordNaming.h"
#include "recorder/files/tests/RecordFileContents.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace zeb::recorder {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Status = RecordFileReader::Status;

Bytes frameOf(const RecordHeader& header, const Bytes& data)
{
    RecordFrame::Buffer buffer;
    const std::size_t size = RecordFrame::build(header, data, buffer);
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size));
}

RecordFileContents readAll(Bytes file)
{
    return RecordFileContents::of(::fmemopen(file.data(), file.size(), "rb"));
}

TEST(RecordFrame, MessageRecordKeepsTheByteLayoutOtherProgramsRead)
{
    const Bytes frame = frameOf(RecordHeader::message('B', 0x01020304, 0), {0xFD, 0xFE, 0xFF});
    // clang-format off
    const Bytes expectedStart = {
        0xFE, 'x', 0, 50, 0x01, 0x00, 0xFE, 0xCA, 1, 0, 0, 0, 0, 0, 0, 0, // frame header, kind 1
        21, 0, 0, 0, 20, 0, 0, 0, // word 21, block of the 20-byte header
        26, 'B', 0, 0, 0x04, 0x03, 0x02, 0x01, 3, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, // 16..19 zero
        3, 0, 0, 0, 0xFD, 0xFE, 0xFF}; // block of the data, unescaped
    // clang-format on
    ASSERT_EQ(frame.size(), expectedStart.size() + 3); // then the checksum, as every request frame
    EXPECT_EQ(Bytes(frame.begin(), frame.end() - 3), expectedStart);
    EXPECT_EQ(frame.back(), 0xFF);

    const Bytes text = frameOf(RecordHeader::text(500, 0, true), {'a', 0});
    EXPECT_EQ(Bytes(text.begin() + 24, text.begin() + 44),
              (Bytes{0, 0, 0, 4, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(RecordFrame::build({}, Bytes(RecordFrame::kMaxData + 1), *std::make_unique<RecordFrame::Buffer>()), 0u);
    EXPECT_EQ(
        RecordFrame::build({}, Bytes(10), std::span<std::uint8_t>(*std::make_unique<RecordFrame::Buffer>()).first(60)),
        0u);
}

TEST(RecordNaming, NamesEachConventionFromTheLocalTimeAndFindsAFreeIndex)
{
    const RecordNaming::LocalTime march2003{2003, 3, 5, 14, 7, 9};
    const struct
    {
        unsigned convention;
        RecordNaming::LocalTime time;
        unsigned index;
        std::string name;
    } rows[] = {
        {0, march2003, 7, "/rec/data-7.UMA"},
        {2, march2003, 1, "/rec/data-1.UMA"},
        {3, march2003, 1, "/rec/data-05032003-140709-1.UMA"},
        {1, {1980, 1, 6, 0, 0, 10}, 1, "/rec/data-0000-000010-1.UMA"},
        {1, march2003, 2, "/rec/data-1208-310029-2.UMA"},
        {1, {2026, 12, 5, 23, 59, 59}, 1, "/rec/data-2447-604799-1.UMA"}, // last second of a week
        {1, {2026, 12, 6, 0, 0, 0}, 1, "/rec/data-2448-000000-1.UMA"},
        {1, {1979, 12, 31, 12, 0, 0}, 1, "/rec/data-0000-000000-1.UMA"}, // before GNSS time
    };
    for (const auto& row : rows) {
        const RecordNaming naming{"/rec", "data", row.convention, "UMA"};
        EXPECT_EQ(naming.name(row.index, row.time), row.name) << "convention " << row.convention;
    }
    EXPECT_EQ(RecordNaming::firstFreeIndex(3, [](unsigned i) { return i < 6; }), 6u);
    EXPECT_EQ(RecordNaming::firstFreeIndex(1, [](unsigned) { return true; }), std::nullopt);
    EXPECT_EQ(RecordNaming::firstFreeIndex(0xFFFFFFFFu, [](unsigned) { return true; }), std::nullopt);
}

TEST(RecordFileReader, ReadsEveryRecordFromTheFirstAndStopsAtACutOrDamagedOne)
{
    const Bytes first = frameOf(RecordHeader::message('A', 1, 0), {'$', 'G', 'P'});
    const Bytes second = frameOf(RecordHeader::message('B', 2, 0), Bytes(300, 0xFE));
    Bytes file = first;
    file.insert(file.end(), second.begin(), second.end());

    const RecordFileContents whole = readAll(file);
    EXPECT_EQ(whole.status, Status::End);
    EXPECT_EQ(whole.messages, (std::vector<std::string>{"$GP", std::string(300, '\xFE')}));
    EXPECT_EQ(whole.tags, (std::vector<std::uint8_t>{'A', 'B'}));

    for (std::size_t cut = first.size() + 1; cut < file.size(); ++cut) {
        const RecordFileContents partial
            = readAll(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
        ASSERT_EQ(partial.status, Status::Cut) << "cut at " << cut;
        EXPECT_EQ(partial.messages.size(), 1u);
        EXPECT_EQ(partial.error, "cut record at byte " + std::to_string(first.size()));
    }

    Bytes damaged = file;
    damaged[first.size() + 100] ^= 1; // checksum no longer matches
    const RecordFileContents broken = readAll(damaged);
    EXPECT_EQ(broken.status, Status::Damaged);
    EXPECT_EQ(broken.messages.size(), 1u);
    EXPECT_EQ(readAll({'$', 'G', 'P', 'G', 'G', 'A'}).messages, std::vector<std::string>{"$GPGGA"});
    EXPECT_EQ(readAll({}).status, Status::End);
}

} // namespace
} // namespace zeb::recorder
