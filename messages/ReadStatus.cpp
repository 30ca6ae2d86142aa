#include "messages/ReadStatus.h"

#include <array>

namespace zeb::messages {

std::string_view readStatusName(ReadStatus status)
{
    static constexpr std::array<std::string_view, 5> kNames{"Discarded", "Idle", "EndOfStream", "NeedMore", "Complete"};
    const auto index = static_cast<std::uint32_t>(status);
    return index < kNames.size() ? kNames[index] : std::string_view("?");
}

} // namespace zeb::messages
