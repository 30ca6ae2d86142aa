#pragma once

#include "explorer/core/ExplorerTask.h"
#include "explorer/core/RemoteFolder.h"
#include "explorer/core/RemoteLocation.h"
#include "explorer/core/StagingArea.h"
#include "stream/rpc/DirectoryEntry.h"

#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractItemView;
class QAction;
class QComboBox;
class QLabel;
class QListView;
class QMimeData;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;

namespace zeb::explorer {

class CIHEXCopyDialog;
class CIHEXDocument;
class CIHEXMimeData;

// The list of one folder on the far side of the document's stream, with its commands. Every
// exchange with the far side runs as a background task; what it brings back is handed to the
// window queued on its own thread. A listing carries a generation: once abandoned (by the time
// limit or a new navigation) nothing it still brings reaches the list.
class CIHEXView : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { LargeIcons, SmallIcons, List, Details };
    static constexpr const char* kStartPath = "/ide0a";
    static constexpr std::chrono::milliseconds kListingLimit{10000};

    explicit CIHEXView(CIHEXDocument& document, QWidget* parent = nullptr);
    ~CIHEXView() override;

    CIHEXDocument& document() const { return m_document; }
    const RemoteLocation& location() const { return m_location; }
    const std::vector<stream::rpc::DirectoryEntry>& entries() const { return m_entries; }
    bool listing() const { return m_listing != 0; }
    // Whether work other than a listing runs.
    bool busy() const { return m_tasks.size() > (m_listing != 0 ? 1u : 0u); }
    int sortKey() const { return m_sortKey; }
    // Counts the listings begun; each one's entries carry it.
    std::uint64_t generation() const { return m_generation; }
    Mode mode() const { return m_mode; }
    QComboBox* pathBox() const { return m_pathBox; }
    QAbstractItemView* activeList() const;
    CIHEXCopyDialog* copyDialog() const { return m_copyDialog; }
    // The listing time limit; tests shorten it.
    void setListingLimit(std::chrono::milliseconds limit) { m_limit = limit; }

    QAction* upAction() const { return m_up; }
    QAction* refreshAction() const { return m_refresh; }
    QAction* newFolderAction() const { return m_newFolder; }
    QAction* renameAction() const { return m_rename; }
    QAction* deleteAction() const { return m_delete; }
    QAction* copyToFolderAction() const { return m_copyOut; }
    QAction* copyFromAction() const { return m_copyIn; }
    QAction* copyAction() const { return m_copy; }
    QAction* pasteAction() const { return m_paste; }
    QAction* modeAction(Mode mode) const { return m_modes[static_cast<int>(mode)]; }

    // Shows the far-side folder `path` of the document's stream.
    void navigate(const std::string& path);
    void refresh();
    void upOneLevel();
    // Opens the entry shown in `row` when it is a folder.
    void open(int row);
    void setMode(Mode mode);
    // A click on the column header `column` (0 name, 1 size, 2 type, 3 modified, 4 attributes).
    void sortByColumn(int column);

    // The entries of the rows selected, in list order.
    std::vector<std::string> selectedNames() const;
    void select(const std::vector<std::string>& names);
    // The end of editing a row's name: renames the entry on the far side.
    void renameEntry(int row, const QString& name);
    void makeNewFolder();
    void deleteSelected();
    // Copies local files or folders into the folder shown.
    void copyIn(const std::vector<std::string>& localPaths);
    // Copies the selected entries into a local folder.
    void copyOut(const std::string& localFolder);

    // What a drag of the entries `names` of the folder shown, or the Copy command, hands over;
    // the caller owns it. Files staged for an earlier drag are removed now.
    CIHEXMimeData* makeMimeData(const std::vector<std::string>& names);
    // Fetches the far-side entries into a fresh local staging folder, with progress and Cancel,
    // the window answering meanwhile; their local URLs, none when cancelled or failed.
    QList<QUrl> stage(const std::vector<RemoteLocation>& entries);
    const StagingArea& staging() const { return m_staging; }
    // Whether the folder shown takes `data`: another explorer's entries, or local files.
    static bool takes(const QMimeData& data);
    // Copies into the folder shown what a drop or a paste brings: another explorer's entries,
    // moved when `move` (each source removed once every copy succeeded), or local files.
    void take(const QMimeData& data, bool move);
    // Puts the selected entries on the clipboard, as a drag would carry them.
    void copyToClipboard();
    void paste();

protected:
    // Files dropped from the desktop's file manager (text/uri-list) onto either list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Work = std::function<void(CIHEXView&)>;
    using Poster = std::function<void(Work)>;
    using Body = std::function<Work(RemoteFolder& folder, const std::atomic<bool>& stop, const Poster& post)>;
    // One copy of several items, shown in the copy dialog.
    struct CopyJob
    {
        // The sources as the dialog shows them, one an item.
        std::vector<std::string> items;
        std::string destination;
        std::function<Outcome(RemoteFolder&, std::size_t item, const stream::rpc::FileCopy::Control&)> copy;
        // Runs on the task once every item was copied (a move's removals); returns the failures.
        std::function<std::vector<std::string>()> afterAll;
        // Runs on the window at the end, told whether every item was copied.
        std::function<void(CIHEXView&, bool complete)> ended;
        bool refreshAfter = false;
    };

    QAction* addCommand(const QString& text, const QKeySequence& keys, void (CIHEXView::*command)());
    void buildLists();
    // Runs `body` on a task against the folder shown; the work it returns runs on this thread.
    // The task's number, 0 when none could start.
    std::uint64_t runTask(Body body);
    void taskEnded(std::uint64_t id, const Work& work);
    std::unique_ptr<ExplorerTask> takeTask(std::uint64_t id);
    void cancelTask(std::uint64_t id);
    void abandonListing();
    void addEntry(std::uint64_t generation, stream::rpc::DirectoryEntry entry);
    void listingEnded(std::uint64_t generation, const Outcome& outcome);
    void listingTimedOut();
    void sortEntries();
    void fillModel();
    void appendRow(std::size_t index);
    void tell(const std::string& text);
    int rowOf(const QModelIndex& index) const;
    std::uint64_t startCopy(CopyJob job);
    void takeEntries(const std::vector<RemoteLocation>& entries, bool move);
    void showContextMenu(const QPoint& position);

    CIHEXDocument& m_document;
    RemoteLocation m_location;
    std::vector<stream::rpc::DirectoryEntry> m_entries;
    int m_sortKey = 1;
    Mode m_mode = Mode::Details;
    std::chrono::milliseconds m_limit = kListingLimit;

    // Every running task; the listing is one of them.
    std::vector<std::pair<std::uint64_t, std::unique_ptr<ExplorerTask>>> m_tasks;
    std::uint64_t m_lastTaskId = 0;
    std::uint64_t m_listing = 0;
    std::uint64_t m_generation = 0;
    QTimer m_listingTimer;

    QComboBox* m_pathBox = nullptr;
    QStackedWidget* m_stack = nullptr;
    QTreeView* m_details = nullptr;
    QListView* m_icons = nullptr;
    QStandardItemModel* m_model = nullptr;
    QLabel* m_busy = nullptr;
    CIHEXCopyDialog* m_copyDialog = nullptr;
    StagingArea m_staging;
    // Fetches for another program under way; their folders are kept.
    int m_fetches = 0;

    QAction* m_up = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_newFolder = nullptr;
    QAction* m_rename = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_copyOut = nullptr;
    QAction* m_copyIn = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_modes[4] = {};
};

} // namespace zeb::explorer
