#pragma once

#include <QPointer>
#include <QWidget>

namespace zeb::heading {

class CIHHDDocument;
class CIHHDCalibrationDialog;
class CWICOHeadingWidget;

// The heading view: the compass filling it and, when open, the calibration panel docked at the
// right edge at its own width. A left click in the compass's bottom-right 32 x 32 pixels (where
// the corner icon is) opens or closes the panel; opening it by a click widens the frame by the
// panel's width, closing it narrows the frame again.
class CIHHDView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kCornerSize = 32;

    explicit CIHHDView(CIHHDDocument& document, QWidget* parent = nullptr);
    ~CIHHDView() override;

    CWICOHeadingWidget* compass() const { return m_compass; }
    CIHHDCalibrationDialog* panel() const;

    // Titles the document, attaches the compass to the stream and reopens a panel the workspace had open.
    void initialUpdate();
    void togglePanel();
    void openPanel(bool widenFrame);
    void closePanel();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onCompassPressed(QMouseEvent* event);
    void layOut();
    void resizeFrame(int widthChange);
    QPixmap cornerIcon(bool panelOpen) const;

    CIHHDDocument& m_document;
    CWICOHeadingWidget* m_compass;
    QPointer<CIHHDCalibrationDialog> m_panel;
};

} // namespace zeb::heading
