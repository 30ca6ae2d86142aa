#pragma once

#include <QApplication>
#include <QSignalBlocker>
#include <QTabWidget>

#include <cstddef>
#include <vector>

// The pages of a property sheet, one tab each, owned by the sheet. A page is a widget with
// isCreated() (it was shown in this run) and exchange() (writes its controls back; false when a
// field holds a value that cannot be taken).
namespace zeb::framework {

// Removes and deletes the pages; a sheet does so before the record they edit goes.
template <typename Page>
void clearSheetPages(QTabWidget& tabs, std::vector<Page*>& pages)
{
    const QSignalBlocker quiet(&tabs);
    tabs.clear();
    for (Page* page : pages)
        delete page;
    pages.clear();
}

template <typename Page>
Page* sheetPage(const std::vector<Page*>& pages, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= pages.size())
        return nullptr;
    return pages[static_cast<std::size_t>(index)];
}

// Every page shown in this run writes its controls back. The first that refuses comes to the front
// with a beep and the result is false: the sheet stays open for the user to mend the field.
template <typename Page>
bool exchangeShownPages(QTabWidget& tabs, const std::vector<Page*>& pages)
{
    for (Page* page : pages) {
        if (!page->isCreated() || page->exchange())
            continue;
        tabs.setCurrentWidget(page);
        QApplication::beep();
        return false;
    }
    return true;
}

} // namespace zeb::framework
