#pragma once

#include "app/framework/CIHCOStreamDocument.h"

namespace zeb::remote_display {

class CIHAQView;

// The text display document: a stream by identifier, kept in the workspace by its STREAM line.
class CIHAQDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHAQ";

    CIHAQView* view() const;
};

} // namespace zeb::remote_display
