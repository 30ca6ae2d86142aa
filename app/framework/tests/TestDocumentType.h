#pragma once

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/CIHCOStreamDocument.h"
#include "app/framework/CIHCOTemplate.h"

#include <QDockWidget>
#include <QLabel>
#include <QToolBar>

#include <memory>

namespace zeb::framework::test {

// A document type as the real ones are made: a stream document, and a child frame with a view,
// two tool bars on top and a dock widget at the bottom.
class TestDocument : public CIHCOStreamDocument
{ };

class TestFrame : public CIHCOChildFrame
{
public:
    static constexpr std::uint32_t kMainBar = 59392;
    static constexpr std::uint32_t kSecondBar = 59393;
    static constexpr std::uint32_t kOutputDock = 59394;

    explicit TestFrame(CIHCODocument& document)
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

inline std::unique_ptr<CIHCOTemplate> makeTestTemplate()
{
    return std::make_unique<CIHCOTemplate>(
        "TEST", QStringLiteral("Test"), [] { return std::make_unique<TestDocument>(); },
        [](CIHCODocument& document) { return new TestFrame(document); });
}

} // namespace zeb::framework::test
