#include "app/framework/DialogRunner.h"

#include <QDialog>

namespace zeb::framework {
namespace {

DialogRunner*& installed()
{
    static DialogRunner* runner = nullptr;
    return runner;
}

} // namespace

int DialogRunner::run(QDialog& dialog)
{
    if (DialogRunner* runner = installed())
        return runner->exec(dialog);
    return dialog.exec();
}

DialogRunner* DialogRunner::install(DialogRunner* runner)
{
    DialogRunner* before = installed();
    installed() = runner;
    return before;
}

} // namespace zeb::framework
