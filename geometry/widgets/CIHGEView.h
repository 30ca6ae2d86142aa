#pragma once

#include <QWidget>

namespace zeb::geometry {

class CIHGEDocument;
class CWICOSkyPlot;

// The geometry view: one sky plot filling the client area, attached to the document's stream at
// the initial update and detached when the view goes.
class CIHGEView : public QWidget
{
    Q_OBJECT

public:
    explicit CIHGEView(CIHGEDocument& document, QWidget* parent = nullptr);
    ~CIHGEView() override;

    CWICOSkyPlot* skyPlot() const { return m_skyPlot; }
    // Forgets every satellite, titles the document "Geometry" and subscribes the plot to the stream.
    void initialUpdate();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CIHGEDocument& m_document;
    CWICOSkyPlot* m_skyPlot;
};

} // namespace zeb::geometry
