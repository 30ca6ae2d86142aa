#include "app/framework/FileChooser.h"

#include "app/framework/DialogRunner.h"
#include "platform/Environment.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace zeb::framework {
namespace {

// The dialog reads a name filter "label (patterns)" with patterns separated by spaces; stored
// patterns separate them by semicolons, and a label may already end with its patterns.
QString nameFilter(const FileChooser::Filter& filter)
{
    QString patterns = filter.pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    patterns = patterns.simplified();
    QString label = filter.label.trimmed();
    for (const QString& shown : {filter.pattern.trimmed(), patterns}) {
        const QString suffix = QStringLiteral("(%1)").arg(shown);
        if (label.endsWith(suffix)) {
            label.chop(suffix.size());
            label = label.trimmed();
            break;
        }
    }
    return QStringLiteral("%1 (%2)").arg(label, patterns);
}

QString toQtPath(const std::string& path)
{
    QString text = QString::fromStdString(path);
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return text;
}

} // namespace

FileChooser::InitialPath FileChooser::split(std::string_view path)
{
    InitialPath result;
    std::string text(path);
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
            result.hadForwardSlash = true;
        }
    }
    const std::size_t separator = text.rfind('\\');
    if (separator == std::string::npos) {
        // No folder part: the whole text is offered as the name and tried as the folder.
        result.folder = text;
        result.name = text;
        return result;
    }
    result.folder = text.substr(0, separator + 1);
    result.name = text.substr(separator + 1);
    return result;
}

FileChooser::Mode FileChooser::modeFromText(std::string_view modeText)
{
    return modeText.find('w') != std::string_view::npos ? Mode::Write : Mode::Read;
}

bool FileChooser::choose(QWidget* parent, const QString& title, std::string& path, Mode mode,
                         const std::vector<Filter>& filters)
{
    const InitialPath initial = split(path);
    // With nothing to start from the dialog opens in the workbench's data folder.
    const QString folder
        = initial.folder.empty() ? QString::fromStdString(platform::Environment::home()) : toQtPath(initial.folder);

    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (mode == Mode::Read) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    }
    QStringList nameFilters;
    for (const Filter& filter : filters) {
        nameFilters.append(nameFilter(filter));
    }
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    dialog.setDirectory(folder);
    if (!initial.name.empty()) {
        dialog.selectFile(toQtPath(initial.name));
    }
    if (DialogRunner::run(dialog) != QDialog::Accepted) {
        return false;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return false;
    }
    std::string result = chosen.front().toStdString();
    // The caller's buffer holds 260 characters: a longer path is refused rather than cut into
    // a different file's name.
    if (result.empty() || result.size() > kMaxPath) {
        return false;
    }
    // The dialog itself refuses a missing file to read; this holds for any runner.
    if (mode == Mode::Read && !QFileInfo::exists(chosen.front())) {
        return false;
    }
    path = std::move(result);
    return true;
}

} // namespace zeb::framework
