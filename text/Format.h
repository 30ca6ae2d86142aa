// printf-style formatting into std::string, for the text protocols and files the workbench writes.
#pragma once

#include <cstdarg>
#include <string>

namespace zeb::text {

// Formats like std::printf and returns the result, however long. An invalid format (vsnprintf failing)
// gives an empty string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// As format(), with the arguments already collected. args is left untouched for the caller.
std::string vformat(const char* fmt, std::va_list args) __attribute__((format(printf, 1, 0)));

// Formats like std::printf and appends the result to out. An invalid format leaves out as it was.
void appendFormat(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// As appendFormat(), with the arguments already collected. args is left untouched for the caller.
void vappendFormat(std::string& out, const char* fmt, std::va_list args) __attribute__((format(printf, 2, 0)));

} // namespace zeb::text
