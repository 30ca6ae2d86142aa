#include "geometry/widgets/CIHGEView.h"

#include "geometry/widgets/CIHGEDocument.h"
#include "geometry/widgets/CWICOSkyPlot.h"

namespace zeb::geometry {

CIHGEView::CIHGEView(CIHGEDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_skyPlot(new CWICOSkyPlot(this))
{
    m_skyPlot->setTitleSink([this](const std::string& title) { m_document.setTitle(title); });
}

CIHGEView::~CIHGEView()
{
    m_skyPlot->setTitleSink({});
    m_skyPlot->detach();
}

void CIHGEView::initialUpdate()
{
    m_skyPlot->setGeometry(rect());
    m_skyPlot->resetTables();
    m_document.setTitle("Geometry");
    m_skyPlot->attach(m_document.stream());
}

void CIHGEView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_skyPlot->setGeometry(rect());
}

} // namespace zeb::geometry
