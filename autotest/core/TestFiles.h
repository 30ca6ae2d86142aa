// Where test scripts live and the rules for the names they are saved under.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::autotest {

struct TestFiles
{
    // Scripts larger than this are no scripts (the compiler takes no more either).
    static constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;

    // "<data folder>/test": where the file dialogs start.
    static std::string folder();
    // The name a script is saved under: ".utl" appended when the file name (not the folders
    // above it) has no ".".
    static std::string withExtension(std::string_view path);
    // Why a script cannot be saved under `path`, or nothing. The workspace line keeps the path
    // between quotes without escapes, so a path holding '"', CR or LF could not come back.
    static std::optional<std::string> refusal(std::string_view path);
    // The file a stored path names: an absolute path as it is; a relative one ("test/examples/
    // query-gsv.utl") in the data folder, else among the installed files.
    static std::string resolve(std::string_view path);
    // Where a script with a stored path is written: a relative path goes into the data folder.
    static std::string writable(std::string_view path);

    // Reads a whole script; nothing when it cannot be read or is too large.
    static std::optional<std::string> read(const std::string& path);
    // Writes a whole script, creating its folder; false when that fails (nothing is left half
    // written: the text goes to a temporary file that replaces the old one).
    static bool write(const std::string& path, std::string_view text);
};

} // namespace zeb::autotest
