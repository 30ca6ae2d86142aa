#pragma once

#include "app/framework/CIHCOStreamDocument.h"
#include "terminal/session/TerminalOptions.h"

#include <QSize>

namespace zeb::terminal {

class CIHTEView;

// The terminal document: the display options and the button bar size that a workspace keeps,
// on top of the stream number and window placement of every stream document.
class CIHTEDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHTE";
    static constexpr int kDefaultBarWidth = 800;
    static constexpr int kDefaultBarHeight = 10;

    // Options from the settings, then the defaults.
    CIHTEDocument();

    TerminalOptions& options() { return m_options; }
    const TerminalOptions& options() const { return m_options; }
    QSize buttonBarSize() const { return m_buttonBarSize; }
    void setButtonBarSize(QSize size) { m_buttonBarSize = size; }

    CIHTEView* view() const;

    // After the common lines and STREAM: "$PKVR,RPC,IHTE,OPTION,%s" and "...,BUTTON,BAR,SIZE,%d,%d".
    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;

private:
    TerminalOptions m_options;
    QSize m_buttonBarSize{kDefaultBarWidth, kDefaultBarHeight};
};

// Gives the shell the terminal's document and frame factories for the key "IHTE".
void registerTerminalDocumentType();

} // namespace zeb::terminal
