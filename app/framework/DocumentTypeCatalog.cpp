#include "app/framework/DocumentTypeCatalog.h"

#include <map>
#include <string>

namespace zeb::framework {
namespace {

std::map<std::string, DocumentTypeCatalog::Factories, std::less<>>& factoryTable()
{
    static std::map<std::string, DocumentTypeCatalog::Factories, std::less<>> table;
    return table;
}

std::vector<DocumentTypeCatalog::ExtraTemplate>& extraTable()
{
    static std::vector<DocumentTypeCatalog::ExtraTemplate> table;
    return table;
}

} // namespace

void DocumentTypeCatalog::setFactories(std::string_view key, Factories factories)
{
    factoryTable()[std::string(key)] = std::move(factories);
}

const DocumentTypeCatalog::Factories* DocumentTypeCatalog::factories(std::string_view key)
{
    auto found = factoryTable().find(key);
    return found == factoryTable().end() ? nullptr : &found->second;
}

void DocumentTypeCatalog::addExtraTemplate(ExtraTemplate make)
{
    extraTable().push_back(std::move(make));
}

void DocumentTypeCatalog::clearExtraTemplates()
{
    extraTable().clear();
}

const std::vector<DocumentTypeCatalog::ExtraTemplate>& DocumentTypeCatalog::extraTemplates()
{
    return extraTable();
}

} // namespace zeb::framework
