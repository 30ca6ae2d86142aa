#include "platform/MemorySettings.h"

#include <charconv>

namespace zeb::platform {

namespace {

std::string keyOf(std::string_view section, std::string_view key)
{
    std::string full(section);
    full += '/';
    full += key;
    return full;
}

} // namespace

const std::string* MemorySettings::find(std::string_view section, std::string_view key) const
{
    const auto it = m_values.find(keyOf(section, key));
    return it == m_values.end() ? nullptr : &it->second;
}

int MemorySettings::readInt(std::string_view section, std::string_view key, int fallback) const
{
    const std::lock_guard lock(m_mutex);
    const std::string* text = find(section, key);
    if (!text)
        return fallback;
    int value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    return error == std::errc() && end == text->data() + text->size() ? value : fallback;
}

std::string MemorySettings::readText(std::string_view section, std::string_view key, std::string_view fallback) const
{
    const std::lock_guard lock(m_mutex);
    const std::string* text = find(section, key);
    return text ? *text : std::string(fallback);
}

void MemorySettings::writeInt(std::string_view section, std::string_view key, int value)
{
    writeText(section, key, std::to_string(value));
}

void MemorySettings::writeText(std::string_view section, std::string_view key, std::string_view value)
{
    const std::lock_guard lock(m_mutex);
    m_values[keyOf(section, key)] = std::string(value);
}

} // namespace zeb::platform
