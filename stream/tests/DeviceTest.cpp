#include "stream/FileDevice.h"
#include "stream/MemoryDevice.h"
#include "testsupport/StreamTestSupport.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>

namespace zeb::stream {
namespace {

using testing::Bytes;
using testing::bytesOf;
using testsupport::TempFolder;

Bytes readAll(StreamDevice& device)
{
    Bytes all;
    std::uint8_t buffer[7];
    while (const std::size_t got = device.read(buffer, sizeof buffer, false))
        all.insert(all.end(), buffer, buffer + got);
    return all;
}

TEST(FileDevice, ModeStringsAreThoseOfTheStandardOpenAndNothingElse)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"r", O_RDONLY},
        {"r+", O_RDWR},
        {"w+b", O_RDWR | O_CREAT | O_TRUNC},
        {"a", O_WRONLY | O_CREAT | O_APPEND},
        {"a+", O_RDWR | O_CREAT | O_APPEND},
        {"wbx", O_WRONLY | O_CREAT | O_EXCL},
        {"rx", std::nullopt}, // exclusive only creates
        {"", std::nullopt},
        {"rw", std::nullopt}, // contradictory pair
        {"rtb", std::nullopt}, // text and binary together
        {"br", std::nullopt}, // the access letter comes first
    };
    for (const auto& [mode, flags] : cases)
        EXPECT_EQ(FileDevice::openFlags(mode), flags) << "mode \"" << mode << '"';
}

TEST(FileDevice, ReadsWritesAppendsAndReportsLengthAndEnd)
{
    const TempFolder folder;
    folder.write("log.bin", "old contents");
    const std::string path = folder / "log.bin";

    FileDevice file;
    ASSERT_EQ(file.open(path, "w+b"), StreamStatus::Ok);
    EXPECT_EQ(file.size(), 0u) << "w truncates";
    const Bytes payload = bytesOf("0123456789abcdef");
    EXPECT_EQ(file.write(payload.data(), payload.size(), 0, 20), payload.size());
    EXPECT_EQ(file.rewind(), StreamStatus::Ok);
    std::uint8_t four[4];
    ASSERT_EQ(file.read(four, 4, false), 4u);
    EXPECT_EQ(file.size(), payload.size()) << "the length leaves the position alone";
    EXPECT_FALSE(file.atEnd());
    EXPECT_EQ(testing::textOf(readAll(file)), "456789abcdef");
    EXPECT_TRUE(file.atEnd());
    EXPECT_EQ(file.close(), StreamStatus::Ok);
    EXPECT_EQ(file.close(), StreamStatus::CloseFailed) << "closing a closed file";

    ASSERT_EQ(file.open(path, "a"), StreamStatus::Ok);
    const Bytes more = bytesOf("++");
    EXPECT_EQ(file.write(more.data(), more.size(), 0, 20), 2u);
    file.close();
    ASSERT_EQ(file.open(path, "rb"), StreamStatus::Ok);
    EXPECT_EQ(testing::textOf(readAll(file)), "0123456789abcdef++");
    EXPECT_EQ(file.write(more.data(), more.size(), 0, 20), 0u) << "a file opened for reading";
}

TEST(FileDevice, RefusesWhatCannotBeOpened)
{
    const TempFolder folder;
    FileDevice file;
    EXPECT_EQ(file.open((folder / "missing").string(), "r"), StreamStatus::OpenFailed);
    EXPECT_EQ(file.open((folder / "new").string(), "rw"), StreamStatus::OpenFailed);
    EXPECT_FALSE(std::filesystem::exists(folder / "new")) << "a refused mode creates nothing";
    EXPECT_EQ(file.open((folder / "a").string() + std::string(1, '\0') + "b", "w"), StreamStatus::OpenFailed);
    EXPECT_FALSE(file.isOpen());
    std::uint8_t byte;
    EXPECT_EQ(file.read(&byte, 1, true), 0u);

    // A record opens its path with "w+b".
    StreamAddress address = testing::addressOfType(stream_type::File);
    folder.write("record.bin", "stale");
    address.filePath = folder / "record.bin";
    ASSERT_EQ(file.open(address), StreamStatus::Ok);
    EXPECT_EQ(file.size(), 0u);
}

TEST(MemoryDevice, AFixedBlockIsReadOnceFromItsStartAndNeverWritten)
{
    const Bytes block = bytesOf("$GPHDT,1.0,T\r\n");
    const std::uint32_t key = MemoryDevice::lendBlock(block);
    ASSERT_NE(key, 0u);

    MemoryDevice device;
    StreamAddress address = testing::addressOfType(stream_type::Buffer);
    address.buffer = {key, 100}; // a size beyond the block must not read past it
    ASSERT_EQ(device.open(address), StreamStatus::Ok);
    EXPECT_EQ(device.write(block.data(), block.size(), 0, 0), 0u);
    EXPECT_EQ(device.reserve(10), StreamStatus::SendFailed);
    EXPECT_EQ(readAll(device), block);
    EXPECT_TRUE(device.atEnd());

    address.buffer = {key, 6};
    ASSERT_EQ(device.open(address), StreamStatus::Ok);
    EXPECT_EQ(testing::textOf(readAll(device)), "$GPHDT");

    MemoryDevice::withdrawBlock(key);
    EXPECT_EQ(device.open(address), StreamStatus::OpenFailed);
    address.buffer = {0, 0};
    EXPECT_EQ(device.open(address), StreamStatus::OpenFailed) << "an address that was never lent";
}

} // namespace
} // namespace zeb::stream
