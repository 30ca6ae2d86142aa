#pragma once

#include "recorder/settings/RecorderSettings.h"
#include "recorder/widgets/CIHDMPropertyFile.h"
#include "recorder/widgets/CIHDMPropertySchedule.h"

#include <QDialog>

#include <vector>

class QDialogButtonBox;
class QTabWidget;

namespace zeb::recorder {

class CIHDMPropertyPage;

// The recorder's properties: ports, tracks, filters, file and schedule pages editing one copy of the
// settings. The caller loads the copy before the run and takes it back only after a confirmed run, so
// Cancel leaves the recorder as it was.
class CIHDMPropertySheet : public QDialog
{
    Q_OBJECT

public:
    // The clocks the schedule page reads phrases at and the file page names files with.
    struct Clocks
    {
        CIHDMPropertySchedule::Clock schedule;
        CIHDMPropertyFile::Clock file;
    };

    explicit CIHDMPropertySheet(QWidget* parent = nullptr, Clocks clocks = {});
    ~CIHDMPropertySheet() override;

    // Builds fresh pages on a copy of `settings` and shows the first.
    void prepare(const RecorderSettings& settings);
    // prepare() and run modally: QDialog::Accepted when confirmed.
    int run(const RecorderSettings& settings);
    const RecorderSettings& settings() const { return m_settings; }

    QTabWidget* tabs() const { return m_tabs; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    CIHDMPropertyPage* page(int index) const;
    template <typename Page>
    Page* pageOf() const
    {
        for (CIHDMPropertyPage* page : m_pages) {
            if (auto* typed = qobject_cast<Page*>(page))
                return typed;
        }
        return nullptr;
    }
    // Shows a page, as clicking its tab does.
    void showPage(int index);

    // Every page shown in this run writes its controls into the copy; a page refusing a field comes to
    // the front and the sheet stays open.
    void accept() override;

private:
    void clearPages();
    void addPage(CIHDMPropertyPage* page, const QString& fallbackCaption);
    void pageShown(int index);

    Clocks m_clocks;
    RecorderSettings m_settings;
    QTabWidget* m_tabs;
    QDialogButtonBox* m_buttons;
    std::vector<CIHDMPropertyPage*> m_pages;
};

} // namespace zeb::recorder
