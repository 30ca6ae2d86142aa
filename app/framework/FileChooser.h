#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QWidget;

namespace zeb::framework {

// The open/save dialog started in the folder of a given path. Stored paths may use either
// separator.
class FileChooser
{
public:
    // The longest path a chooser hands back.
    static constexpr std::size_t kMaxPath = 260;

    enum class Mode { Read, Write };
    struct Filter
    {
        QString label; // "ZEB500 file (*.ute)"
        QString pattern; // "*.ute"
    };
    struct InitialPath
    {
        std::string folder; // up to and including the last separator
        std::string name; // the proposed file name
        bool hadForwardSlash = false;
    };

    // Splits the initial path as the dialog uses it, in backslash form: a path without separator
    // is both the name and the folder; an empty path proposes no name and no folder (the dialog
    // then starts in the workbench's data folder).
    static InitialPath split(std::string_view path);
    // Write mode when the mode text contains 'w'.
    static Mode modeFromText(std::string_view modeText);

    // Runs the dialog (never the platform's native one). On OK `path` holds the choice, an
    // absolute path with forward slashes, and the answer is true; on cancel, or when the choice
    // is longer than kMaxPath, or names no existing file in read mode, `path` is unchanged and
    // the answer is false. The dialog runs through DialogRunner.
    static bool choose(QWidget* parent, const QString& title, std::string& path, Mode mode,
                       const std::vector<Filter>& filters);
};

} // namespace zeb::framework
