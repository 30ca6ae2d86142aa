#pragma once

#include "trace/core/TraceDisplaySettings.h"
#include "trace/core/TraceRing.h"

#include <QAbstractTableModel>

namespace zeb::trace {

// The trace list's rows: the records of a ring, in the level colours. Records arrive in the ring at the stream's pace;
// the list learns of them in batches (sync), so that a flood of trace costs one update of the view per batch rather
// than one per record. Until then it shows the rows it was last told of.
class TraceListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Level, Component, File, Line, Comment, ColumnCount };

    explicit TraceListModel(const TraceRing& ring, QObject* parent = nullptr);

    void setDisplay(const TraceDisplaySettings& display);
    // Tells the view of the records appended or cleared since the last sync; true when rows were added.
    bool sync();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static int columnWidth(int column);

private:
    const TraceRing& m_ring;
    TraceDisplaySettings m_display;
    std::size_t m_rows = 0;
    std::uint64_t m_synced = 0;
};

} // namespace zeb::trace
