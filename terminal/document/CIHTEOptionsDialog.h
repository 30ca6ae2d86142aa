#pragma once

#include "terminal/session/TerminalOptions.h"

#include <QDialog>

class QBoxLayout;
class QTreeWidget;
class QTreeWidgetItem;

namespace zeb::terminal {

// The terminal options "IDD_IHTE_OPTION": one row per (category, direction) pair with its mode
// and colour; several rows can be selected, and a mode or colour chosen in a row's column is
// given to every selected row. Below the list: time stamps, NMEA checksums and the scroll-back (check
// boxes "timeStamps", "nmeaChecksum", spin box "scrollBack"). Works on a copy of the options.
class CIHTEOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_IHTE_OPTION";
    static constexpr int kModeColumn = 1;
    static constexpr int kColourColumn = 2;

    explicit CIHTEOptionsDialog(const TerminalOptions& options, QWidget* parent = nullptr);

    const TerminalOptions& options() const { return m_options; }
    QTreeWidget* list() const { return m_list; }

    // What a click in the mode or colour column does, for the selected rows.
    void setModeOfSelection(DisplayMode mode);
    void setColourOfSelection(std::uint32_t colour);

    static QString modeName(std::uint32_t mode);
    static QString pairName(std::size_t index);

private:
    void fill();
    void addScreenOptions(QBoxLayout& layout);
    void showRow(QTreeWidgetItem& row, std::size_t index);
    void onClicked(QTreeWidgetItem* item, int column);
    void chooseMode(const QPoint& where);
    void chooseColour();

    TerminalOptions m_options;
    QTreeWidget* m_list;
};

} // namespace zeb::terminal
