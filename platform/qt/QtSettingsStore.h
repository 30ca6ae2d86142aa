#pragma once

#include "platform/Settings.h"

#include <QSettings>

#include <memory>
#include <mutex>

namespace zeb::platform {

// Settings in Qt's INI file for "Orvane"/"ZEB500" under the user's configuration folder
// (~/.config/Orvane/ZEB500.ini), or under `folder` when one is given (tests).
class QtSettingsStore final : public Settings
{
public:
    explicit QtSettingsStore(const QString& folder = {});
    ~QtSettingsStore() override;

    // The file the workbench keeps its settings in.
    static QString defaultFileName();
    // The values of the INI file `fileName` copied into memory, for the command-line tool:
    // changes stay in memory, so the user's file is never rewritten. A missing file gives
    // an empty store.
    static std::shared_ptr<Settings> readOnlyCopy(const QString& fileName);

    int readInt(std::string_view section, std::string_view key, int fallback) const override;
    std::string readText(std::string_view section, std::string_view key, std::string_view fallback) const override;
    void writeInt(std::string_view section, std::string_view key, int value) override;
    void writeText(std::string_view section, std::string_view key, std::string_view value) override;
    void flush() override;

    QString fileName() const;

private:
    mutable std::mutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace zeb::platform
