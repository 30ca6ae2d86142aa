#include "geometry/widgets/CIHGEView.h"

#include "geometry/widgets/CIHGEDocument.h"
#include "geometry/widgets/CWICOSkyPlot.h"

#include <QPointer>

namespace zeb::geometry {

CIHGEView::CIHGEView(CIHGEDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_skyPlot(new CWICOSkyPlot(this))
{
    // A closed window's document is deleted before the frame that holds this view, while answers
    // may still reach the plot: the title then has nowhere to go.
    m_skyPlot->setTitleSink([document = QPointer<CIHGEDocument>(&document)](const std::string& title) {
        if (document)
            document->setTitle(title);
    });
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
