#pragma once

#include "app/framework/CIHCOChildFrame.h"

class QAction;

namespace zeb::autotest {

class CIHTLDocument;
class CIHTLView;
class OutputPane;

// The automatic test's window: the view with the script editor, its tool bar (Open, Save, Run,
// Stop, Help, line markers) and the "Output" and "Assembly" panes as dock widgets.
class CIHTLChildFrame : public framework::CIHCOChildFrame
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kToolBar = 59400;
    static constexpr std::uint32_t kOutputBar = 59401;
    static constexpr std::uint32_t kAssemblyBar = 59402;

    explicit CIHTLChildFrame(CIHTLDocument& document, QWidget* parent = nullptr);

    CIHTLView* testView() const { return m_view; }
    OutputPane* outputPane() const { return m_output; }
    OutputPane* assemblyPane() const { return m_assembly; }
    // A tool bar command by its object name ("open", "save", "run", "stop", "help",
    // "toggleMarker", "nextMarker").
    QAction* command(const char* name) const;

protected:
    void initialUpdate() override;

private:
    void buildToolBar();
    void addPane(OutputPane* pane, const QString& title, std::uint32_t id);
    void updateCommands();

    CIHTLView* m_view;
    OutputPane* m_output;
    OutputPane* m_assembly;
};

} // namespace zeb::autotest
