#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zeb::language {

// One loaded language resource library "UTTEV001R001<code>.so" (see LanguageResources.h),
// found in the asset folders. The library stays loaded while this object lives, and the
// texts and icons it hands out point into it.
class ResourceLibrary
{
public:
    using TextFunction = const char* (*)(const char*);
    using IconFunction = const char* const* (*)(const char*);

    static constexpr const char* kFileFormat = "UTTEV001R001%s.so";

    ~ResourceLibrary();
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    // The library of a language code, or null when it cannot be found or loaded or lacks the
    // two lookup functions. Codes are letters and digits (at most 8), compared as upper case,
    // so no code can name a file outside the asset folders.
    static std::unique_ptr<ResourceLibrary> load(std::string_view code);
    // The file name of a code's library, or an empty string when the code is not valid.
    static std::string fileName(std::string_view code);

    // The code in upper case, as in the file name.
    const std::string& code() const { return m_code; }
    // The path the library was loaded from.
    const std::string& path() const { return m_path; }

    // A text by name (UTF-8), or null.
    const char* text(const char* name) const;
    const char* text(const std::string& name) const { return text(name.c_str()); }
    // A string resource by number ("33311" is the language's own name), or null.
    const char* string(unsigned id) const;
    // The lines of an XPM icon, or null.
    const char* const* icon(const char* name) const;

private:
    ResourceLibrary(void* handle, std::string code, std::string path, TextFunction text, IconFunction icon);

    void* m_handle;
    std::string m_code;
    std::string m_path;
    TextFunction m_text;
    IconFunction m_icon;
};

} // namespace zeb::language
