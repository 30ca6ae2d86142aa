#include "stream/socket/HostAddress.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <optional>
#include <string>

namespace zeb::stream::socket {
namespace {

std::optional<std::string> dotted(std::optional<Ipv4Address> address)
{
    if (!address)
        return std::nullopt;
    in_addr raw{};
    raw.s_addr = *address;
    return std::string(::inet_ntoa(raw));
}

TEST(HostAddress, DottedAddressesReadAsFourNumbersOfAtMost255)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"127.0.0.1", "127.0.0.1"},
        {"256.1.1.1", std::nullopt},
        {"1.2.3", std::nullopt},
        {"-1.0.0.0", std::nullopt}, // scanf reads -1 as 4294967295
        {"4294967297.0.0.1", std::nullopt}, // not wrapped to 1
        // scanf rules: leading blanks and a plus sign are taken, text after the fourth number is ignored.
        {" 10.1.2.3", "10.1.2.3"},
        {"+1.2.3.4", "1.2.3.4"},
        {"1.2.3.4:80", "1.2.3.4"},
    };
    for (const auto& [host, expected] : cases)
        EXPECT_EQ(dotted(parseDottedAddress(host)), expected) << host;
}

TEST(HostAddress, NamesAreLookedUpAndOtherTextsMustBeDotted)
{
    EXPECT_EQ(dotted(resolveHost("localhost")), "127.0.0.1");
    // A host starting with a digit is never looked up.
    EXPECT_EQ(resolveHost("3com"), std::nullopt);
    EXPECT_EQ(resolveHost("no-such-host.invalid"), std::nullopt);
    // A NUL ends the name, as it would a C string.
    EXPECT_EQ(dotted(resolveHost(std::string("127.0.0.1\0junk", 14))), "127.0.0.1");
    // The empty host is this machine, which always has some IPv4 address.
    EXPECT_TRUE(resolveHost("").has_value());
}

} // namespace
} // namespace zeb::stream::socket
