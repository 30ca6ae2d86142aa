#include "CapturePlayer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace zeb::tools::sim {

namespace {

// A log whose first line that is neither blank nor a "#" comment is a sentence.
bool looksLikeNmea(std::string_view bytes)
{
    for (;;) {
        const auto first = bytes.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos)
            return false;
        if (bytes[first] != '#')
            return bytes[first] == '$';
        const auto end = bytes.find('\n', first);
        if (end == std::string_view::npos)
            return false;
        bytes.remove_prefix(end + 1);
    }
}

} // namespace

bool CapturePlayer::load(const std::filesystem::path& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path.string() + ": " + std::strerror(errno);
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        error = path.string() + ": empty capture";
        return false;
    }
    add(bytes);
    return true;
}

void CapturePlayer::add(std::string_view bytes)
{
    if (bytes.empty())
        return;
    const std::size_t base = m_bytes.size();
    const std::size_t capture = m_captures++;
    m_binary.push_back(!looksLikeNmea(bytes));
    if (m_binary.back())
        addBinary(bytes, capture, base);
    else
        addNmea(bytes, capture);
}

void CapturePlayer::addNmea(std::string_view text, std::size_t capture)
{
    std::string_view epochType;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        // Blank lines and the comments some logs carry are no receiver output.
        if (line.empty() || line.front() == '#')
            continue;
        Stored piece;
        piece.offset = m_bytes.size();
        piece.length = line.size() + 2;
        piece.capture = capture;
        piece.sentence = line.front() == '$';
        const auto type = sentenceType(line);
        if (epochType.empty() && !type.empty())
            epochType = type;
        piece.epochStart = !type.empty() && type == epochType;
        m_bytes.append(line);
        m_bytes.append("\r\n");
        m_pieces.push_back(piece);
    }
}

void CapturePlayer::addBinary(std::string_view bytes, std::size_t capture, std::size_t base)
{
    // With a byte rate, chunks of a tenth of a second keep the flow smooth.
    std::size_t chunk = kChunkMax;
    if (m_pace.mode != Pace::Mode::Max && m_pace.bytesPerSecond > 0)
        chunk = std::clamp<std::size_t>(static_cast<std::size_t>(m_pace.bytesPerSecond / 10.0), 1, kChunkMax);
    m_bytes.append(bytes);
    for (std::size_t offset = 0; offset < bytes.size(); offset += chunk) {
        Stored piece;
        piece.offset = base + offset;
        piece.length = std::min(chunk, bytes.size() - offset);
        piece.capture = capture;
        m_pieces.push_back(piece);
    }
}

std::string_view CapturePlayer::sentenceType(std::string_view line)
{
    if (line.size() < 2 || line.front() != '$')
        return {};
    const auto end = line.find_first_of(",*\r\n");
    return line.substr(0, end == std::string_view::npos ? line.size() : end);
}

void CapturePlayer::restart(Clock::time_point now)
{
    m_started = true;
    m_start = now;
    m_elapsed = 0.0;
    m_epochBegan = -1.0;
}

CapturePlayer::Clock::time_point CapturePlayer::nextDue() const
{
    return m_start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(m_elapsed));
}

void CapturePlayer::scheduleNext(const Stored& taken)
{
    if (m_pace.mode == Pace::Mode::Max)
        return;
    if (isBinary(taken)) {
        if (m_pace.bytesPerSecond > 0)
            m_elapsed += static_cast<double>(taken.length) / m_pace.bytesPerSecond;
        return;
    }
    if (m_pace.mode == Pace::Mode::Lines) {
        if (m_pace.linesPerSecond > 0)
            m_elapsed += 1.0 / m_pace.linesPerSecond;
        return;
    }
    // Epoch pace: the rest of an epoch follows at once, the next epoch one second after this one began.
    const Stored& next = m_pieces[m_next];
    if (next.epochStart && !isBinary(next))
        m_elapsed = std::max(m_elapsed, m_epochBegan + 1.0);
}

bool CapturePlayer::isBinary(const Stored& piece) const
{
    return m_binary[piece.capture];
}

std::optional<Piece> CapturePlayer::take(Clock::time_point now)
{
    if (m_pieces.empty())
        return std::nullopt;
    if (!m_started)
        restart(now);
    if (now < nextDue())
        return std::nullopt;
    const Stored& stored = m_pieces[m_next];
    if (stored.epochStart)
        m_epochBegan = m_elapsed;
    if (++m_next == m_pieces.size()) {
        m_next = 0;
        ++m_loops;
    }
    scheduleNext(stored);
    Piece piece;
    piece.bytes = std::string_view(m_bytes).substr(stored.offset, stored.length);
    piece.sentence = stored.sentence;
    piece.epochStart = stored.epochStart;
    piece.capture = stored.capture;
    return piece;
}

} // namespace zeb::tools::sim
