#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>

namespace zeb::platform {

// Process-wide table of registered message identifiers. The same name always gives the same
// identifier, from any thread; identifiers start at 0xC000 so they never collide with the
// small fixed numbers that code may use for its own private messages.
class MessageRegistry
{
public:
    static constexpr MessageId kFirstRegistered = 0xC000;

    static MessageId registerMessage(std::string_view name);
    // The name of a registered identifier, or an empty string.
    static std::string nameOf(MessageId id);
};

} // namespace zeb::platform
