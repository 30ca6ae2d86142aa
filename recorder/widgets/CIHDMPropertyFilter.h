#pragma once

#include "recorder/widgets/CIHDMPropertyPage.h"

class QComboBox;
class QTableWidget;

namespace zeb::recorder {

// The filters joining ports to tracks, one row each: enabled, port, message selection, output form and
// track, each changed in place. The port and track lists are read again each time the page is shown,
// since the other pages may have renamed or removed them.
class CIHDMPropertyFilter : public CIHDMPropertyPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_IHDM_FILTER";
    enum Column { Enabled, Port, Selection, Form, Track, Columns };

    explicit CIHDMPropertyFilter(RecorderSettings& settings, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    // The control editing one field of a filter's row.
    QComboBox* cell(int row, Column column) const;
    // A filter taking every message as received from the first port to the first track.
    void addFilter();
    void removeSelected();

protected:
    void refresh() override;

private:
    QComboBox* makeCell(int row, Column column, const QStringList& names, std::size_t value);
    void changed(int row, Column column, int value);

    QTableWidget* m_table;
};

} // namespace zeb::recorder
