#include "app/language/ApplicationSettings.h"

#include "app/language/LanguageList.h"
#include "platform/Settings.h"

namespace zeb::language {

ApplicationSettings ApplicationSettings::read(const platform::Settings& settings, const LanguageList& languages)
{
    ApplicationSettings result;
    result.useMainFrame = settings.readInt(kSection, kUseMainFrame, 0);
    result.loadWorkspaceOnStartup = settings.readInt(kSection, kLoadWorkspaceOnStartup, 1);
    result.saveWorkspaceOnExit = settings.readInt(kSection, kSaveWorkspaceOnExit, 1);
    const LanguageEntry* entry = languages.find(settings.readText(kSection, kLanguage, "???"));
    if (entry)
        result.language = entry->code;
    return result;
}

void ApplicationSettings::write(platform::Settings& settings) const
{
    settings.writeInt(kSection, kUseMainFrame, useMainFrame);
    settings.writeInt(kSection, kLoadWorkspaceOnStartup, loadWorkspaceOnStartup);
    settings.writeInt(kSection, kSaveWorkspaceOnExit, saveWorkspaceOnExit);
    settings.writeText(kSection, kLanguage, language);
    settings.flush();
}

} // namespace zeb::language
