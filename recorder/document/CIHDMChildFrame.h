#pragma once

#include "app/framework/CIHCOChildFrame.h"

namespace zeb::recorder {

class CIHDMDocument;
class CIHDMView;

// The recorder's window: the view and a tool bar with its Start, Stop, Suspend and Properties commands.
class CIHDMChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kRecorderBar = 59392;

    explicit CIHDMChildFrame(CIHDMDocument& document, QWidget* parent = nullptr);

    CIHDMView* recorderView() const { return m_view; }

private:
    CIHDMView* m_view;
};

} // namespace zeb::recorder
