#pragma once

#include "app/framework/CIHCOStreamDocument.h"

namespace zeb::trace {

class CIHDBView;

// The remote trace viewer's document: attached to a stream (the application connection by default), it keeps nothing
// but the stream number among the workspace lines; the trace itself lives with the view.
class CIHDBDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHDB";

    CIHDBView* view() const;
};

// Gives the shell the trace viewer's document and frame factories for the key "IHDB".
void registerTraceDocumentType();

} // namespace zeb::trace
