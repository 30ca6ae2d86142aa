#pragma once

#include "app/framework/CIHCOChildFrame.h"

namespace zeb::explorer {

class CIHEXDocument;
class CIHEXView;

// The explorer's window: the list, and a bar at the top with the path box, up one level and
// the four view modes.
class CIHEXChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kDialogBar = 59393;

    explicit CIHEXChildFrame(CIHEXDocument& document, QWidget* parent = nullptr);

    CIHEXView* explorerView() const { return m_view; }

private:
    CIHEXView* m_view;
};

} // namespace zeb::explorer
