#pragma once

#include <string>

namespace zeb::testsupport {

// Puts the whole process in the French locale, whose decimal mark is a comma, as Qt does at
// start-up for such a user; back to the C locale when it goes. The locale is compiled with
// localedef once into a folder under the temporary folder and found through LOCPATH, so no
// root rights and no installed locale are needed.
class CommaDecimalLocale
{
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    // The locale is in effect and its decimal mark is ','.
    bool active() const { return m_problem.empty(); }
    // There is no localedef to compile the locale with (the only reason to skip).
    bool noLocaledef() const { return m_noLocaledef; }
    // What went wrong, for the failure message.
    const std::string& problem() const { return m_problem; }

private:
    std::string m_problem;
    bool m_noLocaledef = false;
};

} // namespace zeb::testsupport
