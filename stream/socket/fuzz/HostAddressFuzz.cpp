// Reads arbitrary text as a dotted host address. An accepted text must be four numbers of at
// most 255 whose dotted form reads back as the same address; nothing may crash.
#include "stream/socket/HostAddress.h"

#include <arpa/inet.h>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto address = zeb::stream::socket::parseDottedAddress(input);
    if (!address) {
        return 0;
    }
    in_addr raw{};
    raw.s_addr = *address;
    std::array<char, INET_ADDRSTRLEN> text{};
    check(::inet_ntop(AF_INET, &raw, text.data(), text.size()) != nullptr);
    const auto again = zeb::stream::socket::parseDottedAddress(text.data());
    check(again.has_value() && *again == *address);
    return 0;
}
