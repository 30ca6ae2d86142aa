#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zeb::platform {

// The user's settings: sections holding integer and text values, stored for the company
// "Orvane" and the application "ZEB500". The application installs a store backed by Qt's
// settings file; tools and tests run on an in-memory store unless they install another.
// Every implementation is safe to use from several threads.
class Settings
{
public:
    static constexpr std::string_view kCompany = "Orvane";
    static constexpr std::string_view kApplication = "ZEB500";
    static constexpr std::string_view kSection = "Settings";

    virtual ~Settings() = default;

    virtual int readInt(std::string_view section, std::string_view key, int fallback) const = 0;
    virtual std::string readText(std::string_view section, std::string_view key, std::string_view fallback) const = 0;
    virtual void writeInt(std::string_view section, std::string_view key, int value) = 0;
    virtual void writeText(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Writes pending changes to permanent storage.
    virtual void flush() { }

    // The store in use; an in-memory one until another is installed.
    static Settings& current();
    static void install(std::shared_ptr<Settings> settings);
};

} // namespace zeb::platform
