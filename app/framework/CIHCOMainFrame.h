#pragma once

#include <QMainWindow>

namespace zeb::framework {

// The plain frame window that document types may build their own inner frames on. It adds
// nothing to the main window; documents still open in child frames.
class CIHCOMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CIHCOMainFrame(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~CIHCOMainFrame() override;
};

} // namespace zeb::framework
