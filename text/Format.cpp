#include "text/Format.h"

#include "text/CNumericScope.h"

#include <cstdio>

namespace zeb::text {

void vappendFormat(std::string& out, const char* fmt, std::va_list args)
{
    const CNumericScope numbers;
    // Nearly every protocol line fits here, so the common case formats once and copies once.
    char local[256];
    std::va_list first;
    va_copy(first, args);
    const int needed = std::vsnprintf(local, sizeof local, fmt, first);
    va_end(first);
    if (needed < 0)
        return;
    const auto length = static_cast<std::size_t>(needed);
    if (length < sizeof local) {
        out.append(local, length);
        return;
    }

    // Too long for the local buffer: format again straight into the string. vsnprintf also writes the
    // terminating NUL, which lands on the string's own terminator and so is allowed.
    const std::size_t oldSize = out.size();
    out.resize(oldSize + length);
    std::va_list second;
    va_copy(second, args);
    std::vsnprintf(out.data() + oldSize, length + 1, fmt, second);
    va_end(second);
}

std::string vformat(const char* fmt, std::va_list args)
{
    std::string out;
    vappendFormat(out, fmt, args);
    return out;
}

std::string format(const char* fmt, ...)
{
    std::va_list args;
    va_start(args, fmt);
    std::string out = vformat(fmt, args);
    va_end(args);
    return out;
}

void appendFormat(std::string& out, const char* fmt, ...)
{
    std::va_list args;
    va_start(args, fmt);
    vappendFormat(out, fmt, args);
    va_end(args);
}

} // namespace zeb::text
