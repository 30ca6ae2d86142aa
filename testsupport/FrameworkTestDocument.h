// A document type as the real ones are made, for the framework's and the shell's tests: a
// stream document with a note of its own (a NOTE workspace line), and a child frame with a
// view, two tool bars on top and a dock widget at the bottom.
#pragma once

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCOStreamDocument.h"
#include "app/framework/CIHCOTemplate.h"
#include "stream/IOSTStream.h"
#include "text/Format.h"
#include "text/Scan.h"

#include <QDockWidget>
#include <QLabel>
#include <QToolBar>

#include <memory>
#include <string>

namespace zeb::testsupport {

class TestDocument : public framework::CIHCOStreamDocument
{
public:
    bool handleLine(std::string_view line) override
    {
        if (CIHCOStreamDocument::handleLine(line))
            return true;
        const std::string pattern = "$PKVR,RPC," + documentTemplate()->key() + ",NOTE,\"%[^\"]\"\r\n";
        return text::scan(line, pattern.c_str(), &note) == 1;
    }

    void writeLines(stream::IOSTStream& stream) override
    {
        CIHCOStreamDocument::writeLines(stream);
        stream.write(text::format("$PKVR,RPC,%s,NOTE,\"%s\"\r\n", documentTemplate()->key().c_str(), note.c_str()));
    }

    std::string note;
};

class TestFrame : public framework::CIHCOChildFrame
{
public:
    static constexpr std::uint32_t kMainBar = 59392;
    static constexpr std::uint32_t kSecondBar = 59393;
    static constexpr std::uint32_t kOutputDock = 59394;

    explicit TestFrame(framework::CIHCODocument& document)
        : CIHCOChildFrame(document)
    {
        setView(new QLabel(QStringLiteral("view")));
        auto* main = new QToolBar(QStringLiteral("Main"));
        main->addAction(QStringLiteral("Open"));
        main->addAction(QStringLiteral("Save"));
        addBar(main, kMainBar);
        auto* second = new QToolBar(QStringLiteral("Second"));
        second->addAction(QStringLiteral("Send"));
        addBar(second, kSecondBar);
        auto* output = new QDockWidget(QStringLiteral("Output"));
        output->setWidget(new QLabel(QStringLiteral("output")));
        addBar(output, kOutputDock);
    }

    QToolBar* mainBar() const { return qobject_cast<QToolBar*>(bar(kMainBar)); }
    QToolBar* secondBar() const { return qobject_cast<QToolBar*>(bar(kSecondBar)); }
    QDockWidget* outputDock() const { return qobject_cast<QDockWidget*>(bar(kOutputDock)); }
};

inline std::unique_ptr<framework::CIHCOTemplate> makeTestTemplate(const std::string& key = "TEST",
                                                                  const QString& name = QStringLiteral("Test"))
{
    return std::make_unique<framework::CIHCOTemplate>(
        key, name, [] { return std::make_unique<TestDocument>(); },
        [](framework::CIHCODocument& document) { return new TestFrame(document); });
}

} // namespace zeb::testsupport
