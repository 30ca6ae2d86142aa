#pragma once

#include "app/framework/CIHCODocument.h"
#include "app/framework/CIHCOTemplate.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace zeb::framework {

// What each document type library brings to the shell: the factories of the documents and
// frames of a key of the type table, and templates of further types (appended after the table).
// Types without factories keep their template and a disabled toolbar button.
class DocumentTypeCatalog
{
public:
    struct Factories
    {
        CIHCOTemplate::DocumentFactory document;
        CIHCOTemplate::FrameFactory frame;
    };
    using ExtraTemplate = std::function<std::unique_ptr<CIHCOTemplate>()>;

    static void setFactories(std::string_view key, Factories factories);
    // The factories of a document type whose frame is made from its document: `Frame(Document&)`.
    template <typename Document, typename Frame>
    static void setFactoriesOf(std::string_view key)
    {
        setFactories(key,
                     {[] { return std::make_unique<Document>(); },
                      [](CIHCODocument& document) -> CIHCOChildFrame* {
                          auto* typed = qobject_cast<Document*>(&document);
                          return typed ? new Frame(*typed) : nullptr;
                      }});
    }
    // None when no library gave that key's factories.
    static const Factories* factories(std::string_view key);

    static void addExtraTemplate(ExtraTemplate make);
    static void clearExtraTemplates();
    static const std::vector<ExtraTemplate>& extraTemplates();
};

} // namespace zeb::framework
