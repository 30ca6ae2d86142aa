#include "terminal/widgets/CIHTEFilterEditor.h"

#include "app/language/qt/Resources.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zeb::terminal {

using language::Resources;

namespace {

QString fromText(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* dialogButton(const char* name, const char* textName, const QString& fallback)
{
    auto* button = new QPushButton(Resources::text(textName, fallback));
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CIHTEFilterEditor::CIHTEFilterEditor(InputFilterList& filters, QWidget* parent)
    : QDialog(parent)
    , m_filters(filters)
    , m_edited(filters)
    , m_list(new QTreeWidget)
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(Resources::text(kName, QStringLiteral("Input filters")));

    m_list->setObjectName(QStringLiteral("list"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({Resources::text("IHTE_FILTER_COLUMN", QStringLiteral("value"))});
    m_list->setColumnWidth(0, kColumnWidth);
    m_list->setMinimumWidth(kColumnWidth + 24);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QTreeWidget::itemChanged, this, &CIHTEFilterEditor::onItemChanged);

    auto* removeKey = new QAction(m_list);
    removeKey->setShortcut(QKeySequence::Delete);
    removeKey->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(removeKey);
    connect(removeKey, &QAction::triggered, this, &CIHTEFilterEditor::removeEntry);

    QPushButton* add = dialogButton("add", "IHTE_FILTER_BUTTON/Add", QStringLiteral("Add"));
    QPushButton* edit = dialogButton("edit", "IHTE_FILTER_BUTTON/Edit", QStringLiteral("Edit"));
    QPushButton* remove = dialogButton("remove", "IHTE_FILTER_BUTTON/Remove", QStringLiteral("Remove"));
    QPushButton* ok = dialogButton("1", "IDD_IHTE_FILTER_EDITOR/1", QStringLiteral("OK"));
    QPushButton* cancel = dialogButton("2", "IDD_IHTE_FILTER_EDITOR/2", QStringLiteral("Cancel"));
    connect(add, &QPushButton::clicked, this, &CIHTEFilterEditor::addEntry);
    connect(edit, &QPushButton::clicked, this, &CIHTEFilterEditor::editEntry);
    connect(remove, &QPushButton::clicked, this, &CIHTEFilterEditor::removeEntry);
    connect(ok, &QPushButton::clicked, this, &CIHTEFilterEditor::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    fill();
}

QTreeWidgetItem* CIHTEFilterEditor::makeItem(const InputFilter& filter)
{
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
    item->setText(0, fromText(filter.pattern));
    item->setCheckState(0, filter.enabled ? Qt::Checked : Qt::Unchecked);
    return item;
}

void CIHTEFilterEditor::fill()
{
    const QScopedValueRollback<bool> updating(m_updating, true);
    m_list->clear();
    for (const InputFilter& filter : m_edited.entries()) {
        m_list->addTopLevelItem(makeItem(filter));
    }
}

// The list rows and m_edited stay index for index; a check box click toggles, an edit sets the pattern
// (the list refuses an empty one, and the row shows the old pattern again).
void CIHTEFilterEditor::onItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_updating || column != 0) {
        return;
    }
    const QScopedValueRollback<bool> updating(m_updating, true);
    const int row = m_list->indexOfTopLevelItem(item);
    if (row < 0) {
        return;
    }
    const auto index = static_cast<std::size_t>(row);
    m_edited.setEnabled(index, item->checkState(0) == Qt::Checked);
    m_edited.setPattern(index, item->text(0).toStdString());
    item->setText(0, fromText(m_edited[index].pattern));
}

void CIHTEFilterEditor::addEntry()
{
    const std::size_t index = m_edited.appendNew();
    QTreeWidgetItem* item = nullptr;
    {
        const QScopedValueRollback<bool> updating(m_updating, true);
        item = makeItem(m_edited[index]);
        m_list->addTopLevelItem(item);
    }
    m_list->setCurrentItem(item);
    m_list->editItem(item, 0);
}

void CIHTEFilterEditor::editEntry()
{
    if (QTreeWidgetItem* item = m_list->currentItem()) {
        m_list->editItem(item, 0);
    }
}

void CIHTEFilterEditor::removeEntry()
{
    QTreeWidgetItem* item = m_list->currentItem();
    const int row = m_list->indexOfTopLevelItem(item);
    if (row < 0) {
        return;
    }
    m_edited.remove(static_cast<std::size_t>(row));
    const QScopedValueRollback<bool> updating(m_updating, true);
    delete item;
}

bool CIHTEFilterEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QTreeWidgetItem* item = m_list->itemAt(mouse->position().toPoint());
        if (item == nullptr) {
            addEntry();
        } else {
            m_list->setCurrentItem(item);
            m_list->editItem(item, 0);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CIHTEFilterEditor::accept()
{
    m_filters = m_edited;
    QDialog::accept();
}

} // namespace zeb::terminal
