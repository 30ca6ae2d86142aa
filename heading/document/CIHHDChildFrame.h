#pragma once

#include "app/framework/CIHCOChildFrame.h"

namespace zeb::heading {

class CIHHDDocument;
class CIHHDView;

// The heading window: the view alone, no menu or bars, 300 x 300 at first.
class CIHHDChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    explicit CIHHDChildFrame(CIHHDDocument& document, QWidget* parent = nullptr);

    CIHHDView* headingView() const { return m_view; }

private:
    CIHHDView* m_view;
};

} // namespace zeb::heading
