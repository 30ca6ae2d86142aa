#pragma once

#include "app/framework/CIHCOStreamDocument.h"

#include <memory>
#include <string>

namespace zeb::framework {
class CIHCOTemplate;
}

namespace zeb::app::test {

// A document type for the shell's tests: a stream document with a note of its own, in a
// frame with two tool bars and a dock widget.
class TestDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kFirstToolBar = 1001;
    static constexpr std::uint32_t kSecondToolBar = 1002;
    static constexpr std::uint32_t kDock = 1003;

    std::string note;

    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;
};

// Templates "TEST" (needs the connection, command 33410) and "TSNG" (single, command 33411).
std::unique_ptr<framework::CIHCOTemplate> makeTestTemplate(bool single);

} // namespace zeb::app::test
