#pragma once

#include "app/framework/CIHCODocument.h"

#include <string>
#include <string_view>

namespace zeb::autotest {

class CIHTLView;

// The automatic test document: the path of its test script. It has no stream of its own; the
// script opens what it needs.
class CIHTLDocument : public framework::CIHCODocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHTL";
    static constexpr const char* kUntitled = "Untitled";

    // The stored path: absolute, or relative to the data folder (an example shipped with the
    // workbench); empty for a new document.
    const std::string& path() const { return m_path; }
    // Sets the path and the title that follows it.
    void setPath(std::string path);
    // The document's view, once its frame exists.
    CIHTLView* view() const;

    // After the common lines: "$PKVR,RPC,IHTL,PATH,"%s"".
    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;

protected:
    bool onNewDocument() override;

private:
    std::string m_path;
};

// Gives the shell the automatic test's document and frame factories for the key "IHTL".
void registerAutomaticTestDocumentType();

} // namespace zeb::autotest
