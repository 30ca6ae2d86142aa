#pragma once

#include "terminal/filters/InputFilterList.h"

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

namespace zeb::terminal {

// The input filter editor "IDD_IHTE_FILTER_EDITOR": the patterns of a filter list, each with a check box
// that enables it. Double-clicking a pattern edits it in place, double-clicking below the entries adds
// an enabled "$PKVR," entry and edits it; an edit that leaves nothing keeps the old pattern. Add, Edit
// and Remove (also the Delete key) do the same from buttons. OK replaces the given list with the entries
// in list order (the caller writes the file); Cancel leaves it.
//
// Object names: "list", "add", "edit", "remove", "1" (OK), "2" (Cancel).
class CIHTEFilterEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_IHTE_FILTER_EDITOR";
    static constexpr int kColumnWidth = 400;

    explicit CIHTEFilterEditor(InputFilterList& filters, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    // The entries as edited so far.
    const InputFilterList& edited() const { return m_edited; }

public slots:
    void addEntry();
    void editEntry();
    void removeEntry();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void onItemChanged(QTreeWidgetItem* item, int column);
    QTreeWidgetItem* makeItem(const InputFilter& filter);

    InputFilterList& m_filters;
    InputFilterList m_edited;
    QTreeWidget* m_list = nullptr;
    bool m_updating = false;
};

} // namespace zeb::terminal
