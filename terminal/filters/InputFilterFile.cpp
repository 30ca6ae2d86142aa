#include "terminal/filters/InputFilterFile.h"

#include "platform/Environment.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace zeb::terminal {

InputFilterList InputFilterFile::parse(std::string_view contents)
{
    InputFilterList filters;
    while (!contents.empty()) {
        // One read: through the next LF, or kReadLimit characters, whichever comes first.
        const std::string_view window = contents.substr(0, kReadLimit);
        const std::size_t lineFeed = window.find('\n');
        const std::size_t length = lineFeed == std::string_view::npos ? window.size() : lineFeed + 1;
        std::string_view line = contents.substr(0, length);
        contents.remove_prefix(length);

        line = line.substr(0, line.find_first_of(std::string_view("\r\n\0", 3)));
        if (line.size() < 3) {
            continue;
        }
        filters.add(line.front() == 'x', line.substr(2));
    }
    return filters;
}

std::string InputFilterFile::format(const InputFilterList& filters)
{
    std::string text;
    for (const InputFilter& filter : filters.entries()) {
        text.append(filter.enabled ? "x " : "  ");
        text.append(filter.pattern);
        text.append("\r\n");
    }
    return text;
}

InputFilterList InputFilterFile::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    const std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return parse(contents);
}

bool InputFilterFile::save(const std::string& path, const InputFilterList& filters)
{
    const std::string text = format(filters);
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string InputFilterFile::defaultPath()
{
    return platform::Environment::home() + "/dictionary/default.ufl";
}

} // namespace zeb::terminal
