#include "stream/socket/HostAddress.h"

#include "text/Scan.h"

#include <arpa/inet.h>
#include <array>
#include <climits>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace zeb::stream::socket {

namespace {

constexpr unsigned long long kMaxOctet = 255;

std::optional<Ipv4Address> lookUp(const std::string& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    std::optional<Ipv4Address> address;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr) {
            address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    ::freeaddrinfo(found);
    return address;
}

} // namespace

std::optional<Ipv4Address> parseDottedAddress(std::string_view host)
{
    // Read 64 bits wide: as "%u", "4294967297" would wrap to 1 and pass for an octet.
    std::array<unsigned long long, 4> octets{};
    if (text::scan(host, "%llu.%llu.%llu.%llu", &octets[0], &octets[1], &octets[2], &octets[3]) != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const unsigned long long octet : octets) {
        if (octet > kMaxOctet)
            return std::nullopt;
        value = (value << 8) | static_cast<std::uint32_t>(octet);
    }
    return htonl(value);
}

std::optional<Ipv4Address> resolveHost(std::string_view host)
{
    // A text with a NUL inside would name another host than it shows.
    host = host.substr(0, host.find('\0'));
    if (host.empty()) {
        std::array<char, HOST_NAME_MAX + 1> name{};
        if (::gethostname(name.data(), name.size() - 1) != 0)
            return std::nullopt;
        return lookUp(name.data());
    }
    const char first = static_cast<char>(host.front() | 0x20);
    if (first >= 'a' && first <= 'z')
        return lookUp(std::string(host));
    return parseDottedAddress(host);
}

} // namespace zeb::stream::socket
