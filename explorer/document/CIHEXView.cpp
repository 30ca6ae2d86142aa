#include "explorer/document/CIHEXView.h"

#include "app/framework/UserMessages.h"
#include "explorer/core/DraggedEntries.h"
#include "explorer/core/EntryOrder.h"
#include "explorer/core/EntryTexts.h"
#include "explorer/document/CIHEXCopyDialog.h"
#include "explorer/document/CIHEXDocument.h"
#include "explorer/document/CIHEXMimeData.h"
#include "explorer/document/ExplorerAsker.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RequestCode.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace zeb::explorer {

namespace file_type = stream::rpc::file_type;
using stream::rpc::DirectoryEntry;

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;
constexpr int kColumns = 5;
// Local paths taken from one drop, as the longest path a drop may name.
constexpr std::size_t kMaxDropped = 1024;
constexpr int kMaxDroppedPath = 1024;

// Name editing ends in a rename on the far side; the list never takes the edited text itself.
class RenameDelegate final : public QStyledItemDelegate
{
public:
    explicit RenameDelegate(CIHEXView& view)
        : QStyledItemDelegate(&view)
        , m_view(view)
    {
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            m_view.renameEntry(index.row(), line->text());
    }

private:
    CIHEXView& m_view;
};

// Rows dragged out of an explorer carry what the view makes for their entries. Only copies are
// offered: a program that moved would have the source list remove rows it never deleted.
class EntryModel final : public QStandardItemModel
{
public:
    EntryModel(CIHEXView& view)
        : QStandardItemModel(0, kColumns, &view)
        , m_view(view)
    {
    }

    QStringList mimeTypes() const override
    {
        return {QString::fromLatin1(CIHEXDocument::kClipboardFormat), QStringLiteral("text/plain"),
                QStringLiteral("text/uri-list")};
    }
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        std::set<int> rows;
        for (const QModelIndex& index : indexes)
            rows.insert(index.row());
        std::vector<std::string> names;
        names.reserve(rows.size());
        for (const int row : rows)
            names.push_back(item(row, 0)->data(kNameRole).toByteArray().toStdString());
        return m_view.makeMimeData(names);
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    CIHEXView& m_view;
};

QIcon iconOf(const DirectoryEntry& entry, const QStyle& style)
{
    return style.standardIcon(entry.type == file_type::Directory ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
}

} // namespace

CIHEXView::CIHEXView(CIHEXDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_staging(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation).toStdString()
                + "/zeb500/explorer")
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pathBox = new QComboBox;
    m_pathBox->setEditable(true);
    m_pathBox->setInsertPolicy(QComboBox::NoInsert);
    connect(m_pathBox, &QComboBox::textActivated, this, [this](const QString& text) { navigate(text.toStdString()); });
    m_busy = new QLabel;
    m_busy->hide();
    buildLists();
    layout->addWidget(m_busy);
    layout->addWidget(m_stack);

    m_up = addCommand(QStringLiteral("Up one level"), QKeySequence(Qt::ALT | Qt::Key_Up), &CIHEXView::upOneLevel);
    m_up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_refresh = addCommand(QStringLiteral("Refresh"), QKeySequence::Refresh, &CIHEXView::refresh);
    m_newFolder = addCommand(QStringLiteral("New folder"), QKeySequence(), &CIHEXView::makeNewFolder);
    m_rename = addCommand(QStringLiteral("Rename"), QKeySequence(Qt::Key_F2), nullptr);
    connect(m_rename, &QAction::triggered, this, [this] {
        const QModelIndex current = activeList()->currentIndex();
        if (current.isValid())
            activeList()->edit(m_model->index(current.row(), 0));
    });
    m_delete = addCommand(QStringLiteral("Delete"), QKeySequence::Delete, &CIHEXView::deleteSelected);
    m_copyOut = addCommand(QStringLiteral("Copy to folder..."), QKeySequence(), nullptr);
    connect(m_copyOut, &QAction::triggered, this, [this] {
        if (const auto folder = ExplorerAsker::current().chooseLocalFolder(this))
            copyOut(*folder);
    });
    m_copyIn = addCommand(QStringLiteral("Copy from this computer..."), QKeySequence(), nullptr);
    connect(m_copyIn, &QAction::triggered, this, [this] { copyIn(ExplorerAsker::current().chooseLocalFiles(this)); });
    m_copy = addCommand(QStringLiteral("Copy"), QKeySequence::Copy, &CIHEXView::copyToClipboard);
    m_paste = addCommand(QStringLiteral("Paste"), QKeySequence::Paste, &CIHEXView::paste);
    const QString modeNames[] = {QStringLiteral("Large icons"), QStringLiteral("Small icons"), QStringLiteral("List"),
                                 QStringLiteral("Details")};
    for (int i = 0; i < 4; ++i) {
        m_modes[i] = addCommand(modeNames[i], QKeySequence(), nullptr);
        m_modes[i]->setCheckable(true);
        connect(m_modes[i], &QAction::triggered, this, [this, i] { setMode(static_cast<Mode>(i)); });
    }
    const QStyle::StandardPixmap modeIcons[] = {QStyle::SP_FileDialogContentsView, QStyle::SP_FileDialogInfoView,
                                                QStyle::SP_FileDialogListView, QStyle::SP_FileDialogDetailedView};
    for (int i = 0; i < 4; ++i)
        m_modes[i]->setIcon(style()->standardIcon(modeIcons[i]));
    m_refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_newFolder->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    m_modes[static_cast<int>(Mode::Details)]->setChecked(true);

    m_listingTimer.setSingleShot(true);
    connect(&m_listingTimer, &QTimer::timeout, this, &CIHEXView::listingTimedOut);

    const stream::IOSTStream* via = m_document.stream();
    m_location = RemoteLocation(via ? via->address() : std::string(), kStartPath);
    QMetaObject::invokeMethod(
        this, [this] { navigate(kStartPath); }, Qt::QueuedConnection);
}

CIHEXView::~CIHEXView()
{
    // Running tasks end on their own; nothing they still bring reaches this window.
    for (auto& [id, task] : m_tasks)
        ExplorerTask::release(std::move(task));
}

QAction* CIHEXView::addCommand(const QString& text, const QKeySequence& keys, void (CIHEXView::*command)())
{
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (command)
        connect(action, &QAction::triggered, this, command);
    addAction(action);
    return action;
}

void CIHEXView::buildLists()
{
    m_model = new EntryModel(*this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Type"),
                                        QStringLiteral("Modified"), QStringLiteral("Attributes")});
    m_details = new QTreeView;
    m_details->setRootIsDecorated(false);
    m_details->setModel(m_model);
    m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_details->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_details->header()->setSectionsClickable(true);
    const int widths[] = {140, 80, 80, 120, 80};
    for (int column = 0; column < kColumns; ++column)
        m_details->setColumnWidth(column, widths[column]);
    connect(m_details->header(), &QHeaderView::sectionClicked, this, &CIHEXView::sortByColumn);
    m_icons = new QListView;
    m_icons->setModel(m_model);
    m_icons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_icons->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_stack = new QStackedWidget;
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);
    for (QAbstractItemView* list :
         {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_icons)}) {
        list->setItemDelegate(new RenameDelegate(*this));
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this, &CIHEXView::showContextMenu);
        connect(list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { open(index.row()); });
        list->setDragEnabled(true);
        list->setDragDropMode(QAbstractItemView::DragOnly);
        list->viewport()->setAcceptDrops(true);
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }
    m_stack->setCurrentWidget(m_details);
}

QAbstractItemView* CIHEXView::activeList() const
{
    return m_mode == Mode::Details ? static_cast<QAbstractItemView*>(m_details) : m_icons;
}

// ---- background tasks ---------------------------------------------------------------------------

std::uint64_t CIHEXView::runTask(Body body)
{
    const stream::IOSTStream* via = m_document.stream();
    if (!via) {
        tell(std::string(RemoteFolder::kNotConnected));
        return 0;
    }
    const QPointer<CIHEXView> self(this);
    const Poster post = [self](Work work) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, work = std::move(work)] {
                if (self)
                    work(*self);
            },
            Qt::QueuedConnection);
    };
    // Tasks are named by a number never used again: a freed task's address may come back for the next one.
    const std::uint64_t id = ++m_lastTaskId;
    auto task = ExplorerTask::start(*via,
                                    [post, body = std::move(body), id,
                                     location = m_location](stream::IOSTStream* stream, const std::atomic<bool>& stop) {
                                        Work work = [](CIHEXView& view) {
                                            view.tell(std::string(RemoteFolder::kNotConnected));
                                        };
                                        if (stream) {
                                            RemoteFolder folder(*stream, location);
                                            work = body(folder, stop, post);
                                        }
                                        post([id, work](CIHEXView& view) { view.taskEnded(id, work); });
                                    });
    if (!task) {
        tell("No thread could be started for the receiver's files: close some windows and retry.");
        return 0;
    }
    m_tasks.emplace_back(id, std::move(task));
    return id;
}

std::unique_ptr<ExplorerTask> CIHEXView::takeTask(std::uint64_t id)
{
    const auto found = std::find_if(m_tasks.begin(), m_tasks.end(), [id](const auto& t) { return t.first == id; });
    if (found == m_tasks.end())
        return nullptr;
    std::unique_ptr<ExplorerTask> taken = std::move(found->second);
    m_tasks.erase(found);
    if (m_listing == id)
        m_listing = 0;
    return taken;
}

void CIHEXView::taskEnded(std::uint64_t id, const Work& work)
{
    // An abandoned listing was taken already: what it brings is for a folder no longer shown.
    std::unique_ptr<ExplorerTask> ended = takeTask(id);
    if (!ended)
        return;
    ExplorerTask::release(std::move(ended));
    if (m_copyDialog && !busy()) {
        m_copyDialog->deleteLater();
        m_copyDialog = nullptr;
    }
    if (work)
        work(*this);
}

void CIHEXView::cancelTask(std::uint64_t id)
{
    for (const auto& [running, task] : m_tasks) {
        if (running == id)
            task->cancel();
    }
}

void CIHEXView::tell(const std::string& text)
{
    framework::UserMessages::show(QString::fromUtf8(text), this);
}

// ---- listing ------------------------------------------------------------------------------------

void CIHEXView::navigate(const std::string& path)
{
    const stream::IOSTStream* via = m_document.stream();
    m_location = RemoteLocation(via ? via->address() : std::string(), path);
    m_document.setTitle("Explore - " + m_location.path());
    const QString shown = QString::fromUtf8(m_location.path());
    if (m_pathBox->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        m_pathBox->addItem(shown);
    m_pathBox->setEditText(shown);
    refresh();
}

void CIHEXView::abandonListing()
{
    m_listingTimer.stop();
    ++m_generation;
    if (const std::uint64_t listing = m_listing) {
        m_listing = 0;
        ExplorerTask::release(takeTask(listing));
    }
    m_busy->hide();
}

void CIHEXView::refresh()
{
    abandonListing();
    m_entries.clear();
    m_model->removeRows(0, m_model->rowCount());
    const std::uint64_t generation = m_generation;
    m_listing = runTask([generation](RemoteFolder& folder, const std::atomic<bool>& stop, const Poster& post) -> Work {
        const Outcome outcome = folder.list(
            [&](DirectoryEntry&& entry) {
                post([generation, entry = std::move(entry)](CIHEXView& view) { view.addEntry(generation, entry); });
            },
            stop, stream::rpc::kMaxListing);
        return [generation, outcome](CIHEXView& view) { view.listingEnded(generation, outcome); };
    });
    if (!m_listing)
        return;
    m_busy->setText(QStringLiteral("Listing %1 ...").arg(QString::fromUtf8(m_location.path())));
    m_busy->show();
    m_listingTimer.start(m_limit);
}

void CIHEXView::addEntry(std::uint64_t generation, DirectoryEntry entry)
{
    // Entries of an abandoned listing belong to a folder no longer shown.
    if (generation != m_generation || m_entries.size() >= stream::rpc::kMaxListing)
        return;
    m_entries.push_back(std::move(entry));
    appendRow(m_entries.size() - 1);
}

void CIHEXView::listingEnded(std::uint64_t generation, const Outcome& outcome)
{
    if (generation != m_generation)
        return;
    m_listingTimer.stop();
    m_busy->hide();
    m_sortKey = EntryOrder::kName;
    sortEntries();
    if (!outcome.ok)
        tell(outcome.message);
}

void CIHEXView::listingTimedOut()
{
    abandonListing();
    tell(std::string(RemoteFolder::kNotResponding));
}

// ---- rows ---------------------------------------------------------------------------------------

void CIHEXView::appendRow(std::size_t index)
{
    const DirectoryEntry& entry = m_entries[index];
    QList<QStandardItem*> row;
    auto* name = new QStandardItem(iconOf(entry, *style()), QString::fromUtf8(entry.name));
    name->setData(static_cast<qulonglong>(index), kIndexRole);
    name->setData(QByteArray::fromStdString(entry.name), kNameRole);
    name->setEditable(true);
    name->setDragEnabled(true);
    row.append(name);
    for (const std::string& text : {EntryTexts::size(entry), EntryTexts::type(entry), EntryTexts::modified(entry),
                                    EntryTexts::attributes(entry)}) {
        auto* cell = new QStandardItem(QString::fromStdString(text));
        cell->setEditable(false);
        row.append(cell);
    }
    row[1]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_model->appendRow(row);
}

void CIHEXView::fillModel()
{
    const std::vector<std::string> selected = selectedNames();
    m_model->removeRows(0, m_model->rowCount());
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        appendRow(i);
    select(selected);
}

void CIHEXView::sortEntries()
{
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [key = m_sortKey](const auto& a, const auto& b) { return EntryOrder::before(a, b, key); });
    fillModel();
}

void CIHEXView::sortByColumn(int column)
{
    static constexpr int kCodes[kColumns] = {EntryOrder::kName, EntryOrder::kSize, 0, EntryOrder::kTime, 0};
    if (column < 0 || column >= kColumns || kCodes[column] == 0)
        return;
    m_sortKey = EntryOrder::clicked(m_sortKey, kCodes[column]);
    sortEntries();
}

int CIHEXView::rowOf(const QModelIndex& index) const
{
    if (!index.isValid())
        return -1;
    const QVariant stored = m_model->item(index.row(), 0)->data(kIndexRole);
    const auto entry = stored.toULongLong();
    return entry < m_entries.size() ? static_cast<int>(entry) : -1;
}

std::vector<std::string> CIHEXView::selectedNames() const
{
    std::vector<std::string> names;
    QModelIndexList rows = activeList()->selectionModel()->selectedIndexes();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    int last = -1;
    for (const QModelIndex& index : rows) {
        if (index.row() == last)
            continue;
        last = index.row();
        if (const int entry = rowOf(index); entry >= 0)
            names.push_back(m_entries[static_cast<std::size_t>(entry)].name);
    }
    return names;
}

void CIHEXView::select(const std::vector<std::string>& names)
{
    QAbstractItemView* list = activeList();
    list->clearSelection();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const int entry = rowOf(m_model->index(row, 0));
        if (entry < 0
            || std::find(names.begin(), names.end(), m_entries[static_cast<std::size_t>(entry)].name) == names.end())
            continue;
        list->selectionModel()->select(m_model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    }
}

// ---- navigation ---------------------------------------------------------------------------------

void CIHEXView::upOneLevel()
{
    navigate(m_location.up().path());
}

void CIHEXView::open(int row)
{
    const int entry = rowOf(m_model->index(row, 0));
    if (entry < 0 || m_entries[static_cast<std::size_t>(entry)].type != file_type::Directory)
        return;
    if (const auto path = m_location.childPath(m_entries[static_cast<std::size_t>(entry)].name))
        navigate(*path);
}

void CIHEXView::setMode(Mode mode)
{
    for (int i = 0; i < 4; ++i)
        m_modes[i]->setChecked(i == static_cast<int>(mode));
    if (mode == m_mode)
        return;
    const std::vector<std::string> selected = selectedNames();
    m_mode = mode;
    if (mode == Mode::Details) {
        m_stack->setCurrentWidget(m_details);
    } else {
        m_icons->setViewMode(mode == Mode::LargeIcons ? QListView::IconMode : QListView::ListMode);
        m_icons->setIconSize(mode == Mode::LargeIcons ? QSize(32, 32) : QSize(16, 16));
        m_icons->setFlow(mode == Mode::SmallIcons ? QListView::LeftToRight : QListView::TopToBottom);
        m_icons->setWrapping(mode != Mode::Details);
        m_stack->setCurrentWidget(m_icons);
    }
    select(selected);
}

void CIHEXView::showContextMenu(const QPoint& position)
{
    QAbstractItemView* list = activeList();
    QMenu menu(this);
    const QModelIndex index = list->indexAt(position);
    if (index.isValid()) {
        list->setCurrentIndex(m_model->index(index.row(), 0));
        menu.addActions({m_rename, m_delete, m_copy, m_copyOut});
    } else {
        menu.addActions({m_refresh, m_newFolder, m_paste, m_copyIn, m_up});
    }
    menu.exec(list->viewport()->mapToGlobal(position));
}

// ---- changes on the far side --------------------------------------------------------------------

void CIHEXView::renameEntry(int row, const QString& name)
{
    const int entry = rowOf(m_model->index(row, 0));
    if (entry < 0)
        return;
    const std::string from = m_entries[static_cast<std::size_t>(entry)].name;
    // The typed bytes as they are; the far side keeps names as bytes.
    const std::string to = name.toStdString();
    if (to == from)
        return;
    if (to.empty()) {
        tell("Enter a valid name");
        QMetaObject::invokeMethod(
            this, [this, row] { activeList()->edit(m_model->index(row, 0)); }, Qt::QueuedConnection);
        return;
    }
    runTask([from, to](RemoteFolder& folder, const std::atomic<bool>&, const Poster&) -> Work {
        const Outcome outcome = folder.rename(from, to);
        return [outcome, from, to](CIHEXView& view) {
            if (!outcome.ok) {
                view.tell(outcome.message);
                return;
            }
            for (DirectoryEntry& entry : view.m_entries) {
                if (entry.name == from)
                    entry.name = to;
            }
            view.fillModel();
        };
    });
}

void CIHEXView::makeNewFolder()
{
    runTask([](RemoteFolder& folder, const std::atomic<bool>&, const Poster&) -> Work {
        const Outcome outcome = folder.makeNewFolder();
        return [outcome](CIHEXView& view) {
            if (!outcome.ok)
                view.tell(outcome.message);
            else
                view.refresh();
        };
    });
}

void CIHEXView::deleteSelected()
{
    std::vector<std::string> chosen;
    bool all = false;
    for (const std::string& name : selectedNames()) {
        const auto answer = all ? ExplorerAsker::DeleteAnswer::Delete : ExplorerAsker::current().askDelete(this, name);
        if (answer == ExplorerAsker::DeleteAnswer::Cancel)
            break;
        if (answer == ExplorerAsker::DeleteAnswer::Skip)
            continue;
        all = all || answer == ExplorerAsker::DeleteAnswer::DeleteAll;
        chosen.push_back(name);
    }
    if (chosen.empty())
        return;
    runTask([chosen](RemoteFolder& folder, const std::atomic<bool>& stop, const Poster&) -> Work {
        std::vector<std::string> removed;
        std::vector<std::string> failures;
        for (const std::string& name : chosen) {
            if (stop.load())
                break;
            const Outcome outcome = folder.remove(name);
            if (outcome.ok)
                removed.push_back(name);
            else
                failures.push_back(outcome.message);
        }
        return [removed, failures](CIHEXView& view) {
            std::erase_if(view.m_entries, [&](const DirectoryEntry& entry) {
                return std::find(removed.begin(), removed.end(), entry.name) != removed.end();
            });
            view.fillModel();
            for (const std::string& failure : failures)
                view.tell(failure);
        };
    });
}

// ---- copies -------------------------------------------------------------------------------------

std::uint64_t CIHEXView::startCopy(CopyJob job)
{
    if (job.items.empty())
        return 0;
    if (!m_copyDialog) {
        m_copyDialog = new CIHEXCopyDialog(this);
        m_copyDialog->show();
    }
    const std::uint64_t task = runTask(
        [job = std::move(job)](RemoteFolder& folder, const std::atomic<bool>& stop, const Poster& post) -> Work {
            std::vector<std::string> failures;
            bool copied = false;
            for (std::size_t item = 0; item < job.items.size() && !stop.load(); ++item) {
                post([shown = job.items[item], destination = job.destination](CIHEXView& view) {
                    if (view.m_copyDialog)
                        view.m_copyDialog->startFile(shown, destination);
                });
                unsigned shown = 0;
                stream::rpc::FileCopy::Control control;
                control.stop = &stop;
                control.progress = [&](std::uint64_t done, std::uint64_t total) {
                    const unsigned percent
                        = total == 0 ? 100u : static_cast<unsigned>(std::min<std::uint64_t>(done * 100 / total, 100));
                    if (percent == shown)
                        return;
                    shown = percent;
                    post([percent](CIHEXView& view) {
                        if (view.m_copyDialog)
                            view.m_copyDialog->setPercent(percent);
                    });
                };
                const Outcome outcome = job.copy(folder, item, control);
                copied = copied || outcome.ok;
                if (!outcome.ok && !stop.load())
                    failures.push_back(outcome.message);
            }
            const bool complete = failures.empty() && !stop.load();
            if (complete && job.afterAll) {
                for (std::string& failure : job.afterAll())
                    failures.push_back(std::move(failure));
            }
            return [failures, copied, complete, ended = job.ended, refreshAfter = job.refreshAfter](CIHEXView& view) {
                for (const std::string& failure : failures)
                    view.tell(failure);
                if (copied && refreshAfter)
                    view.refresh();
                if (ended)
                    ended(view, complete);
            };
        });
    if (task) {
        connect(m_copyDialog, &CIHEXCopyDialog::cancelled, this, [this, task] { cancelTask(task); });
    } else if (!busy()) {
        // No copy started: no end will come to close the dialog.
        m_copyDialog->deleteLater();
        m_copyDialog = nullptr;
    }
    return task;
}

void CIHEXView::copyIn(const std::vector<std::string>& localPaths)
{
    CopyJob job;
    job.items = localPaths;
    job.destination = m_location.path();
    job.copy = [localPaths](RemoteFolder& folder, std::size_t item, const stream::rpc::FileCopy::Control& control) {
        return folder.copyIn(localPaths[item], control);
    };
    job.refreshAfter = true;
    startCopy(std::move(job));
}

void CIHEXView::copyOut(const std::string& localFolder)
{
    CopyJob job;
    job.items = selectedNames();
    job.destination = localFolder;
    job.copy = [localFolder, names = job.items](RemoteFolder& folder, std::size_t item,
                                                const stream::rpc::FileCopy::Control& control) {
        return folder.copyOut(names[item], localFolder, control);
    };
    startCopy(std::move(job));
}

// ---- drag and drop, clipboard -------------------------------------------------------------------

CIHEXMimeData* CIHEXView::makeMimeData(const std::vector<std::string>& names)
{
    // The files a program took from the last drag are its own by now; files being fetched stay.
    if (m_fetches == 0)
        m_staging.removeAll();
    std::vector<RemoteLocation> entries;
    for (const std::string& name : names) {
        if (auto entry = m_location.child(name))
            entries.push_back(std::move(*entry));
    }
    const QPointer<CIHEXView> self(this);
    return new CIHEXMimeData(QByteArray::fromStdString(DraggedEntries::write(entries)),
                             [self, entries] { return self ? self->stage(entries) : QList<QUrl>(); });
}

QList<QUrl> CIHEXView::stage(const std::vector<RemoteLocation>& entries)
{
    if (entries.empty())
        return {};
    const auto folder = m_staging.makeFolder();
    if (!folder) {
        tell("No folder could be made for the receiver's files under "
             + QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation).toStdString()
             + ": free some space there, then drag again.");
        return {};
    }
    // The loop below ends when the copy does, or when the window goes meanwhile.
    struct Waiting
    {
        bool ended = false;
        bool complete = false;
        QEventLoop* loop = nullptr;
    };
    const auto waiting = std::make_shared<Waiting>();
    CopyJob job;
    for (const RemoteLocation& entry : entries)
        job.items.push_back(entry.path());
    job.destination = folder->string();
    job.copy = [entries, target = folder->string()](RemoteFolder&, std::size_t item,
                                                    const stream::rpc::FileCopy::Control& control) {
        return RemoteFolder::copyEntryOut(entries[item], target, control);
    };
    job.ended = [waiting](CIHEXView&, bool complete) {
        waiting->ended = true;
        waiting->complete = complete;
        if (waiting->loop)
            waiting->loop->quit();
    };
    if (!startCopy(std::move(job)))
        return {};
    const QPointer<CIHEXView> self(this);
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    waiting->loop = &loop;
    ++m_fetches;
    if (!waiting->ended)
        loop.exec();
    waiting->loop = nullptr;
    if (!self)
        return {};
    --m_fetches;
    if (!waiting->complete)
        return {};
    QList<QUrl> urls;
    for (const RemoteLocation& entry : entries)
        urls.append(QUrl::fromLocalFile(QString::fromStdString((*folder / DraggedEntries::nameOf(entry)).string())));
    return urls;
}

bool CIHEXView::takes(const QMimeData& data)
{
    return data.hasFormat(QString::fromLatin1(CIHEXDocument::kClipboardFormat)) || data.hasUrls();
}

void CIHEXView::take(const QMimeData& data, bool move)
{
    // Another explorer's entries first: their local files would have to be fetched to be read.
    const QString format = QString::fromLatin1(CIHEXDocument::kClipboardFormat);
    if (data.hasFormat(format)) {
        takeEntries(DraggedEntries::read(data.data(format).toStdString()), move);
        return;
    }
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        const QString local = url.toLocalFile();
        if (!url.isLocalFile() || local.isEmpty() || local.size() > kMaxDroppedPath || paths.size() >= kMaxDropped)
            continue;
        paths.push_back(local.toStdString());
    }
    copyIn(paths);
}

void CIHEXView::takeEntries(const std::vector<RemoteLocation>& entries, bool move)
{
    std::vector<RemoteLocation> copied;
    for (const RemoteLocation& entry : entries) {
        const DraggedEntries::Fit fit = DraggedEntries::fit(entry, m_location);
        if (fit == DraggedEntries::Fit::IntoItself) {
            tell("Copy " + entry.path() + " failed: a folder cannot go into itself or a folder inside it.");
            return;
        }
        if (fit == DraggedEntries::Fit::Copy)
            copied.push_back(entry);
    }
    CopyJob job;
    for (const RemoteLocation& entry : copied)
        job.items.push_back(entry.text());
    job.destination = m_location.path();
    job.copy = [copied](RemoteFolder& folder, std::size_t item, const stream::rpc::FileCopy::Control& control) {
        return folder.copyFrom(copied[item], control);
    };
    job.refreshAfter = true;
    if (move) {
        job.afterAll = [copied] {
            std::vector<std::string> failures;
            for (const RemoteLocation& entry : copied) {
                if (const Outcome removed = RemoteFolder::removeEntry(entry); !removed.ok)
                    failures.push_back(removed.message);
            }
            return failures;
        };
        // Explorers showing a folder the entries left list it again.
        job.ended = [copied](CIHEXView&, bool) {
            for (QWidget* widget : QApplication::allWidgets()) {
                auto* other = qobject_cast<CIHEXView*>(widget);
                const bool showsSource = other && std::any_of(copied.begin(), copied.end(), [other](const auto& entry) {
                                             return entry.up().text() == other->location().text();
                                         });
                if (showsSource)
                    other->refresh();
            }
        };
    }
    startCopy(std::move(job));
}

void CIHEXView::copyToClipboard()
{
    const std::vector<std::string> names = selectedNames();
    if (!names.empty())
        QApplication::clipboard()->setMimeData(makeMimeData(names));
}

void CIHEXView::paste()
{
    if (const QMimeData* data = QApplication::clipboard()->mimeData(); data && takes(*data))
        take(*data, false);
}

bool CIHEXView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // The lists would take Copy for copying a cell's text: here it copies the entries.
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        QAction* command = key->matches(QKeySequence::Copy) ? m_copy
            : key->matches(QKeySequence::Paste)             ? m_paste
                                                            : nullptr;
        if (!command)
            return QWidget::eventFilter(watched, event);
        event->accept();
        if (type == QEvent::KeyPress)
            command->trigger();
        return true;
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* data = drop->mimeData();
    if (!data || !takes(*data)) {
        drop->ignore();
        return true;
    }
    // The source is told of a copy whatever is done here: a move removes its entries itself, once
    // every copy succeeded.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        take(*data, drop->modifiers().testFlag(Qt::AltModifier) && !drop->modifiers().testFlag(Qt::ControlModifier));
    return true;
}

} // namespace zeb::explorer
