#pragma once

#include "app/framework/CIHCOChildFrame.h"

namespace zeb::geometry {

class CIHGEDocument;
class CIHGEView;

// The geometry window: the view alone, no bars.
class CIHGEChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    explicit CIHGEChildFrame(CIHGEDocument& document, QWidget* parent = nullptr);

    CIHGEView* geometryView() const { return m_view; }

protected:
    void initialUpdate() override;

private:
    CIHGEView* m_view;
};

} // namespace zeb::geometry
