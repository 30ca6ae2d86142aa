#include "trace/document/TraceListModel.h"

#include "trace/document/TraceFont.h"

#include <QColor>

#include <algorithm>
#include <array>

namespace zeb::trace {

namespace {

struct ColumnForm
{
    const char* title;
    int width;
    Qt::Alignment alignment;
};

constexpr std::array<ColumnForm, TraceListModel::ColumnCount> kColumns{{
    {"Level", 40, Qt::AlignHCenter | Qt::AlignVCenter},
    {"Component", 80, Qt::AlignLeft | Qt::AlignVCenter},
    {"File", 80, Qt::AlignLeft | Qt::AlignVCenter},
    {"Line", 50, Qt::AlignRight | Qt::AlignVCenter},
    {"Comment", 400, Qt::AlignLeft | Qt::AlignVCenter},
}};

QString text(const std::string& value)
{
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

} // namespace

TraceListModel::TraceListModel(const TraceRing& ring, QObject* parent)
    : QAbstractTableModel(parent)
    , m_ring(ring)
{
}

void TraceListModel::setDisplay(const TraceDisplaySettings& display)
{
    m_display = display;
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(static_cast<int>(m_rows) - 1, ColumnCount - 1), {Qt::ForegroundRole});
}

bool TraceListModel::sync()
{
    const std::uint64_t appended = m_ring.appended();
    if (appended == m_synced)
        return false;
    // Cleared since, or more new records than the list holds: show the ring afresh.
    const std::uint64_t fresh = appended - m_synced;
    if (appended < m_synced || fresh >= m_ring.capacity()) {
        beginResetModel();
        m_rows = m_ring.size();
        m_synced = appended;
        endResetModel();
        return m_rows > 0;
    }
    const std::size_t overflow = m_rows + fresh > m_ring.capacity() ? m_rows + fresh - m_ring.capacity() : 0;
    if (overflow > 0) {
        beginRemoveRows({}, 0, static_cast<int>(overflow) - 1);
        m_rows -= overflow;
        endRemoveRows();
    }
    beginInsertRows({}, static_cast<int>(m_rows), static_cast<int>(m_rows + fresh) - 1);
    m_rows += fresh;
    m_synced = appended;
    endInsertRows();
    return true;
}

int TraceListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows);
}

int TraceListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TraceListModel::data(const QModelIndex& index, int role) const
{
    const auto row = static_cast<std::size_t>(index.row());
    // Between syncs the ring may hold more than the list shows: the list's rows are its newest known ones.
    if (!index.isValid() || row >= m_rows || m_rows > m_ring.size())
        return {};
    const std::size_t unseen
        = static_cast<std::size_t>(std::min<std::uint64_t>(m_ring.appended() - m_synced, m_ring.size() - m_rows));
    const TraceRecord& record = m_ring.at(m_ring.size() - unseen - m_rows + row);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Level:
            return QString::number(record.level);
        case Component:
            return text(record.component);
        case File:
            return text(record.file);
        case Line:
            return QString::number(record.line);
        case Comment:
            return text(record.comment);
        default:
            return {};
        }
    case Qt::ForegroundRole:
        return colourOf(m_display.colourOf(record.level));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(kColumns[static_cast<std::size_t>(index.column())].alignment);
    default:
        return {};
    }
}

QVariant TraceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kColumns[static_cast<std::size_t>(section)].title);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kColumns[static_cast<std::size_t>(section)].alignment);
    return {};
}

int TraceListModel::columnWidth(int column)
{
    return column >= 0 && column < ColumnCount ? kColumns[static_cast<std::size_t>(column)].width : 0;
}

} // namespace zeb::trace
