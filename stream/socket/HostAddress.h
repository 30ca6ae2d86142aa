#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zeb::stream::socket {

// IPv4 addresses are kept in network byte order, as the socket calls take them.
using Ipv4Address = std::uint32_t;
// 0.0.0.0: every local address (the same in either byte order).
constexpr Ipv4Address kAnyAddress = 0;

// A host text read as "%u.%u.%u.%u" (scanf rules; text after the fourth number is ignored),
// each number at most 255.
std::optional<Ipv4Address> parseDottedAddress(std::string_view host);

// The address a client connects to: an empty host is this machine's name, a host that starts
// with a letter is looked up (the first IPv4 address), anything else must be a dotted address.
std::optional<Ipv4Address> resolveHost(std::string_view host);

} // namespace zeb::stream::socket
