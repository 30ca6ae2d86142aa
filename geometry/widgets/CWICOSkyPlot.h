#pragma once

#include "geometry/core/SkyPlotModel.h"
#include "platform/MessageTarget.h"

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::geometry {

class SkyPainter;

// The sky plot: subscribed to a stream, it asks the receiver once a second for its GSA, GSV and
// SVDSEL answers and redraws its off-screen bitmap whenever a satellite group is complete or the
// size changes. Painting only copies the bitmap.
class CWICOSkyPlot : public QWidget, public platform::MessageTarget
{
    Q_OBJECT

public:
    using TitleSink = std::function<void(const std::string&)>;

    explicit CWICOSkyPlot(QWidget* parent = nullptr);
    ~CWICOSkyPlot() override;

    // Leaves the previous stream and subscribes to `stream` (none: stays detached).
    void attach(stream::IOSTStream* stream);
    void detach();
    stream::IOSTStream* stream() const { return m_stream; }
    // Every satellite forgotten: nothing visible, nothing used.
    void resetTables() { m_model.reset(); }
    // Told the title of every drawing pass.
    void setTitleSink(TitleSink sink) { m_titleSink = std::move(sink); }

    // One received sentence, as from the stream.
    void receive(std::string_view sentence);
    // Sends the three queries to the stream.
    void poll();
    const SkyPicture& picture() const { return m_model.picture(); }
    const QPixmap& bitmap() const { return m_bitmap; }

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;
    void onTimer(platform::TimerId id) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void redraw();

    SkyPlotModel m_model;
    QPixmap m_bitmap;
    std::unique_ptr<SkyPainter> m_painter;
    stream::IOSTStream* m_stream = nullptr;
    TitleSink m_titleSink;
};

} // namespace zeb::geometry
