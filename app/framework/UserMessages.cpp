#include "app/framework/UserMessages.h"

#include "app/framework/DialogRunner.h"

#include <QApplication>
#include <QMessageBox>

namespace zeb::framework {
namespace {

UserMessages::Sink& sink()
{
    static UserMessages::Sink current;
    return current;
}

} // namespace

void UserMessages::setSink(Sink newSink)
{
    sink() = std::move(newSink);
}

void UserMessages::show(const QString& text, QWidget* parent)
{
    if (sink()) {
        sink()(text);
        return;
    }
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ZEB500"), text, QMessageBox::Ok, parent);
    DialogRunner::run(box);
}

} // namespace zeb::framework
