#pragma once

#include "platform/Settings.h"

#include <map>
#include <mutex>
#include <string>

namespace zeb::platform {

// Settings kept in memory only: the default of tools and tests.
class MemorySettings final : public Settings
{
public:
    int readInt(std::string_view section, std::string_view key, int fallback) const override;
    std::string readText(std::string_view section, std::string_view key, std::string_view fallback) const override;
    void writeInt(std::string_view section, std::string_view key, int value) override;
    void writeText(std::string_view section, std::string_view key, std::string_view value) override;

private:
    const std::string* find(std::string_view section, std::string_view key) const;

    mutable std::mutex m_mutex;
    std::map<std::string, std::string, std::less<>> m_values;
};

} // namespace zeb::platform
