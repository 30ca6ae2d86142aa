#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace zeb::explorer {

// The questions the explorer asks its user, behind one seam: the window asks through the
// installed asker, tests install one that answers at once.
class ExplorerAsker
{
public:
    enum class DeleteAnswer { Delete, DeleteAll, Skip, Cancel };

    virtual ~ExplorerAsker() = default;

    // Whether to delete the entry `name` (a folder with everything in it).
    virtual DeleteAnswer askDelete(QWidget* parent, const std::string& name) = 0;
    // A local folder to copy into; none when the user cancels.
    virtual std::optional<std::string> chooseLocalFolder(QWidget* parent) = 0;
    // Local files to copy to the receiver; empty when the user cancels.
    virtual std::vector<std::string> chooseLocalFiles(QWidget* parent) = 0;

    // The installed asker: dialogs on screen unless a test installed another.
    static ExplorerAsker& current();
    // Installs `asker` (null: back to the dialogs) and returns the one it replaces.
    static ExplorerAsker* install(ExplorerAsker* asker);
};

} // namespace zeb::explorer
