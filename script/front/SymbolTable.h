// Interned names: identifiers, keywords, selectors and string texts of scripts.
#pragma once

#include <string>
#include <string_view>

namespace zeb::script {

// An interned text. Two names are the same name exactly when they are the same pointer, so the
// compiler and the machine compare selectors and variable names without looking at their bytes.
using Name = const std::string*;

// The process-wide table of interned texts. Entries are never freed: compiled methods keep
// pointers to them for as long as the process runs. Safe to call from any thread.
class SymbolTable
{
public:
    // Every script text is hostile: the table refuses to grow past this many bytes of text, so a
    // stream of scripts with ever new names cannot eat the machine's memory.
    static constexpr std::size_t kMaxBytes = 64u << 20;

    // The one copy of text; nullptr when the table is full.
    static Name intern(std::string_view text);
};

} // namespace zeb::script
