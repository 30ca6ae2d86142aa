#pragma once

#include "recorder/widgets/CIHDMPropertyPage.h"

#include <string>

class QTableWidget;
class QTableWidgetItem;

namespace zeb::recorder {

// The ports the recorder listens to: a name, edited in place, and a stream address, edited in the
// connection property sheet. The document's own port belongs to the workspace: it is shown but can be
// neither renamed, readdressed nor removed here.
class CIHDMPropertyPort : public CIHDMPropertyPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_IHDM_PORT";
    // The connection sheet's pages for a port: serial, dual-port RAM, client and file, read only.
    static constexpr const char* kSheetLetters = "SDCFr";

    explicit CIHDMPropertyPort(RecorderSettings& settings, QWidget* parent = nullptr);

    // A new port listens to the client transport on this machine.
    static std::string newPortAddress();

    QTableWidget* table() const { return m_table; }
    void addPort();
    void removeSelected();
    // Opens the connection property sheet on the selected port's address; OK takes the new address.
    void editSelected();

protected:
    void refresh() override;

private:
    void renamed(QTableWidgetItem* item);
    // The selected port when the user may change it.
    RecorderPort* selectedPort();

    QTableWidget* m_table;
};

} // namespace zeb::recorder
