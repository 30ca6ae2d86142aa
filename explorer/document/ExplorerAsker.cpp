#include "explorer/document/ExplorerAsker.h"

#include "app/framework/DialogRunner.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zeb::explorer {

namespace {

// The questions as dialogs, each run through the framework's dialog runner.
class DialogAsker final : public ExplorerAsker
{
public:
    DeleteAnswer askDelete(QWidget* parent, const std::string& name) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("ZEB500"),
                        QStringLiteral("Delete %1 and everything in it?").arg(QString::fromUtf8(name)),
                        QMessageBox::NoButton, parent);
        QPushButton* one = box.addButton(QStringLiteral("Delete"), QMessageBox::AcceptRole);
        QPushButton* all = box.addButton(QStringLiteral("Delete all"), QMessageBox::AcceptRole);
        QPushButton* skip = box.addButton(QStringLiteral("Skip"), QMessageBox::RejectRole);
        box.addButton(QMessageBox::Cancel);
        framework::DialogRunner::run(box);
        if (box.clickedButton() == one)
            return DeleteAnswer::Delete;
        if (box.clickedButton() == all)
            return DeleteAnswer::DeleteAll;
        return box.clickedButton() == skip ? DeleteAnswer::Skip : DeleteAnswer::Cancel;
    }

    std::optional<std::string> chooseLocalFolder(QWidget* parent) override
    {
        QFileDialog dialog(parent, QStringLiteral("Copy to folder"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (framework::DialogRunner::run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }

    std::vector<std::string> chooseLocalFiles(QWidget* parent) override
    {
        QFileDialog dialog(parent, QStringLiteral("Copy to the receiver"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        std::vector<std::string> files;
        if (framework::DialogRunner::run(dialog) != QDialog::Accepted)
            return files;
        for (const QString& file : dialog.selectedFiles())
            files.push_back(file.toStdString());
        return files;
    }
};

ExplorerAsker* g_installed = nullptr;

} // namespace

ExplorerAsker& ExplorerAsker::current()
{
    static DialogAsker dialogs;
    return g_installed ? *g_installed : dialogs;
}

ExplorerAsker* ExplorerAsker::install(ExplorerAsker* asker)
{
    ExplorerAsker* before = g_installed;
    g_installed = asker;
    return before;
}

} // namespace zeb::explorer
