#include "terminal/widgets/CIHDEDictionaryEditor.h"

#include "app/framework/DialogRunner.h"
#include "app/framework/FileChooser.h"
#include "app/language/qt/Resources.h"
#include "terminal/core/DictionaryPlaces.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zeb::terminal {

using language::Resources;

namespace {

constexpr int kLabelRole = Qt::UserRole; // the label as last committed
constexpr int kValueRole = Qt::UserRole + 1; // the value, as bytes

QString fromText(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The edit box shows a value's lines with plain line ends; the dictionary keeps CR LF.
QString valueToEdit(const std::string& value)
{
    QString text = fromText(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string editToValue(const QString& text)
{
    QString value = text;
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return value.toStdString();
}

// The list's one-line view of a value: line ends as arrows.
QString valueForList(const std::string& value)
{
    QString text = fromText(value);
    text.replace(QStringLiteral("\r\n"), QString(QChar(0x21B5)));
    text.replace(QLatin1Char('\r'), QChar(0x21B5));
    text.replace(QLatin1Char('\n'), QChar(0x21B5));
    return text;
}

QAction* menuAction(QMenu* menu, const char* name, const QString& fallback)
{
    const std::string key = std::string(CIHDEDictionaryEditor::kMenuName) + "/" + name;
    QAction* action = menu->addAction(Resources::text(key.c_str(), fallback));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QPushButton* dialogButton(const QString& name, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CIHDEDictionaryEditor::CIHDEDictionaryEditor(Dictionary& dictionary, QWidget* parent)
    : QDialog(parent)
    , m_dictionary(dictionary)
    , m_list(new QTreeWidget)
    , m_value(new QPlainTextEdit)
    , m_path(DictionaryPlaces::toolBarDictionary())
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(Resources::text(kName, QStringLiteral("Dictionary editor")));

    m_list->setObjectName(QStringLiteral("list"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({Resources::text("IHDE_COLUMN/Label", QStringLiteral("Label")),
                             Resources::text("IHDE_COLUMN/Value", QStringLiteral("Value"))});
    m_list->setColumnWidth(0, kLabelWidth);
    m_list->setColumnWidth(1, kValueWidth);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Only labels are edited in place, and only when asked (double click, rename).
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setMinimumWidth(kLabelWidth + kValueWidth + 8);
    m_value->setObjectName(QStringLiteral("value"));
    m_value->setEnabled(false);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QString::fromLatin1(kMenuName));
    m_new = menuAction(m_menu, "new", QStringLiteral("New"));
    m_copy = menuAction(m_menu, "copy", QStringLiteral("Copy"));
    m_cut = menuAction(m_menu, "cut", QStringLiteral("Cut"));
    m_paste = menuAction(m_menu, "paste", QStringLiteral("Paste"));
    m_rename = menuAction(m_menu, "rename", QStringLiteral("Rename"));
    connect(m_new, &QAction::triggered, this, &CIHDEDictionaryEditor::newEntry);
    connect(m_copy, &QAction::triggered, this, &CIHDEDictionaryEditor::copy);
    connect(m_cut, &QAction::triggered, this, &CIHDEDictionaryEditor::cut);
    connect(m_paste, &QAction::triggered, this, &CIHDEDictionaryEditor::paste);
    connect(m_rename, &QAction::triggered, this, &CIHDEDictionaryEditor::rename);

    // The application's edit keys, while the list has the focus (the edit box keeps its own).
    const auto listShortcut = [this](QKeySequence keys, void (CIHDEDictionaryEditor::*slot)()) {
        auto* action = new QAction(m_list);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        m_list->addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    listShortcut(QKeySequence::Copy, &CIHDEDictionaryEditor::copy);
    listShortcut(QKeySequence::Cut, &CIHDEDictionaryEditor::cut);
    listShortcut(QKeySequence::Paste, &CIHDEDictionaryEditor::paste);
    listShortcut(QKeySequence::Delete, &CIHDEDictionaryEditor::deleteSelected);
    listShortcut(QKeySequence(Qt::Key_F2), &CIHDEDictionaryEditor::rename);

    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { showRow(current); });
    connect(m_list, &QTreeWidget::itemChanged, this, &CIHDEDictionaryEditor::onItemChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { m_list->editItem(item, 0); });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { itemMenu()->exec(m_list->viewport()->mapToGlobal(at)); });

    QPushButton* load
        = dialogButton(QStringLiteral("load"), Resources::text("IHDE_BUTTON/Load", QStringLiteral("Load...")));
    QPushButton* save
        = dialogButton(QStringLiteral("save"), Resources::text("IHDE_BUTTON/Save", QStringLiteral("Save...")));
    QPushButton* ok = dialogButton(QStringLiteral("1"), Resources::control(kName, 1, QStringLiteral("OK")));
    QPushButton* cancel = dialogButton(QStringLiteral("2"), Resources::control(kName, 2, QStringLiteral("Cancel")));
    connect(load, &QPushButton::clicked, this, &CIHDEDictionaryEditor::load);
    connect(save, &QPushButton::clicked, this, &CIHDEDictionaryEditor::save);
    connect(ok, &QPushButton::clicked, this, &CIHDEDictionaryEditor::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 3);
    layout->addWidget(m_value, 1);
    layout->addLayout(buttons);

    fill();
}

QMenu* CIHDEDictionaryEditor::itemMenu()
{
    updateActions();
    return m_menu;
}

void CIHDEDictionaryEditor::updateActions()
{
    const bool selected = m_list->currentItem() != nullptr;
    m_new->setEnabled(true);
    m_copy->setEnabled(selected);
    m_cut->setEnabled(selected);
    m_rename->setEnabled(selected);
    m_paste->setEnabled(!m_copied.label.empty() && !m_copied.value.empty());
}

int CIHDEDictionaryEditor::rowCount() const
{
    return m_list->topLevelItemCount();
}

std::string CIHDEDictionaryEditor::label(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item ? item->text(0).toStdString() : std::string();
}

std::string CIHDEDictionaryEditor::value(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item ? item->data(1, kValueRole).toByteArray().toStdString() : std::string();
}

void CIHDEDictionaryEditor::fill()
{
    m_shown = nullptr;
    m_list->clear();
    for (const DictionaryEntry& entry : m_dictionary.entries()) {
        insertRow({entry.label, entry.value});
    }
    m_list->setCurrentItem(nullptr);
    showRow(nullptr);
}

void CIHDEDictionaryEditor::rebuild()
{
    m_dictionary.clear();
    for (int row = 0; row < rowCount(); ++row) {
        m_dictionary.add(label(row), value(row));
    }
}

// Appends the row after the current one, or at the end when none is current.
QTreeWidgetItem* CIHDEDictionaryEditor::insertRow(const Pair& pair)
{
    auto* item = new QTreeWidgetItem;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    const QScopedValueRollback<bool> updating(m_updating, true);
    item->setText(0, fromText(pair.label));
    item->setData(0, kLabelRole, fromText(pair.label));
    setRowValue(item, pair.value);
    const int current = m_list->indexOfTopLevelItem(m_list->currentItem());
    m_list->insertTopLevelItem(current < 0 ? rowCount() : current + 1, item);
    return item;
}

void CIHDEDictionaryEditor::setRowValue(QTreeWidgetItem* item, const std::string& value)
{
    const QScopedValueRollback<bool> updating(m_updating, true);
    item->setData(1, kValueRole, QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    item->setText(1, valueForList(value));
}

void CIHDEDictionaryEditor::storeEdit()
{
    if (m_shown == nullptr) {
        return;
    }
    setRowValue(m_shown, editToValue(m_value->toPlainText()));
}

void CIHDEDictionaryEditor::showRow(QTreeWidgetItem* item)
{
    storeEdit();
    m_shown = item;
    m_value->setEnabled(item != nullptr);
    m_value->setPlainText(item ? valueToEdit(item->data(1, kValueRole).toByteArray().toStdString()) : QString());
}

// Ending a label edit with nothing keeps the old label.
void CIHDEDictionaryEditor::onItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_updating || column != 0) {
        return;
    }
    const QScopedValueRollback<bool> updating(m_updating, true);
    if (item->text(0).isEmpty()) {
        item->setText(0, item->data(0, kLabelRole).toString());
        return;
    }
    item->setData(0, kLabelRole, item->text(0));
}

void CIHDEDictionaryEditor::newEntry()
{
    const std::string label = Resources::text("IHDE_NEW/Label", QStringLiteral("New telecommand")).toStdString();
    const std::string value = editToValue(Resources::text("IHDE_NEW/Value", QStringLiteral("$PKVR,")));
    QTreeWidgetItem* item = insertRow({label, value});
    m_list->setCurrentItem(item);
    m_list->editItem(item, 0);
}

void CIHDEDictionaryEditor::copy()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (item == nullptr) {
        return;
    }
    storeEdit();
    const int row = m_list->indexOfTopLevelItem(item);
    m_copied = {label(row), value(row)};
}

void CIHDEDictionaryEditor::cut()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (item == nullptr) {
        return;
    }
    copy();
    // The row goes: its value is already stored, and the edit box must not be written into it.
    if (item == m_shown) {
        m_shown = nullptr;
    }
    delete item;
}

void CIHDEDictionaryEditor::paste()
{
    if (m_copied.label.empty() || m_copied.value.empty()) {
        return;
    }
    m_list->setCurrentItem(insertRow(m_copied));
}

void CIHDEDictionaryEditor::rename()
{
    if (QTreeWidgetItem* item = m_list->currentItem()) {
        m_list->editItem(item, 0);
    }
}

void CIHDEDictionaryEditor::load()
{
    std::string path = m_path;
    const std::vector<framework::FileChooser::Filter> filters{
        {Resources::text("IHDE_FILTER", QStringLiteral("Dictionaries")), QStringLiteral("*.ude")}};
    if (!framework::FileChooser::choose(this, Resources::text("IHDE_TITLE/Load", QStringLiteral("Load a dictionary")),
                                        path, framework::FileChooser::Mode::Read, filters)) {
        return;
    }
    m_path = path;
    loadFrom(path);
}

void CIHDEDictionaryEditor::save()
{
    std::string path = m_path;
    const std::vector<framework::FileChooser::Filter> filters{
        {Resources::text("IHDE_FILTER", QStringLiteral("Dictionaries")), QStringLiteral("*.ude")}};
    if (!framework::FileChooser::choose(this, Resources::text("IHDE_TITLE/Save", QStringLiteral("Save the dictionary")),
                                        path, framework::FileChooser::Mode::Write, filters)) {
        return;
    }
    m_path = path;
    if (!saveTo(path)) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        Resources::text("IHDE_ERROR/Write", QStringLiteral("The dictionary cannot be written to %1"))
                            .arg(QString::fromStdString(path)),
                        QMessageBox::Ok, this);
        framework::DialogRunner::run(box);
    }
}

void CIHDEDictionaryEditor::loadFrom(const std::string& path)
{
    m_dictionary.read(path);
    fill();
}

bool CIHDEDictionaryEditor::saveTo(const std::string& path)
{
    storeEdit();
    rebuild();
    return m_dictionary.write(path) == stream::StreamStatus::Ok;
}

void CIHDEDictionaryEditor::accept()
{
    storeEdit();
    rebuild();
    QDialog::accept();
}

} // namespace zeb::terminal
