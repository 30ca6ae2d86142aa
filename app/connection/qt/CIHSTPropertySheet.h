#pragma once

#include "stream/StreamAddress.h"

#include <QDialog>

#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QTabWidget;

namespace zeb::connection {

class CIHSTPage;

// What a connection talks to: up to four pages, one per transport kind, editing one StreamAddress
// record as a whole. The sheet works on its own copy of the record; the caller loads it before the
// run and takes it back after a confirmed run.
class CIHSTPropertySheet : public QDialog
{
    Q_OBJECT

public:
    // The pages in use, as flags.
    enum PageFlag : unsigned {
        SerialPage = 2,
        DpramPage = 4,
        ClientPage = 8,
        FilePage = 16,
    };

    explicit CIHSTPropertySheet(QWidget* parent = nullptr);
    ~CIHSTPropertySheet() override;

    void setAddress(const stream::StreamAddress& address) { m_record = address; }
    const stream::StreamAddress& address() const { return m_record; }
    // Whether a connection that drops is opened again by itself.
    void setReconnect(bool on);
    bool reconnect() const;

    // Builds the pages the letters ask for ("S" serial, "D" dual-port RAM, "C" client, "F" file, in
    // that order; the whole text is the file page's mode) and opens the page of the record's type, or
    // the first page when that one is not in use.
    void prepare(std::string_view letters);
    // prepare() and run modally: QDialog::Accepted (1) when confirmed.
    int run(std::string_view letters);

    unsigned pagesInUse() const { return m_inUse; }
    const std::string& letters() const { return m_letters; }
    QTabWidget* tabs() const { return m_tabs; }
    int pageCount() const;
    CIHSTPage* page(int index) const;
    CIHSTPage* pageOfType(stream::StreamType type) const;
    // Shows a page, as clicking its tab does.
    void showPage(int index);

    // Every page shown in this run writes its controls into the record; a page whose field holds no
    // valid value comes to the front and the sheet stays open.
    void accept() override;

private:
    void clearPages();
    void addPage(CIHSTPage* page, unsigned flag);
    void pageShown(int index);

    stream::StreamAddress m_record;
    std::string m_letters;
    unsigned m_inUse = 0;
    QTabWidget* m_tabs;
    QCheckBox* m_reconnect;
    QDialogButtonBox* m_buttons;
    std::vector<CIHSTPage*> m_pages;
};

} // namespace zeb::connection
