#include "FaultInjector.h"

#include <algorithm>
#include <cmath>

namespace zeb::tools::sim {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The position of the two checksum digits of a sentence, or npos.
std::size_t checksumAt(std::string_view piece)
{
    const auto star = piece.rfind('*');
    if (star == std::string_view::npos || piece.size() < star + 3)
        return std::string_view::npos;
    if (hexValue(piece[star + 1]) < 0 || hexValue(piece[star + 2]) < 0)
        return std::string_view::npos;
    return star + 1;
}

} // namespace

FaultInjector::FaultInjector(const FaultSettings& settings)
    : m_settings(settings)
    , m_random(settings.seed)
{
    m_settings.corruptFraction = std::clamp(m_settings.corruptFraction, 0.0, 1.0);
    m_settings.garbageRate = std::clamp(m_settings.garbageRate, 0.0, 1.0);
    if (m_settings.corruptFraction > 0)
        m_credit = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
}

std::string FaultInjector::apply(std::string_view piece, bool sentence)
{
    std::string out;
    out.reserve(piece.size() + kGarbageMax);
    if (m_settings.garbageRate > 0 && std::bernoulli_distribution(m_settings.garbageRate)(m_random))
        appendGarbage(out);
    const std::size_t digits = sentence ? checksumAt(piece) : std::string_view::npos;
    const std::size_t start = out.size();
    out.append(piece);
    if (digits == std::string_view::npos || !takeCorruption())
        return out;
    const int value = hexValue(piece[digits]) * 16 + hexValue(piece[digits + 1]);
    const int wrong = value ^ std::uniform_int_distribution<int>(1, 255)(m_random);
    constexpr char kHex[] = "0123456789ABCDEF";
    out[start + digits] = kHex[(wrong >> 4) & 0xF];
    out[start + digits + 1] = kHex[wrong & 0xF];
    ++m_corrupted;
    return out;
}

bool FaultInjector::takeCorruption()
{
    if (m_settings.corruptFraction <= 0)
        return false;
    m_credit += m_settings.corruptFraction;
    if (m_credit < 1.0)
        return false;
    m_credit -= 1.0;
    return true;
}

void FaultInjector::appendGarbage(std::string& out)
{
    // Printable noise without '$': it corrupts the line it lands in front of without
    // starting a frame of its own, as line noise on a serial link mostly does.
    const auto count = std::uniform_int_distribution<std::size_t>(1, kGarbageMax)(m_random);
    std::uniform_int_distribution<int> byte(0x21, 0x7E);
    for (std::size_t i = 0; i < count; ++i) {
        int c = byte(m_random);
        if (c == '$')
            c = '#';
        out.push_back(static_cast<char>(c));
    }
    ++m_garbage;
}

bool FaultInjector::stalled(std::chrono::duration<double> sincePlayStart) const
{
    if (m_settings.stallSeconds <= 0 || m_settings.stallEverySeconds <= 0)
        return false;
    const double period = m_settings.stallEverySeconds + m_settings.stallSeconds;
    const double phase = std::fmod(std::max(0.0, sincePlayStart.count()), period);
    return phase >= m_settings.stallEverySeconds;
}

bool FaultInjector::dropDue(std::chrono::duration<double> connectedFor) const
{
    return m_settings.dropAfterSeconds > 0 && connectedFor.count() >= m_settings.dropAfterSeconds;
}

} // namespace zeb::tools::sim
