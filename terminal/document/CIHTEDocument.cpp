#include "terminal/document/CIHTEDocument.h"

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "stream/IOSTStream.h"
#include "terminal/document/CIHTEChildFrame.h"
#include "terminal/document/CIHTEView.h"
#include "text/Format.h"
#include "text/Scan.h"

namespace zeb::terminal {

CIHTEDocument::CIHTEDocument()
    : m_options(TerminalOptions::fromSettings())
{
}

CIHTEView* CIHTEDocument::view() const
{
    return frame() ? qobject_cast<CIHTEView*>(frame()->view()) : nullptr;
}

bool CIHTEDocument::handleLine(std::string_view line)
{
    if (CIHCOStreamDocument::handleLine(line))
        return true;
    std::string optionText;
    if (text::scan(line, "$PKVR,RPC,IHTE,OPTION,%[^\r\n]\r\n", &optionText) == 1) {
        m_options.parseText(optionText);
        return true;
    }
    int width = 0;
    int height = 0;
    if (text::scan(line, "$PKVR,RPC,IHTE,BUTTON,BAR,SIZE,%d,%d\r\n", &width, &height) == 2) {
        m_buttonBarSize = QSize(width, height);
        return true;
    }
    return false;
}

void CIHTEDocument::writeLines(stream::IOSTStream& stream)
{
    if (CIHTEView* terminal = view())
        m_buttonBarSize = terminal->buttonBarSize();
    CIHCOStreamDocument::writeLines(stream);
    stream.write(text::format("$PKVR,RPC,IHTE,OPTION,%s\r\n", m_options.toText().c_str()));
    stream.write(
        text::format("$PKVR,RPC,IHTE,BUTTON,BAR,SIZE,%d,%d\r\n", m_buttonBarSize.width(), m_buttonBarSize.height()));
}

void registerTerminalDocumentType()
{
    framework::DocumentTypeCatalog::setFactoriesOf<CIHTEDocument, CIHTEChildFrame>(CIHTEDocument::kKey);
}

} // namespace zeb::terminal
