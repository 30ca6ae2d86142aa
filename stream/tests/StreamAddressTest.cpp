#include "stream/StreamAddress.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zeb::stream {
namespace {

// A record whose every field differs from the defaults, to see which ones a parse touches.
StreamAddress nonDefaultRecord()
{
    StreamAddress a;
    a.type = stream_type::Buffer;
    a.serial = {"COM9", 9, 1, 2, 3, 4, 300, 'O', 7, 2.0};
    a.dpram = {"DPR9", 9};
    a.client = {7, "client-host"};
    a.server = {8, "server-host"};
    a.filePath = "/tmp/previous";
    a.buffer = {0x1000, 16};
    return a;
}

TEST(StreamAddress, DefaultRecordIsTheDefaultConnection)
{
    const StreamAddress defaults;
    EXPECT_EQ(formatStreamAddress(defaults), kDefaultAddressText);
    StreamAddress parsed;
    EXPECT_EQ(parseStreamAddress(kDefaultAddressText, parsed), stream_type::Serial);
    EXPECT_EQ(parsed, defaults);
}

TEST(StreamAddress, TextsReadAndWriteBack)
{
    // A text, the type it reads as, and how the record is written back (empty: as the text).
    const std::vector<std::tuple<std::string, StreamType, std::string>> cases = {
        {"/dev/serial/com3,115200,8,1.5,E", stream_type::Serial, ""},
        {"/dev/serial/com2,4800,7,2,e", stream_type::Serial, "/dev/serial/com2,4800,7,2.0,e"},
        {"/dev/serial/com4294967297,1,1,1,N", stream_type::Serial, "/dev/serial/com1,1,1,1.0,N"},
        {"/dev/serial/com1,9600,8,1.0, O", stream_type::Serial, "/dev/serial/com1,9600,8,1.0, "},
        {"/dev/serial/com1,9600,264,1.0,N", stream_type::Serial, "/dev/serial/com1,9600,8,1.0,N"},
        {"/dev/dpram/ 7x", stream_type::Dpram, "/dev/dpram/7"},
        {"/dev/client/host/1000//dir/file", stream_type::Client, "/dev/client/host/1000"},
        {"/dev/client/my host/-1", stream_type::Client, "/dev/client/my host/4294967295"},
        {"/dev/client/h/99999999999999999999999", stream_type::Client, "/dev/client/h/4294967295"},
        {"/dev/server/localhost/1000", stream_type::Server, ""},
        {"/dev/serial/com1,9600,8,1.0", stream_type::File, ""},
        {"/dev/client/host/port", stream_type::File, ""},
        {"/dev/client//1000", stream_type::File, ""},
        {"/dev/buffer/1234[10]", stream_type::File, ""},
        {"client:anything", stream_type::File, ""},
        {"", stream_type::File, ""},
    };
    for (const auto& [text, type, formatted] : cases) {
        StreamAddress address;
        EXPECT_EQ(parseStreamAddress(text, address), type) << text;
        EXPECT_EQ(address.type, type) << text;
        EXPECT_EQ(formatStreamAddress(address), formatted.empty() ? text : formatted) << text;
    }
}

TEST(StreamAddress, LongHostsAndPathsStayWithinTheTextLimits)
{
    for (const std::size_t length : {80u, 100000u}) {
        const std::string host(length, 'h');
        const std::string text = "/dev/client/" + host + "/5000";
        StreamAddress address;
        ASSERT_EQ(parseStreamAddress(text, address), stream_type::Client) << length;
        EXPECT_EQ(address.client.host, host) << length;
        EXPECT_EQ(address.client.port, 5000u) << length;
        const std::string formatted = formatStreamAddress(address);
        if (text.size() <= kMaxAddressText) {
            EXPECT_EQ(formatted, text) << length;
        } else {
            EXPECT_EQ(formatted, text.substr(0, kMaxAddressText)) << length;
        }
    }

    StreamAddress address;
    const std::string path(5000, 'p');
    ASSERT_EQ(parseStreamAddress(path, address), stream_type::File);
    EXPECT_EQ(address.filePath, path.substr(0, kMaxFilePath));
    const std::string withNul("C:/a\0b", 6);
    ASSERT_EQ(parseStreamAddress(withNul, address), stream_type::File);
    EXPECT_EQ(address.filePath, "C:/a") << "a text ends at its first NUL";
}

TEST(StreamAddress, OpenTextGrammar)
{
    // A text, what it opens, and how the record is written back (for Address and File).
    const std::vector<std::tuple<std::string, OpenTarget, std::string>> cases = {
        {"client:anything", OpenTarget::Refused, ""},
        {"/dev/server/localhost/1000", OpenTarget::Address, "/dev/server/localhost/1000"},
        {"/dev/serial/3/115200/8/1.5/E", OpenTarget::Address, "/dev/serial/com3,115200,8,1.5,E"},
        {"/dev/serial/3/115200/8/1.5", OpenTarget::File, "/dev/serial/3/115200/8/1.5"},
        {"/dev/dpram/3", OpenTarget::File, "/dev/dpram/3"},
        {"C:/data/log.bin", OpenTarget::File, "C:/data/log.bin"},
        {"Client:x", OpenTarget::File, "Client:x"},
    };
    for (const auto& [text, target, formatted] : cases) {
        StreamAddress address = nonDefaultRecord();
        EXPECT_EQ(parseOpenText(text, address), target) << text;
        if (target == OpenTarget::Refused) {
            EXPECT_EQ(address, nonDefaultRecord()) << text;
            continue;
        }
        EXPECT_EQ(formatStreamAddress(address), formatted) << text;
        // Every field but the recognised ones is back to its default.
        StreamAddress expected;
        expected.type = address.type;
        expected.serial = address.type == stream_type::Serial ? address.serial : expected.serial;
        expected.client = address.type == stream_type::Client ? address.client : expected.client;
        expected.server = address.type == stream_type::Server ? address.server : expected.server;
        expected.filePath = address.type == stream_type::File ? address.filePath : expected.filePath;
        EXPECT_EQ(address, expected) << text;
    }
}

TEST(StreamAddress, RemotePathsSplitAtTheFirstDoubleSlash)
{
    using Split = std::optional<std::pair<std::string, std::string>>;
    const std::vector<std::pair<std::string, Split>> cases = {
        {"/dev/client/host/1000//dir/file", Split({"/dev/client/host/1000", "dir/file"})},
        {"a//b//c", Split({"a", "b//c"})},
        {"x//", Split({"x", ""})},
        {"C:/data/log.bin", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(splitRemotePath(path), expected) << path;
    }
}

} // namespace
} // namespace zeb::stream
