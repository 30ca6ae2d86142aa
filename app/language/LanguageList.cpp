#include "app/language/LanguageList.h"

#include "app/language/ResourceLibrary.h"

namespace zeb::language {

namespace {

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameCode(std::string_view left, std::string_view right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (upper(left[i]) != upper(right[i]))
            return false;
    }
    return true;
}

} // namespace

LanguageList LanguageList::probe()
{
    LanguageList list;
    for (const char* code : kProbeOrder) {
        const auto library = ResourceLibrary::load(code);
        if (!library)
            continue;
        if (const char* name = library->string(33311))
            list.push(name, code);
    }
    return list;
}

void LanguageList::push(std::string displayName, std::string code)
{
    m_entries.insert(m_entries.begin(), LanguageEntry{std::move(displayName), std::move(code)});
}

const LanguageEntry* LanguageList::find(std::string_view code) const
{
    for (const LanguageEntry& entry : m_entries) {
        if (sameCode(entry.code, code))
            return &entry;
    }
    return nullptr;
}

} // namespace zeb::language
