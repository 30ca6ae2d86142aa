#include "Connection.h"

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"

namespace zeb::tools {

bool checkConnectionAddress(std::string_view text, const char* command, std::FILE* err)
{
    stream::StreamAddress record;
    if (stream::parseOpenText(text, record) == stream::OpenTarget::Address)
        return true;
    std::fprintf(err,
                 "%s: %s is no connection address (/dev/client/HOST/PORT, /dev/server/HOST/PORT or "
                 "/dev/serial/comN,BAUD,BITS,STOP,PARITY); local files are never opened here\n",
                 command, escaped(text).c_str());
    return false;
}

bool openConnection(stream::IOSTStream& link, const std::string& address, const char* command, std::FILE* err)
{
    if (!checkConnectionAddress(address, command, err))
        return false;
    if (link.open(address, "r+b") != stream::StreamStatus::Ok || !link.isOpen()) {
        std::fprintf(err, "%s: cannot open %s\n", command, escaped(address).c_str());
        return false;
    }
    return true;
}

std::string escaped(std::string_view text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += c;
            continue;
        }
        out += "\\x";
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0x0F];
    }
    return out;
}

} // namespace zeb::tools
