#include "recorder/widgets/CIHDMPropertyTrack.h"

#include "recorder/widgets/EntryNames.h"

#include <QListWidget>

namespace zeb::recorder {

CIHDMPropertyTrack::CIHDMPropertyTrack(RecorderSettings& settings, QWidget* parent)
    : CIHDMPropertyPage(settings, kDialog, parent)
    , m_list(new QListWidget(this))
{
    addList(m_list, {{1002, "Add", [this] { addTrack(); }}, {1003, "Remove", [this] { removeSelected(); }}});
    connect(m_list, &QListWidget::itemChanged, this, &CIHDMPropertyTrack::renamed);
}

void CIHDMPropertyTrack::refresh()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const std::string& track : settings().tracks) {
        auto* item = new QListWidgetItem(QString::fromStdString(track), m_list);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void CIHDMPropertyTrack::addTrack()
{
    if (settings().tracks.size() >= RecorderSettings::kMaxTracks) {
        refuse(QStringLiteral("No more than %1 tracks").arg(RecorderSettings::kMaxTracks));
        return;
    }
    settings().tracks.push_back(freeEntryName(settings().tracks, [](const std::string& name) { return name; }));
    refresh();
    m_list->setCurrentRow(m_list->count() - 1);
}

void CIHDMPropertyTrack::removeSelected()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    settings().removeTrack(static_cast<std::size_t>(row));
    refresh();
}

void CIHDMPropertyTrack::renamed(QListWidgetItem* item)
{
    const auto row = static_cast<std::size_t>(m_list->row(item));
    const std::string name = item->text().toStdString();
    if (row >= settings().tracks.size() || name == settings().tracks[row])
        return;
    if (!RecorderSettings::isValidTrackName(name) || settings().findTrack(name) >= 0) {
        refuse(QStringLiteral("\"%1\" cannot name a track: it is empty, taken or holds a comma").arg(item->text()));
    } else {
        settings().tracks[row] = name;
    }
    // Shows the name kept, also when the edit was refused.
    const QSignalBlocker quiet(m_list);
    item->setText(QString::fromStdString(settings().tracks[row]));
}

} // namespace zeb::recorder
