#include "terminal/session/LineStamper.h"

#include <cstdio>
#include <ctime>

namespace zeb::terminal {

std::string_view LineStamper::format(std::chrono::system_clock::time_point when, char (&buffer)[kStampLength + 1])
{
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(when);
    const auto millis = static_cast<unsigned>(duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto two = [](int value) { return static_cast<unsigned>(value) % 100u; };
    std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u.%03u ", two(local.tm_hour), two(local.tm_min),
                  two(local.tm_sec), millis % 1000u);
    return {buffer, kStampLength};
}

std::string_view LineStamper::stamp(std::string_view text, std::string_view stamp)
{
    text = text.substr(0, text.find('\0'));
    m_out.clear();
    for (const char c : text) {
        if (m_lineStart && !(m_afterCr && c == '\n')) {
            m_out += stamp;
            m_lineStart = false;
        }
        m_out += c;
        m_afterCr = c == '\r';
        m_lineStart = m_lineStart || m_afterCr;
    }
    return m_out;
}

void LineStamper::reset()
{
    m_lineStart = true;
    m_afterCr = false;
}

} // namespace zeb::terminal
