// One input the recorder listens to: a stream address and the identifier of the stream opened on it.
#pragma once

#include <cstdint>
#include <string>

namespace zeb::recorder {

struct RecorderPort
{
    std::string name;
    std::string address; // a stream address text
    std::uint32_t identifier = 0; // of the stream opened for the port while recording
    bool saved = true; // false for the document's own port, which belongs to the workspace

    bool operator==(const RecorderPort&) const = default;
};

} // namespace zeb::recorder
