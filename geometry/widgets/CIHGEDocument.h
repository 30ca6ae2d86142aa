#pragma once

#include "app/framework/CIHCOStreamDocument.h"

namespace zeb::geometry {

class CIHGEView;

// The geometry document: a sky plot of the satellites the receiver on its stream reports. Its
// workspace block holds the stream line only ("$PKVR,RPC,IHGE,STREAM,%u").
class CIHGEDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHGE";

    CIHGEView* view() const;
};

// Gives the shell the geometry document and frame factories for the key "IHGE".
void registerGeometryDocumentType();

} // namespace zeb::geometry
