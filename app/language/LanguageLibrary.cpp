// The body of every language library: the two lookup functions over the table generated from
// the language's texts and icons (ZEB_RESOURCE_TABLE names the generated file).
#include "app/language/LanguageResources.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#define ZEB_EXPORT __attribute__((visibility("default")))

namespace {

struct ResourceText
{
    std::string_view name;
    const char* text;
};

struct ResourceIcon
{
    std::string_view name;
    const char* const* lines;
};

#include ZEB_RESOURCE_TABLE

template <typename Entry, std::size_t size>
constexpr bool sortedByName(const Entry (&table)[size])
{
    return std::is_sorted(std::begin(table), std::end(table),
                          [](const Entry& left, const Entry& right) { return left.name < right.name; });
}

// Lookups are binary searches, so the generator's order must be the order of string_view.
static_assert(sortedByName(kTexts), "resource texts must be sorted by name");
static_assert(sortedByName(kIcons), "resource icons must be sorted by name");

template <typename Entry, std::size_t size>
const Entry* findEntry(const Entry (&table)[size], const char* name)
{
    if (!name)
        return nullptr;
    const std::string_view key(name);
    const Entry* found
        = std::lower_bound(std::begin(table), std::end(table), key,
                           [](const Entry& entry, std::string_view wanted) { return entry.name < wanted; });
    return found != std::end(table) && found->name == key ? found : nullptr;
}

} // namespace

extern "C" ZEB_EXPORT const char* ZebResourceText(const char* name)
{
    const ResourceText* entry = findEntry(kTexts, name);
    return entry ? entry->text : nullptr;
}

extern "C" ZEB_EXPORT const char* const* ZebResourceIcon(const char* name)
{
    const ResourceIcon* entry = findEntry(kIcons, name);
    return entry ? entry->lines : nullptr;
}
