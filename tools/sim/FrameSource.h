#pragma once

#include "messages/GnssTime.h"
#include "messages/MessageKind.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::tools::sim {

// Receiver frames the captures lack, to play between their sentences: binary 'A', 'E', 'S',
// 'U' and 'R' messages, the '!' text form of each, and UHF 'C' and 'X' frames. Each is built as
// a message and written by its codec; the members whose codecs only read ('R' and the UHF
// frames) are assembled from their fields and must decode through their codec before use.
//
// The frames come in a fixed cycle (kRoundFrames a round). Each round is one second later and
// varies the values, and every binary frame carries bytes from 0xFD up, so a line that escapes
// them has something to escape. A test that knows the start time knows every frame that
// follows: a second source with Escapes::Off gives them as a framer hands them out.
// The codecs it writes with are its own: they join the process-wide list like any codec but are
// never published, so no lease hands them to another thread.
class FrameSource
{
public:
    static constexpr std::size_t kRoundFrames = 12;
    // On: binary frames as a serial line carries them, each inner byte from 0xFD up as 0xFD and
    // its distance from 0xFD. Off: as a receiver sends them over TCP.
    enum class Escapes { On, Off };

    explicit FrameSource(Escapes escapes = Escapes::On, messages::GnssTime start = {2301, 345600.0});
    ~FrameSource();
    FrameSource(const FrameSource&) = delete;
    FrameSource& operator=(const FrameSource&) = delete;

    // The next frame of the cycle, as it goes on the line; valid until the next call.
    std::string_view next();
    // After next(): that frame as a framer hands it out (binary frames without their escapes), and its kind.
    std::string_view message() const { return m_round[m_index]; }
    messages::MessageKind kind() const;
    std::uint64_t rounds() const { return m_rounds; }

    static std::string escaped(std::string_view binaryFrame);

private:
    struct Codecs;

    void buildRound();

    Escapes m_escapes;
    messages::GnssTime m_start;
    std::unique_ptr<Codecs> m_codecs;
    std::vector<std::string> m_round;
    std::size_t m_index = kRoundFrames - 1;
    std::uint64_t m_rounds = 0;
    std::string m_wire;
};

} // namespace zeb::tools::sim
