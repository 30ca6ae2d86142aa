#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::tools::sim {

// How fast captures are played.
struct Pace
{
    enum class Mode { Epoch, Lines, Max };
    Mode mode = Mode::Epoch;
    double linesPerSecond = 10.0; // Lines only
    double bytesPerSecond = 1200.0; // binary captures, except with Max
};

// One piece handed out by the player: a whole sentence line (CR LF included) of an NMEA
// capture, or a chunk of a binary capture. The bytes stay valid as long as the player.
struct Piece
{
    std::string_view bytes;
    bool sentence = false;
    // The first sentence of an epoch (its type is the first type of the log).
    bool epochStart = false;
    std::size_t capture = 0;
};

// Plays captures one after the other and starts again after the last, handing out each
// piece once its time has come. Time is passed in, so the pacing can be driven by a test.
class CapturePlayer
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kChunkMax = 1024;

    explicit CapturePlayer(Pace pace = {})
        : m_pace(pace)
    {
    }

    // Reads a capture file; false with `error` set when it cannot be read or is empty.
    bool load(const std::filesystem::path& path, std::string& error);
    // Adds a capture from memory: a text whose first non-blank byte is '$' is an NMEA log,
    // anything else is sent as raw bytes. Empty captures are ignored.
    void add(std::string_view bytes);

    bool empty() const { return m_pieces.empty(); }
    std::size_t pieceCount() const { return m_pieces.size(); }
    // How many times playback has gone round all the captures.
    std::uint64_t loops() const { return m_loops; }

    // Playback starts (or resumes after a pause) at `now`: the next piece is due then.
    void restart(Clock::time_point now);
    Clock::time_point nextDue() const;
    // The next piece once it is due at `now`, else nothing.
    std::optional<Piece> take(Clock::time_point now);

    // The sentence type: the address field with its "$" ("$GPGGA"), empty for other text.
    static std::string_view sentenceType(std::string_view line);

private:
    struct Stored
    {
        std::size_t offset = 0;
        std::size_t length = 0;
        bool sentence = false;
        bool epochStart = false;
        std::size_t capture = 0;
    };

    void addNmea(std::string_view text, std::size_t capture);
    void addBinary(std::string_view bytes, std::size_t capture, std::size_t base);
    void scheduleNext(const Stored& taken);
    bool isBinary(const Stored& piece) const;

    Pace m_pace;
    std::string m_bytes;
    std::vector<Stored> m_pieces;
    std::size_t m_captures = 0;
    std::vector<bool> m_binary; // per capture
    std::size_t m_next = 0;
    std::uint64_t m_loops = 0;
    bool m_started = false;
    Clock::time_point m_start{};
    double m_elapsed = 0.0; // seconds from m_start to the next piece's due time
    double m_epochBegan = -1.0; // due time of the current epoch's first sentence
};

} // namespace zeb::tools::sim
