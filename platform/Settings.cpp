#include "platform/Settings.h"

#include "platform/MemorySettings.h"

#include <atomic>
#include <mutex>

namespace zeb::platform {

namespace {

std::mutex g_mutex;
std::shared_ptr<Settings> g_settings;

} // namespace

Settings& Settings::current()
{
    const std::lock_guard lock(g_mutex);
    if (!g_settings)
        g_settings = std::make_shared<MemorySettings>();
    return *g_settings;
}

void Settings::install(std::shared_ptr<Settings> settings)
{
    const std::lock_guard lock(g_mutex);
    // The previous store is kept alive until the process ends: callers may still hold a
    // reference obtained from current().
    static std::shared_ptr<Settings> previous;
    previous = std::move(g_settings);
    g_settings = std::move(settings);
}

} // namespace zeb::platform
