#pragma once

#include "recorder/widgets/CIHDMPropertyPage.h"

class QListWidget;
class QListWidgetItem;

namespace zeb::recorder {

// The tracks, by name: the tag written into each record. A name is edited in place and checked at once;
// removing a track removes the filters writing to it.
class CIHDMPropertyTrack : public CIHDMPropertyPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_IHDM_TRACK";

    explicit CIHDMPropertyTrack(RecorderSettings& settings, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    void addTrack();
    void removeSelected();

protected:
    void refresh() override;

private:
    void renamed(QListWidgetItem* item);

    QListWidget* m_list;
};

} // namespace zeb::recorder
