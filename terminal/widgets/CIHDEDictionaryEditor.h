#pragma once

#include "terminal/core/Dictionary.h"

#include <QDialog>

#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace zeb::terminal {

// The dictionary editor "IDD_IHDE_DICTIONARY_EDITOR", working on a dictionary it is given: a list of
// labels and values in order, labels edited in place, the selected row's value in an edit box below.
// OK (and Save) rebuild the dictionary from the rows in list order; Cancel leaves it as it was, except
// that Load replaces it at once.
//
// Object names: "list", "value", "load", "save", "1" (OK), "2" (Cancel); the item menu
// "IDM_IHDE_ITEM_MENU" with the actions "new", "copy", "cut", "paste" and "rename".
class CIHDEDictionaryEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_IHDE_DICTIONARY_EDITOR";
    static constexpr const char* kMenuName = "IDM_IHDE_ITEM_MENU";
    static constexpr int kLabelWidth = 100;
    static constexpr int kValueWidth = 400;

    explicit CIHDEDictionaryEditor(Dictionary& dictionary, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    QPlainTextEdit* valueEdit() const { return m_value; }
    // The item menu with its actions enabled for the current state.
    QMenu* itemMenu();

    // The label and value of a row; the value as the dictionary keeps it (lines ending in CR LF).
    std::string label(int row) const;
    std::string value(int row) const;
    int rowCount() const;

    // Reads a file into the dictionary (empty when it cannot be opened) and refills the list.
    void loadFrom(const std::string& path);
    // Stores the edit box, rebuilds the dictionary and writes it; false when the file cannot be written.
    bool saveTo(const std::string& path);

public slots:
    // The item menu's commands; copy, cut, paste and delete of the application's Edit menu land here too
    // (delete cuts).
    void newEntry();
    void copy();
    void cut();
    void paste();
    void rename();
    void deleteSelected() { cut(); }
    void load();
    void save();
    void accept() override;

private:
    struct Pair
    {
        std::string label;
        std::string value;
    };

    void fill();
    void rebuild();
    void storeEdit();
    void showRow(QTreeWidgetItem* item);
    void onItemChanged(QTreeWidgetItem* item, int column);
    QTreeWidgetItem* insertRow(const Pair& pair);
    void setRowValue(QTreeWidgetItem* item, const std::string& value);
    void updateActions();

    Dictionary& m_dictionary;
    QTreeWidget* m_list = nullptr;
    QPlainTextEdit* m_value = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_new = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_rename = nullptr;
    // The row whose value the edit box shows: it gets the edit box's text before another row shows.
    QTreeWidgetItem* m_shown = nullptr;
    Pair m_copied;
    bool m_updating = false;
    std::string m_path;
};

} // namespace zeb::terminal
