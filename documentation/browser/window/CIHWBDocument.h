#pragma once

#include "app/framework/CIHCODocument.h"

#include <functional>
#include <string>
#include <string_view>

namespace zeb::documentation {

class DocumentationRoots;

// The documentation browser's document: the address it shows. It has no stream. Local
// addresses are resolved to the current language and shown only when they lie in a
// documentation folder; web addresses go to the desktop's browser.
class CIHWBDocument : public framework::CIHCODocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHWB";

    // How web addresses leave the workbench; the desktop's browser unless a test puts its own.
    using ExternalOpener = std::function<void(const std::string& address)>;
    static void setExternalOpener(ExternalOpener opener);
    static void openExternally(const std::string& address);

    const std::string& address() const { return m_address; }
    // The introduction page in the current language (English when it has none).
    static std::string homeAddress();

    // Resolves `address` and shows the result: a web address is handed out and the page stays;
    // a local one outside the documentation folders shows the introduction instead, with a
    // note on the status bar.
    void setAddress(std::string_view address);

    // After the common lines: "$PKVR,RPC,IHWB,URL,"%s"".
    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;

signals:
    void addressChanged(const QString& address);
    // Why an address was not shown as asked, for the status bar.
    void notice(const QString& text);

protected:
    bool onNewDocument() override;

private:
    std::string m_address;
};

// Gives the shell the browser's document and frame factories for the key "IHWB".
void registerBrowserDocumentType();

} // namespace zeb::documentation
