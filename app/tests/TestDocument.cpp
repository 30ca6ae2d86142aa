#include "app/tests/TestDocument.h"

#include "app/CUTTEApp.h"
#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCOTemplate.h"
#include "stream/IOSTStream.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QToolBar>

namespace zeb::app::test {

bool TestDocument::handleLine(std::string_view line)
{
    if (CIHCOStreamDocument::handleLine(line))
        return true;
    const std::string pattern = "$PKVR,RPC," + documentTemplate()->key() + ",NOTE,\"%[^\"]\"\r\n";
    return text::scan(line, pattern.c_str(), &note) == 1;
}

void TestDocument::writeLines(stream::IOSTStream& stream)
{
    CIHCOStreamDocument::writeLines(stream);
    stream.write(text::format("$PKVR,RPC,%s,NOTE,\"%s\"\r\n", documentTemplate()->key().c_str(), note.c_str()));
}

std::unique_ptr<framework::CIHCOTemplate> makeTestTemplate(bool single)
{
    auto frameFactory = [](framework::CIHCODocument& document) {
        auto* frame = new framework::CIHCOChildFrame(document);
        frame->setView(new QLabel(QStringLiteral("view")));
        auto* first = new QToolBar(QStringLiteral("first"));
        first->addAction(QStringLiteral("A"));
        auto* second = new QToolBar(QStringLiteral("second"));
        second->addAction(QStringLiteral("B"));
        auto* dock = new QDockWidget(QStringLiteral("dock"));
        dock->setWidget(new QLabel(QStringLiteral("dock")));
        frame->addBar(first, TestDocument::kFirstToolBar);
        frame->addBar(second, TestDocument::kSecondToolBar);
        frame->addBar(dock, TestDocument::kDock);
        return frame;
    };
    auto documentTemplate = std::make_unique<framework::CIHCOTemplate>(
        single ? "TSNG" : "TEST", single ? QStringLiteral("Single test") : QStringLiteral("Test"),
        [] { return std::make_unique<TestDocument>(); }, frameFactory);
    documentTemplate->setType(single ? 5 : 4);
    documentTemplate->setCommandId(single ? 33411 : 33410);
    documentTemplate->setSingle(single);
    if (!single)
        documentTemplate->setConnectionTest([] { return CUTTEApp::instance()->connectionOpen(); });
    return documentTemplate;
}

} // namespace zeb::app::test
