#include "testsupport/CommaDecimalLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <unistd.h>

namespace zeb::testsupport {
namespace {

constexpr const char* kName = "fr_FR.UTF-8";

bool onPath(std::string_view program)
{
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t end = folders.find(':');
        const std::filesystem::path candidate = std::filesystem::path(folders.substr(0, end)) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        folders = end == std::string_view::npos ? std::string_view() : folders.substr(end + 1);
    }
    return false;
}

// The folder holding the compiled locale, shared by the test programs of one user. It is
// compiled beside it and renamed into place, so that programs running at once never read a
// half-written one.
std::filesystem::path compiledLocales(std::string& problem)
{
    std::filesystem::path folder
        = std::filesystem::temp_directory_path() / ("zeb500-locales-" + std::to_string(::getuid()));
    std::error_code error;
    if (std::filesystem::exists(folder / kName / "LC_NUMERIC", error))
        return folder;
    std::string scratch = folder.string() + "-XXXXXX";
    if (!::mkdtemp(scratch.data())) {
        problem = "cannot make a folder for the locale beside " + folder.string();
        return {};
    }
    // localedef answers 1 for mere warnings: whether the locale is there is what counts.
    const std::string command = "localedef -i fr_FR -f UTF-8 '" + scratch + "/" + kName + "' >/dev/null 2>&1";
    [[maybe_unused]] const int ignored = std::system(command.c_str());
    if (!std::filesystem::exists(std::filesystem::path(scratch) / kName / "LC_NUMERIC", error)) {
        std::filesystem::remove_all(scratch, error);
        problem = "localedef could not compile fr_FR.UTF-8: the locale sources are missing (install the "
                  "Debian package 'locales', as scripts/install-deps.sh does)";
        return {};
    }
    std::filesystem::rename(scratch, folder, error);
    if (error)
        std::filesystem::remove_all(scratch, error); // another program was first: use its copy
    return folder;
}

} // namespace

CommaDecimalLocale::CommaDecimalLocale()
{
    if (!onPath("localedef")) {
        m_noLocaledef = true;
        m_problem = "localedef is not installed";
        return;
    }
    const std::filesystem::path folder = compiledLocales(m_problem);
    if (folder.empty())
        return;
    ::setenv("LOCPATH", folder.c_str(), 1);
    const std::lconv* numbers = std::setlocale(LC_ALL, kName) ? std::localeconv() : nullptr;
    if (!numbers || std::string_view(numbers->decimal_point) != ",")
        m_problem = "the compiled fr_FR.UTF-8 locale could not be set, or has no decimal comma";
}

CommaDecimalLocale::~CommaDecimalLocale()
{
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
}

} // namespace zeb::testsupport
