#include "messages/MessageKind.h"

#include <array>

namespace zeb::messages {

std::string_view messageKindName(MessageKind kind)
{
    static constexpr std::array<std::string_view, 8> kNames{"Unknown", "Residue", "SBin",        "SVar",
                                                            "UHF",     "RTCM",    "Telecommand", "HttpRequest"};
    const auto index = static_cast<std::uint32_t>(kind);
    return index < kNames.size() ? kNames[index] : std::string_view("?");
}

} // namespace zeb::messages
