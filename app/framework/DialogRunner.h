#pragma once

class QDialog;

namespace zeb::framework {

// Runs the workbench's modal dialogs. Every modal dialog the workbench shows is run through
// DialogRunner::run, so that a test can install a runner that answers at once instead of
// showing the dialog and waiting for a user.
class DialogRunner
{
public:
    virtual ~DialogRunner() = default;

    // Runs `dialog` to its end and returns its result code (QDialog::Accepted, Rejected or a
    // code of the dialog's own).
    virtual int exec(QDialog& dialog) = 0;

    // Runs `dialog` through the installed runner, or modally on screen when none is installed.
    static int run(QDialog& dialog);
    // Installs `runner` (nullptr: back to the screen) and returns the one it replaces.
    static DialogRunner* install(DialogRunner* runner);
};

} // namespace zeb::framework
