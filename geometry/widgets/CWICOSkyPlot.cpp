#include "geometry/widgets/CWICOSkyPlot.h"

#include "geometry/widgets/SkyPainter.h"
#include "platform/Messaging.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"

#include <QPainter>

namespace zeb::geometry {

CWICOSkyPlot::CWICOSkyPlot(QWidget* parent)
    : QWidget(parent)
    , m_painter(std::make_unique<SkyPainter>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    platform::startTimer(handle(), SkyPlotModel::kPollTimer, SkyPlotModel::kPollPeriod);
}

CWICOSkyPlot::~CWICOSkyPlot()
{
    platform::stopTimer(handle(), SkyPlotModel::kPollTimer);
    detach();
}

void CWICOSkyPlot::attach(stream::IOSTStream* stream)
{
    detach();
    m_stream = stream;
    if (m_stream)
        m_stream->subscribeWindow(handle());
}

void CWICOSkyPlot::detach()
{
    if (m_stream)
        m_stream->unsubscribeWindow(handle());
    m_stream = nullptr;
}

void CWICOSkyPlot::receive(std::string_view sentence)
{
    if (m_model.receive(sentence))
        redraw();
}

void CWICOSkyPlot::poll()
{
    if (!m_stream)
        return;
    for (const std::string_view query : SkyPlotModel::kQueries)
        m_stream->write(query);
}

platform::LResult CWICOSkyPlot::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    if (message != stream::StreamRegistry::messages().receive)
        return 0;
    const auto* event = reinterpret_cast<const stream::StreamEvent*>(lParam);
    if (event && event->kind == messages::MessageKind::Telecommand)
        receive(event->text());
    return 0;
}

void CWICOSkyPlot::onTimer(platform::TimerId id)
{
    if (id == SkyPlotModel::kPollTimer)
        poll();
}

void CWICOSkyPlot::redraw()
{
    const SkyPicture& picture = m_model.draw(width(), height());
    if (m_bitmap.size() != size())
        m_bitmap = QPixmap(size());
    if (!m_bitmap.isNull()) {
        QPainter painter(&m_bitmap);
        m_painter->paint(painter, picture);
    }
    if (m_titleSink)
        m_titleSink(picture.title());
    update();
}

void CWICOSkyPlot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    redraw();
}

void CWICOSkyPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_bitmap);
}

} // namespace zeb::geometry
