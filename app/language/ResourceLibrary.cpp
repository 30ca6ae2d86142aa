#include "app/language/ResourceLibrary.h"

#include "platform/Environment.h"
#include "text/Format.h"

#include <cstdio>
#include <dlfcn.h>

namespace zeb::language {

namespace {

constexpr std::size_t kMaximumCodeLength = 8;

std::string normalisedCode(std::string_view code)
{
    if (code.empty() || code.size() > kMaximumCodeLength)
        return {};
    std::string result;
    for (char c : code) {
        // ASCII only, whatever the process locale says.
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        const bool letter = c >= 'A' && c <= 'Z';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit)
            return {};
        result.push_back(c);
    }
    return result;
}

} // namespace

ResourceLibrary::ResourceLibrary(void* handle, std::string code, std::string path, TextFunction text, IconFunction icon)
    : m_handle(handle)
    , m_code(std::move(code))
    , m_path(std::move(path))
    , m_text(text)
    , m_icon(icon)
{
}

ResourceLibrary::~ResourceLibrary()
{
    ::dlclose(m_handle);
}

std::string ResourceLibrary::fileName(std::string_view code)
{
    const std::string normalised = normalisedCode(code);
    if (normalised.empty())
        return {};
    return text::format(kFileFormat, normalised.c_str());
}

std::unique_ptr<ResourceLibrary> ResourceLibrary::load(std::string_view code)
{
    const std::string name = fileName(code);
    if (name.empty())
        return nullptr;
    const std::string path = platform::Environment::findLibrary(name);
    if (path.empty())
        return nullptr;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto text = reinterpret_cast<TextFunction>(::dlsym(handle, "ZebResourceText"));
    auto icon = reinterpret_cast<IconFunction>(::dlsym(handle, "ZebResourceIcon"));
    if (!text || !icon) {
        ::dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<ResourceLibrary>(new ResourceLibrary(handle, normalisedCode(code), path, text, icon));
}

const char* ResourceLibrary::text(const char* name) const
{
    return name ? m_text(name) : nullptr;
}

const char* ResourceLibrary::string(unsigned id) const
{
    // Formatted on the stack: menus and status prompts look strings up often.
    char name[16];
    std::snprintf(name, sizeof name, "%u", id);
    return m_text(name);
}

const char* const* ResourceLibrary::icon(const char* name) const
{
    return name ? m_icon(name) : nullptr;
}

} // namespace zeb::language
