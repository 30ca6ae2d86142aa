#include "app/framework/BarLayout.h"

#include "app/framework/CIHCOChildFrame.h"

#include <QDockWidget>
#include <QLayout>
#include <QMainWindow>
#include <QToolBar>

#include <algorithm>
#include <map>
#include <set>

namespace zeb::framework {
namespace {

using workspace::BarRecord;

// The float position a bar had when it last floated, kept while it is docked so that it
// survives a save and load.
constexpr const char* kFloatPositionProperty = "zebFloatPosition";

struct Area
{
    std::uint32_t id;
    Qt::ToolBarArea toolBarArea;
    Qt::DockWidgetArea dockArea;
    // Bars of a row follow each other along this orientation; rows stack across it.
    Qt::Orientation along;
};

constexpr Area kAreas[] = {
    {BarLayout::kDockTop, Qt::TopToolBarArea, Qt::TopDockWidgetArea, Qt::Horizontal},
    {BarLayout::kDockLeft, Qt::LeftToolBarArea, Qt::LeftDockWidgetArea, Qt::Vertical},
    {BarLayout::kDockRight, Qt::RightToolBarArea, Qt::RightDockWidgetArea, Qt::Vertical},
    {BarLayout::kDockBottom, Qt::BottomToolBarArea, Qt::BottomDockWidgetArea, Qt::Horizontal},
};

const Area* areaById(std::uint32_t id)
{
    for (const Area& area : kAreas) {
        if (area.id == id) {
            return &area;
        }
    }
    return nullptr;
}

const Area* areaOf(Qt::ToolBarArea toolBarArea)
{
    for (const Area& area : kAreas) {
        if (area.toolBarArea == toolBarArea) {
            return &area;
        }
    }
    return nullptr;
}

const Area* areaOf(Qt::DockWidgetArea dockArea)
{
    for (const Area& area : kAreas) {
        if (area.dockArea == dockArea) {
            return &area;
        }
    }
    return nullptr;
}

Qt::Orientation across(Qt::Orientation orientation)
{
    return orientation == Qt::Horizontal ? Qt::Vertical : Qt::Horizontal;
}

// Lays out the frame now, so that the geometries read are the ones the user sees.
void settle(const CIHCOChildFrame& frame)
{
    if (QLayout* layout = frame.layout()) {
        layout->activate();
    }
    if (QLayout* layout = frame.inner()->layout()) {
        layout->activate();
    }
}

void setRect(BarRecord& record, const QRect& rect)
{
    record.mruTop = rect.top();
    record.mruLeft = rect.left();
    record.mruRight = rect.left() + rect.width();
    record.mruBottom = rect.top() + rect.height();
}

// The record's rectangle as a widget can take it; a file may hold any numbers, so the extents
// are computed without overflow and kept within what a widget accepts.
QRect rectOf(const BarRecord& record)
{
    auto extent = [](std::int32_t from, std::int32_t to) {
        const std::int64_t size = std::int64_t{to} - std::int64_t{from};
        return static_cast<int>(std::clamp<std::int64_t>(size, 0, QWIDGETSIZE_MAX));
    };
    return QRect(record.mruLeft, record.mruTop, extent(record.mruLeft, record.mruRight),
                 extent(record.mruTop, record.mruBottom));
}

void setFloatPosition(BarRecord& record, const QWidget* bar, bool floating)
{
    QPoint position = bar->property(kFloatPositionProperty).toPoint();
    if (floating) {
        position = bar->pos();
    }
    record.mruFloatX = position.x();
    record.mruFloatY = position.y();
}

BarRecord toolBarRecord(const QMainWindow& inner, const QToolBar& bar)
{
    BarRecord record;
    record.id = CIHCOChildFrame::barId(&bar);
    record.visible = bar.isHidden() ? 0 : 1;
    record.floating = bar.isFloating() ? 1 : 0;
    record.horizontal = bar.orientation() == Qt::Horizontal ? 1 : 0;
    record.x = bar.x();
    record.y = bar.y();
    record.mruWidth = static_cast<std::uint32_t>(bar.width());
    record.dockingAllowed = bar.allowedAreas() != Qt::NoToolBarArea ? 1 : 0;
    const Area* area = areaOf(inner.toolBarArea(&bar));
    record.mruDockId = area != nullptr ? area->id : 0;
    setRect(record, bar.geometry());
    setFloatPosition(record, &bar, bar.isFloating());
    return record;
}

BarRecord dockWidgetRecord(const QMainWindow& inner, const QDockWidget& bar)
{
    BarRecord record;
    record.id = CIHCOChildFrame::barId(&bar);
    record.visible = bar.isHidden() ? 0 : 1;
    record.floating = bar.isFloating() ? 1 : 0;
    const Area* area = areaOf(inner.dockWidgetArea(const_cast<QDockWidget*>(&bar)));
    const bool horizontal = area == nullptr || area->along == Qt::Horizontal;
    record.horizontal = horizontal ? 1 : 0;
    record.x = bar.x();
    record.y = bar.y();
    // The extent across the docking area, the one a user changes by dragging the splitter.
    record.mruWidth = static_cast<std::uint32_t>(horizontal && !bar.isFloating() ? bar.height() : bar.width());
    record.dockingAllowed = bar.allowedAreas() != Qt::NoDockWidgetArea ? 1 : 0;
    record.mruDockId = area != nullptr ? area->id : 0;
    setRect(record, bar.geometry());
    setFloatPosition(record, &bar, bar.isFloating());
    return record;
}

BarRecord dockBarRecord(std::uint32_t id, bool horizontal, bool floating, std::vector<std::uint32_t> contained)
{
    BarRecord record;
    record.id = id;
    record.floating = floating ? 1 : 0;
    record.horizontal = horizontal ? 1 : 0;
    record.isDockBar = 1;
    record.dockingAllowed = 0;
    record.contained = std::move(contained);
    return record;
}

// The bars of one area cut into rows: a row holds the bars at the same distance from the
// area's edge (hidden bars keep the place they had when last shown), in order along it.
template <typename Bar>
std::vector<std::vector<Bar*>> rows(std::vector<Bar*> bars, Qt::Orientation along)
{
    auto key = [along](const Bar* bar) {
        const QPoint p = bar->pos();
        return along == Qt::Horizontal ? std::pair(p.y(), p.x()) : std::pair(p.x(), p.y());
    };
    std::stable_sort(bars.begin(), bars.end(), [&key](const Bar* a, const Bar* b) { return key(a) < key(b); });
    std::vector<std::vector<Bar*>> result;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (i == 0 || key(bars[i]).first != key(bars[i - 1]).first) {
            result.emplace_back();
        }
        result.back().push_back(bars[i]);
    }
    return result;
}

template <typename Bar>
void appendRows(std::vector<std::uint32_t>& contained, const std::vector<std::vector<Bar*>>& barRows)
{
    for (const auto& row : barRows) {
        if (!contained.empty()) {
            contained.push_back(0);
        }
        for (const Bar* bar : row) {
            contained.push_back(CIHCOChildFrame::barId(bar));
        }
    }
}

// Rebuilds one docking area from its dock-bar record: tool bars and dock widgets in the listed
// order, a new row after each 0.
void fillArea(QMainWindow& inner, const CIHCOChildFrame& frame, const Area& area,
              const std::vector<std::uint32_t>& contained, std::set<QWidget*>& placed)
{
    bool toolBarsAdded = false;
    bool toolBarBreak = false;
    bool dockBreak = false;
    QDockWidget* previousDock = nullptr;
    for (std::uint32_t id : contained) {
        if (id == 0) {
            toolBarBreak = true;
            dockBreak = true;
            continue;
        }
        QWidget* bar = frame.bar(id);
        if (bar == nullptr || placed.count(bar) != 0) {
            continue;
        }
        placed.insert(bar);
        if (auto* toolBar = qobject_cast<QToolBar*>(bar)) {
            if (toolBarBreak && toolBarsAdded) {
                inner.addToolBarBreak(area.toolBarArea);
            }
            inner.addToolBar(area.toolBarArea, toolBar);
            toolBarsAdded = true;
            toolBarBreak = false;
            continue;
        }
        auto* dock = qobject_cast<QDockWidget*>(bar);
        if (previousDock == nullptr) {
            inner.addDockWidget(area.dockArea, dock, area.along);
        } else if (dockBreak) {
            inner.addDockWidget(area.dockArea, dock, across(area.along));
        } else {
            inner.splitDockWidget(previousDock, dock, area.along);
        }
        previousDock = dock;
        dockBreak = false;
    }
}

// Takes a bar out of the layout (and back from floating) before it is placed again.
void unplug(QMainWindow& inner, QWidget* bar)
{
    if (auto* toolBar = qobject_cast<QToolBar*>(bar)) {
        if (toolBar->isWindow()) {
            toolBar->setWindowFlags(Qt::Widget);
        }
        inner.removeToolBar(toolBar);
        return;
    }
    auto* dock = qobject_cast<QDockWidget*>(bar);
    inner.removeDockWidget(dock);
    dock->setFloating(false);
}

// A bar no dock-bar record places goes back to the area it last docked in.
void placeUnlisted(QMainWindow& inner, QWidget* bar, const BarRecord* record)
{
    const Area* area = record != nullptr ? areaById(record->mruDockId) : nullptr;
    if (auto* toolBar = qobject_cast<QToolBar*>(bar)) {
        inner.addToolBar(area != nullptr ? area->toolBarArea : Qt::TopToolBarArea, toolBar);
        return;
    }
    inner.addDockWidget(area != nullptr ? area->dockArea : Qt::BottomDockWidgetArea, qobject_cast<QDockWidget*>(bar));
}

void makeFloating(QWidget* bar, const BarRecord& record)
{
    const QPoint position(record.x, record.y);
    if (auto* toolBar = qobject_cast<QToolBar*>(bar)) {
        // What a tool bar dragged out of its area becomes: a frameless tool window that keeps
        // its place in the layout for when it docks again.
        toolBar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        toolBar->move(position);
        return;
    }
    // A floating dock widget is a window with a frame: its position is the frame's, the
    // rectangle its inside's, which is what setGeometry() takes.
    auto* dock = qobject_cast<QDockWidget*>(bar);
    dock->setFloating(true);
    const QRect rect = rectOf(record);
    if (rect.isValid()) {
        dock->setGeometry(rect);
    } else {
        dock->move(position);
    }
}

void resizeDocks(QMainWindow& inner, const std::vector<std::pair<QDockWidget*, const BarRecord*>>& docks)
{
    QList<QDockWidget*> list;
    QList<int> widths;
    QList<int> heights;
    for (const auto& [dock, record] : docks) {
        const QRect rect = rectOf(*record);
        if (dock->isHidden() || dock->isFloating() || !rect.isValid()) {
            continue;
        }
        list.append(dock);
        widths.append(rect.width());
        heights.append(rect.height());
    }
    if (list.isEmpty()) {
        return;
    }
    inner.resizeDocks(list, widths, Qt::Horizontal);
    inner.resizeDocks(list, heights, Qt::Vertical);
}

} // namespace

std::vector<BarRecord> BarLayout::capture(const CIHCOChildFrame& frame)
{
    settle(frame);
    const QMainWindow& inner = *frame.inner();
    const std::vector<QToolBar*> toolBars = frame.toolBars();
    const std::vector<QDockWidget*> docks = frame.dockWidgets();

    std::vector<BarRecord> dockBars;
    for (const Area& area : kAreas) {
        std::vector<QToolBar*> areaToolBars;
        for (QToolBar* bar : toolBars) {
            if (!bar->isFloating() && inner.toolBarArea(bar) == area.toolBarArea) {
                areaToolBars.push_back(bar);
            }
        }
        std::vector<QDockWidget*> areaDocks;
        for (QDockWidget* bar : docks) {
            if (!bar->isFloating() && inner.dockWidgetArea(bar) == area.dockArea) {
                areaDocks.push_back(bar);
            }
        }
        std::vector<std::uint32_t> contained;
        appendRows(contained, rows(areaToolBars, area.along));
        appendRows(contained, rows(areaDocks, area.along));
        if (!contained.empty()) {
            dockBars.push_back(dockBarRecord(area.id, area.along == Qt::Horizontal, false, std::move(contained)));
        }
    }
    std::vector<std::uint32_t> floating;
    for (QToolBar* bar : toolBars) {
        if (bar->isFloating()) {
            floating.push_back(CIHCOChildFrame::barId(bar));
        }
    }
    for (QDockWidget* bar : docks) {
        if (bar->isFloating()) {
            floating.push_back(CIHCOChildFrame::barId(bar));
        }
    }
    if (!floating.empty()) {
        dockBars.push_back(dockBarRecord(kDockFloat, true, true, std::move(floating)));
    }

    std::vector<BarRecord> records = std::move(dockBars);
    for (QToolBar* bar : toolBars) {
        records.push_back(toolBarRecord(inner, *bar));
    }
    for (QDockWidget* bar : docks) {
        records.push_back(dockWidgetRecord(inner, *bar));
    }
    return records;
}

bool BarLayout::fits(const CIHCOChildFrame& frame, const workspace::BarState& state)
{
    if (state.records.empty()) {
        return false;
    }
    for (const BarRecord& record : state.records) {
        // Floating records are exempt: the frame makes floating windows when it needs them.
        if (record.floating != 0) {
            continue;
        }
        if (record.isDockBar == 0) {
            if (frame.bar(record.id) == nullptr) {
                return false;
            }
            continue;
        }
        if (areaById(record.id) == nullptr) {
            return false;
        }
        for (std::uint32_t id : record.contained) {
            if (id != 0 && frame.bar(id) == nullptr) {
                return false;
            }
        }
    }
    return true;
}

bool BarLayout::apply(CIHCOChildFrame& frame, const workspace::BarState& state)
{
    if (!fits(frame, state)) {
        return false;
    }
    QMainWindow& inner = *frame.inner();

    std::map<QWidget*, const BarRecord*> barRecords;
    std::vector<QWidget*> named;
    auto name = [&named](QWidget* bar) {
        if (bar != nullptr && std::find(named.begin(), named.end(), bar) == named.end()) {
            named.push_back(bar);
        }
    };
    for (const BarRecord& record : state.records) {
        if (record.isDockBar == 0) {
            QWidget* bar = frame.bar(record.id);
            name(bar);
            if (bar != nullptr) {
                barRecords[bar] = &record;
            }
            continue;
        }
        for (std::uint32_t id : record.contained) {
            name(id != 0 ? frame.bar(id) : nullptr);
        }
    }

    for (QWidget* bar : named) {
        unplug(inner, bar);
    }
    std::set<QWidget*> placed;
    for (const BarRecord& record : state.records) {
        if (record.isDockBar == 0) {
            continue;
        }
        if (const Area* area = areaById(record.id)) {
            fillArea(inner, frame, *area, record.contained, placed);
        }
    }
    for (QWidget* bar : named) {
        if (placed.count(bar) == 0) {
            auto found = barRecords.find(bar);
            placeUnlisted(inner, bar, found != barRecords.end() ? found->second : nullptr);
        }
    }

    std::vector<std::pair<QDockWidget*, const BarRecord*>> docks;
    for (QWidget* bar : named) {
        auto found = barRecords.find(bar);
        if (found == barRecords.end()) {
            bar->show();
            continue;
        }
        const BarRecord& record = *found->second;
        bar->setProperty(kFloatPositionProperty, QPoint(record.mruFloatX, record.mruFloatY));
        if (record.floating != 0) {
            makeFloating(bar, record);
        }
        bar->setVisible(record.visible != 0);
        if (auto* dock = qobject_cast<QDockWidget*>(bar)) {
            docks.emplace_back(dock, &record);
        }
    }
    resizeDocks(inner, docks);
    settle(frame);

    // A hidden bar is not laid out; it keeps the geometry it had when it was saved, which is
    // also where it reappears.
    for (const auto& [bar, record] : barRecords) {
        if (record->visible == 0 && record->floating == 0 && rectOf(*record).isValid()) {
            bar->setGeometry(rectOf(*record));
        }
    }
    return true;
}

} // namespace zeb::framework
