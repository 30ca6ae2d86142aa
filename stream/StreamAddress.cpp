#include "stream/StreamAddress.h"

#include "text/Format.h"
#include "text/Scan.h"

namespace zeb::stream {

namespace {

// The text as the C-string functions see it: up to its first NUL.
std::string_view cString(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

std::string limited(std::string_view text, std::size_t maxLength)
{
    return std::string(text.substr(0, maxLength));
}

// Reads `pattern` of five serial fields; changes `serial` only when all five convert.
bool scanSerial(std::string_view text, std::string_view pattern, SerialSettings& serial)
{
    unsigned port = 0;
    unsigned baud = 0;
    unsigned dataBits = 0;
    double stopBits = 0.0;
    char parity = 0;
    if (text::scan(text, pattern, &port, &baud, &dataBits, &stopBits, &parity) != 5) {
        return false;
    }
    serial.portNumber = port;
    serial.deviceName = text::format("COM%u", port);
    serial.baudRate = baud;
    serial.dataBits = static_cast<std::uint8_t>(dataBits);
    serial.stopBits = stopBits;
    serial.parity = parity;
    return true;
}

bool scanSocket(std::string_view text, std::string_view pattern, SocketSettings& socket)
{
    std::string host;
    unsigned port = 0;
    if (text::scan(text, pattern, &host, &port) != 2) {
        return false;
    }
    socket.host = std::move(host);
    socket.port = port;
    return true;
}

bool scanDpram(std::string_view text, DpramSettings& dpram)
{
    unsigned unit = 0;
    if (text::scan(text, "/dev/dpram/%u", &unit) != 1) {
        return false;
    }
    dpram.unitNumber = unit;
    return true;
}

std::string formatUnlimited(const StreamAddress& a)
{
    switch (a.type) {
    case stream_type::Serial:
        return text::format("/dev/serial/com%u,%u,%u,%.1f,%c", a.serial.portNumber, a.serial.baudRate,
                            unsigned{a.serial.dataBits}, a.serial.stopBits, a.serial.parity);
    case stream_type::Dpram:
        return text::format("/dev/dpram/%u", a.dpram.unitNumber);
    case stream_type::Client:
        return "/dev/client/" + a.client.host + text::format("/%u", a.client.port);
    case stream_type::File:
        return a.filePath;
    case stream_type::Server:
        return "/dev/server/" + a.server.host + text::format("/%u", a.server.port);
    case stream_type::Buffer:
        return text::format("/dev/buffer/%u[%u]", a.buffer.address, a.buffer.size);
    default:
        return "Unknown";
    }
}

} // namespace

StreamType parseStreamAddress(std::string_view text, StreamAddress& address)
{
    address.type = stream_type::None;
    if (scanSerial(text, "/dev/serial/com%u,%u,%u,%lf,%c", address.serial)) {
        address.type = stream_type::Serial;
    } else if (scanDpram(text, address.dpram)) {
        address.type = stream_type::Dpram;
    } else if (scanSocket(text, "/dev/client/%[^/]/%u", address.client)) {
        address.type = stream_type::Client;
    } else if (scanSocket(text, "/dev/server/%[^/]/%u", address.server)) {
        address.type = stream_type::Server;
    } else {
        address.filePath = limited(cString(text), kMaxFilePath);
        address.type = stream_type::File;
    }
    return address.type;
}

std::string formatStreamAddress(const StreamAddress& address)
{
    std::string text = formatUnlimited(address);
    if (text.size() > kMaxAddressText) {
        text.resize(kMaxAddressText);
    }
    return text;
}

OpenTarget parseOpenText(std::string_view text, StreamAddress& address)
{
    if (text.starts_with("client:") || text.starts_with("dpram:")) {
        return OpenTarget::Refused;
    }
    StreamAddress record;
    if (scanSocket(text, "/dev/client/%[^/]/%u", record.client)) {
        record.type = stream_type::Client;
    } else if (scanSocket(text, "/dev/server/%[^/]/%u", record.server)) {
        record.type = stream_type::Server;
    } else if (scanSerial(text, "/dev/serial/com%u,%u,%u,%lf,%c", record.serial)
               || scanSerial(text, "/dev/serial/%u/%u/%u/%lf/%c", record.serial)) {
        record.type = stream_type::Serial;
    } else {
        record.type = stream_type::File;
        record.filePath = limited(cString(text), kMaxFilePath);
    }
    address = std::move(record);
    return address.type == stream_type::File ? OpenTarget::File : OpenTarget::Address;
}

std::optional<std::pair<std::string, std::string>> splitRemotePath(std::string_view path)
{
    const std::size_t split = path.find("//");
    if (split == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{std::string(path.substr(0, split)), std::string(path.substr(split + 2))};
}

} // namespace zeb::stream
