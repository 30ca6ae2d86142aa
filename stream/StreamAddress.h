#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zeb::stream {

// Which transport a StreamAddress means. Any other value has no transport.
using StreamType = std::uint32_t;

namespace stream_type {
constexpr StreamType None = 0;
constexpr StreamType Serial = 1;
constexpr StreamType Dpram = 2;
constexpr StreamType Client = 3;
constexpr StreamType File = 4;
constexpr StreamType Server = 5;
constexpr StreamType Buffer = 6;
} // namespace stream_type

// Longest texts the stored forms hold (their fixed fields are one byte longer, for the terminating zero).
constexpr std::size_t kMaxAddressText = 1023;
constexpr std::size_t kMaxFilePath = 1023;
constexpr std::size_t kMaxDeviceName = 79;

struct SerialSettings
{
    std::string deviceName = "COM1"; // always rebuilt as "COM%u" from portNumber by the parser
    std::uint32_t portNumber = 1;
    std::uint32_t inputQueueSize = 1024;
    std::uint32_t outputQueueSize = 2048;
    std::uint32_t reserved1 = 1016; // carried with the settings, read by no transport
    std::uint32_t reserved2 = 4;
    std::uint32_t baudRate = 9600;
    char parity = 'N'; // 'N', 'E', 'O', 'M' or 'S'; stored as given, lower case included
    std::uint8_t dataBits = 8;
    double stopBits = 1.0; // 1.0, 1.5 or 2

    bool operator==(const SerialSettings&) const = default;
};

struct DpramSettings
{
    std::string deviceName = "DPR1";
    std::uint32_t unitNumber = 0;

    bool operator==(const DpramSettings&) const = default;
};

struct SocketSettings
{
    std::uint32_t port = 1000; // the transports use the low 16 bits
    std::string host = "localhost"; // dotted IPv4 address, host name, or empty for this machine

    bool operator==(const SocketSettings&) const = default;
};

struct BufferSettings
{
    std::uint32_t address = 0;
    std::uint32_t size = 0;

    bool operator==(const BufferSettings&) const = default;
};

// The settings of every transport kind at once; `type` says which one is meant. A plain value: the
// connection pages copy it back and forth whole.
struct StreamAddress
{
    StreamType type = stream_type::Serial;
    SerialSettings serial;
    DpramSettings dpram;
    SocketSettings client;
    SocketSettings server;
    std::string filePath = "C:/MyFile";
    BufferSettings buffer;

    bool operator==(const StreamAddress&) const = default;
};

// The application's default connection.
constexpr std::string_view kDefaultAddressText = "/dev/serial/com1,9600,8,1.0,N";

// Reads an address text into `address` and returns its type, always 1-5:
//   "/dev/serial/com%u,%u,%u,%lf,%c"  serial: port, baud rate, data bits, stop bits, parity
//   "/dev/dpram/%u"                   dual-port RAM unit
//   "/dev/client/%[^/]/%u"            TCP client host and port
//   "/dev/server/%[^/]/%u"            TCP server host and port
//   anything else                     a file path, the whole text (up to a NUL, at most kMaxFilePath)
// The patterns follow the C library's scanf rules; text after the last conversion is ignored. Only the
// fields of the recognised type (and `type`) change.
StreamType parseStreamAddress(std::string_view text, StreamAddress& address);

// The text of an address by its type; "Unknown" for a type without a text form. Never longer than
// kMaxAddressText (longer texts are cut, as a stream's own address text would be).
std::string formatStreamAddress(const StreamAddress& address);

// How a stream opening itself from a text reads it.
enum class OpenTarget {
    Refused, // "client:..." and "dpram:...": no transport is created
    Address, // a client, server or serial address: `address` is the record to open
    File, // anything else: a path, opened with the caller's mode
};

// Classifies an open text. For Address the record is the defaults with the recognised fields filled in,
// and accepts the slash form "/dev/serial/%u/%u/%u/%lf/%c" beside the comma form; "/dev/dpram/%u" is a
// file here. For File the record is the defaults with type File and the text as path. For Refused the
// record is left alone.
OpenTarget parseOpenText(std::string_view text, StreamAddress& address);

// A path naming a file on the far side of another stream: the text before the first "//" (the stream's
// address text) and the text after it (the path over there). No "//": a local path, nullopt.
std::optional<std::pair<std::string, std::string>> splitRemotePath(std::string_view path);

} // namespace zeb::stream
