#include "remote-display/widgets/RemoteDisplayTypes.h"

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "remote-display/widgets/CIHAQDocument.h"
#include "remote-display/widgets/CIHAQView.h"
#include "remote-display/widgets/CIHIMDocument.h"
#include "remote-display/widgets/CIHIMView.h"
#include "stream/IOSTStream.h"

namespace zeb::remote_display {

namespace {

template <typename Document, typename View>
framework::DocumentTypeCatalog::Factories factories(const char* title)
{
    return {[] { return std::make_unique<Document>(); },
            [title](framework::CIHCODocument& document) -> framework::CIHCOChildFrame* {
                auto* typed = qobject_cast<Document*>(&document);
                if (!typed)
                    return nullptr;
                auto* frame = new framework::CIHCOChildFrame(*typed);
                frame->setView(new View(*typed));
                const stream::IOSTStream* stream = typed->stream();
                typed->setTitle(stream ? std::string(title) + " " + stream->name() : std::string(title));
                return frame;
            }};
}

} // namespace

void registerRemoteDisplayDocumentTypes()
{
    framework::DocumentTypeCatalog::setFactories(CIHAQDocument::kKey,
                                                 factories<CIHAQDocument, CIHAQView>("Varnel remote view"));
    framework::DocumentTypeCatalog::setFactories(CIHIMDocument::kKey,
                                                 factories<CIHIMDocument, CIHIMView>("Zerath remote view"));
}

} // namespace zeb::remote_display
