#include "app/framework/UserMessages.h"

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
    QMessageBox::warning(parent, QStringLiteral("ZEB500"), text);
}

} // namespace zeb::framework
