#pragma once

#include "app/framework/CIHCOStreamDocument.h"
#include "heading/core/HeadingWorkspace.h"

namespace zeb::heading {

class CIHHDView;

// The heading document: its stream (the application connection by default), the calibration
// thresholds (from the settings, then the workspace), whether the calibration panel is open and
// the calibration mode. At most one is open at a time.
class CIHHDDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHHD";
    static constexpr int kInitialSize = 300;

    CIHHDDocument();

    HeadingWorkspace& state() { return m_state; }
    CIHHDView* view() const;

    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;

private:
    HeadingWorkspace m_state;
};

// Gives the shell the heading document and frame factories for the key "IHHD".
void registerHeadingDocumentType();

} // namespace zeb::heading
