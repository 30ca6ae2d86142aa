#pragma once

#include "app/framework/CIHCOChildFrame.h"

namespace zeb::trace {

class CIHDBDocument;
class CIHDBView;

// The trace viewer's window: the list and a tool bar with Suspend, Properties and Clear.
class CIHDBChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kTraceBar = 30400;

    explicit CIHDBChildFrame(CIHDBDocument& document, QWidget* parent = nullptr);

    CIHDBView* traceView() const { return m_view; }

private:
    CIHDBView* m_view;
};

} // namespace zeb::trace
