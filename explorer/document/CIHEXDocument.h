#pragma once

#include "app/framework/CIHCOStreamDocument.h"

namespace zeb::explorer {

class CIHEXView;

// The explorer document: the stream whose far side it browses (65 by default). It keeps no
// other state; the workspace line "$PKVR,RPC,IHEX,STREAM,%u" restores it.
class CIHEXDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHEX";
    // The clipboard and drag format of entries dragged out of an explorer.
    static constexpr const char* kClipboardFormat = "CIHEXDocument";

    CIHEXView* view() const;
};

// Gives the shell the explorer's document and frame factories for the key "IHEX".
void registerExplorerDocumentType();

} // namespace zeb::explorer
