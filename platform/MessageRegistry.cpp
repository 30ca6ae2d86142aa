#include "platform/MessageRegistry.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace zeb::platform {

namespace {

struct Table
{
    std::mutex mutex;
    std::unordered_map<std::string, MessageId> byName;
    std::vector<std::string> names;
};

Table& table()
{
    static Table instance;
    return instance;
}

} // namespace

MessageId MessageRegistry::registerMessage(std::string_view name)
{
    Table& t = table();
    const std::lock_guard lock(t.mutex);
    const auto [it, inserted] = t.byName.try_emplace(std::string(name), 0);
    if (inserted) {
        it->second = kFirstRegistered + static_cast<MessageId>(t.names.size());
        t.names.emplace_back(name);
    }
    return it->second;
}

std::string MessageRegistry::nameOf(MessageId id)
{
    Table& t = table();
    const std::lock_guard lock(t.mutex);
    if (id < kFirstRegistered || id - kFirstRegistered >= t.names.size())
        return {};
    return t.names[id - kFirstRegistered];
}

} // namespace zeb::platform
