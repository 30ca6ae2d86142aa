#pragma once

#include "app/framework/CIHCOStreamDocument.h"

namespace zeb::remote_display {

class CIHIMView;

// The panel document: a stream by identifier, kept in the workspace by its STREAM line.
class CIHIMDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHIM";

    CIHIMView* view() const;
};

} // namespace zeb::remote_display
