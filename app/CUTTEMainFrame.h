#pragma once

#include <QMainWindow>

class QMdiArea;

namespace zeb::app {

// The workbench's main window: a multiple-document area titled "ZEB500" that the document
// windows live in.
class CUTTEMainFrame : public QMainWindow
{
public:
    static constexpr const char* kTitle = "ZEB500";

    explicit CUTTEMainFrame(QWidget* parent = nullptr);

    QMdiArea* documentArea() const { return m_documentArea; }

private:
    QMdiArea* m_documentArea;
};

} // namespace zeb::app
