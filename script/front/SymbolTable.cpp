#include "script/front/SymbolTable.h"

#include <array>
#include <mutex>
#include <unordered_set>

namespace zeb::script {

namespace {

// Looks texts up by view, without making a string of each name the scanner reads.
struct TextHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct Table
{
    std::mutex mutex;
    // Elements of an unordered_set keep their address when the set rehashes: a Name stays valid.
    std::unordered_set<std::string, TextHash, std::equal_to<>> texts;
    std::size_t bytes = 0;
};

Table& table()
{
    static auto* instance = new Table; // never destroyed: methods of late threads may still use names
    return *instance;
}

} // namespace

// Each thread remembers the names it interned last, by hash, so that the names a script repeats
// are found without taking the table's lock. Names are never freed: a remembered one stays valid.
Name SymbolTable::intern(std::string_view text)
{
    static constexpr std::size_t kRecent = 4096;
    thread_local std::array<Name, kRecent> recent{};
    Name& remembered = recent[TextHash{}(text) % kRecent];
    if (remembered != nullptr && *remembered == text)
        return remembered;
    Table& t = table();
    const std::lock_guard lock(t.mutex);
    if (auto found = t.texts.find(text); found != t.texts.end()) {
        remembered = &*found;
        return remembered;
    }
    if (t.bytes + text.size() + 1 > kMaxBytes)
        return nullptr;
    t.bytes += text.size() + 1;
    remembered = &*t.texts.emplace(text).first;
    return remembered;
}

} // namespace zeb::script
