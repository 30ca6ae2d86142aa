#include "recorder/widgets/CIHDMPropertyFilter.h"

#include "app/language/qt/Resources.h"

#include <QComboBox>
#include <QTableWidget>

#include <array>
#include <string>

namespace zeb::recorder {
namespace {

// By message selection code (RecordForm.h).
constexpr std::array<const char*, RecorderFilter::kSelections> kSelectionNames = {
    "All messages",       "Binary A, E, R, S, U", "Binary measurements", "Binary almanacs",
    "Binary ephemerides", "Binary health",        "Binary ionosphere",   "Text A, E, R, S, U and UHF C, P, T",
    "UHF LRK (T)",        "UHF phase (P)",        "UHF code (C)",        "Nothing",
    "Sentences",
};
// By output form code.
constexpr std::array<const char*, RecorderFilter::kForms> kFormNames = {"Off", "As received", "Binary", "Text"};

template <std::size_t N>
QStringList namesOf(const char* group, const std::array<const char*, N>& fallbacks)
{
    QStringList names;
    for (std::size_t i = 0; i < N; ++i) {
        const std::string key = std::string(group) + "/" + std::to_string(i);
        names << language::Resources::text(key.c_str(), QString::fromLatin1(fallbacks[i]));
    }
    return names;
}

template <typename Entry, typename NameOf>
QStringList namesOf(const std::vector<Entry>& entries, NameOf nameOf)
{
    QStringList names;
    for (const Entry& entry : entries)
        names << QString::fromStdString(nameOf(entry));
    return names;
}

} // namespace

CIHDMPropertyFilter::CIHDMPropertyFilter(RecorderSettings& settings, QWidget* parent)
    : CIHDMPropertyPage(settings, kDialog, parent)
    , m_table(newTable({"On", "Port", "Messages", "Written as", "Track"}))
{
    addList(m_table, {{1002, "Add", [this] { addFilter(); }}, {1003, "Remove", [this] { removeSelected(); }}});
}

QComboBox* CIHDMPropertyFilter::cell(int row, Column column) const
{
    return qobject_cast<QComboBox*>(m_table->cellWidget(row, column));
}

QComboBox* CIHDMPropertyFilter::makeCell(int row, Column column, const QStringList& names, std::size_t value)
{
    auto* box = new QComboBox;
    box->addItems(names);
    box->setCurrentIndex(static_cast<int>(value));
    m_table->setCellWidget(row, column, box);
    connect(box, &QComboBox::currentIndexChanged, this,
            [this, row, column](int index) { changed(row, column, index); });
    return box;
}

void CIHDMPropertyFilter::refresh()
{
    const RecorderSettings& values = settings();
    const QStringList ports = namesOf(values.ports, [](const RecorderPort& port) { return port.name; });
    const QStringList tracks = namesOf(values.tracks, [](const std::string& track) { return track; });
    const QStringList selections = namesOf("IHDM_SELECTION", kSelectionNames);
    const QStringList forms = namesOf("IHDM_FORM", kFormNames);
    const QStringList onOff = {text(2010, QStringLiteral("No")), text(2011, QStringLiteral("Yes"))};
    m_table->setRowCount(0);
    m_table->setRowCount(static_cast<int>(values.filters.size()));
    for (std::size_t i = 0; i < values.filters.size(); ++i) {
        const RecorderFilter& filter = values.filters[i];
        const int row = static_cast<int>(i);
        makeCell(row, Enabled, onOff, filter.enabled ? 1 : 0);
        makeCell(row, Port, ports, filter.port);
        makeCell(row, Selection, selections, filter.selection);
        makeCell(row, Form, forms, filter.form);
        makeCell(row, Track, tracks, filter.track);
    }
}

void CIHDMPropertyFilter::changed(int row, Column column, int value)
{
    auto& filters = settings().filters;
    if (row < 0 || static_cast<std::size_t>(row) >= filters.size() || value < 0)
        return;
    RecorderFilter& filter = filters[static_cast<std::size_t>(row)];
    const auto index = static_cast<std::size_t>(value);
    switch (column) {
    case Enabled:
        filter.enabled = value != 0;
        break;
    case Port:
        filter.port = index;
        break;
    case Selection:
        filter.selection = static_cast<std::uint32_t>(value);
        break;
    case Form:
        filter.form = static_cast<std::uint32_t>(value);
        break;
    case Track:
        filter.track = index;
        break;
    case Columns:
        break;
    }
}

void CIHDMPropertyFilter::addFilter()
{
    RecorderSettings& values = settings();
    if (values.ports.empty() || values.tracks.empty()) {
        refuse(QStringLiteral("A filter needs a port and a track: add them first"));
        return;
    }
    if (values.filters.size() >= RecorderSettings::kMaxFilters) {
        refuse(QStringLiteral("No more than %1 filters").arg(RecorderSettings::kMaxFilters));
        return;
    }
    values.filters.push_back(RecorderFilter{true, 0, 0, 1, 0});
    refresh();
    m_table->selectRow(m_table->rowCount() - 1);
}

void CIHDMPropertyFilter::removeSelected()
{
    const int row = m_table->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= settings().filters.size())
        return;
    settings().filters.erase(settings().filters.begin() + row);
    refresh();
}

} // namespace zeb::recorder
