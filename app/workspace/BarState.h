#pragma once

#include "app/workspace/BarRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::workspace {

// The docking-bar layout of one document window: its records and whether a BAR line was read.
class BarState
{
public:
    std::vector<BarRecord> records;
    bool loaded = false;

    // "$PKVR,RPC,BAR,COUNT,..." / "SCREEN" / record lines. A record line appends its record
    // and marks the state loaded; COUNT and SCREEN are accepted and not used.
    bool handleLine(std::string_view line);
    // The COUNT line, the SCREEN line with the given size, one line per record.
    void writeLines(stream::IOSTStream& stream, int screenWidth, int screenHeight) const;
    // The same lines as text, for callers that do not write to a stream.
    std::string lines(int screenWidth, int screenHeight) const;
    static std::string recordLine(const BarRecord& record);
};

} // namespace zeb::workspace
