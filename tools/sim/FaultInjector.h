#pragma once

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace zeb::tools::sim {

struct FaultSettings
{
    double dropAfterSeconds = 0; // 0: never close a connection
    double stallSeconds = 0; // 0: never stall
    double stallEverySeconds = 10;
    double garbageRate = 0; // probability of garbage before a piece
    double corruptFraction = 0; // fraction of checksummed sentences sent with a wrong checksum
    std::uint64_t seed = 1;
};

// The faults a real link shows, made reproducible by a seeded generator.
class FaultInjector
{
public:
    static constexpr std::size_t kGarbageMax = 16;

    explicit FaultInjector(const FaultSettings& settings);

    const FaultSettings& settings() const { return m_settings; }

    // The bytes to send for one piece: perhaps garbage first, then the piece, with its
    // checksum altered for the requested fraction of checksummed sentences. The corrupted
    // count after n such sentences is floor(n * fraction + phase), the phase drawn from
    // the seed, so the fraction holds exactly while which sentences suffer varies.
    std::string apply(std::string_view piece, bool sentence);

    // Sending pauses for stallSeconds at the end of every stallEverySeconds period.
    bool stalled(std::chrono::duration<double> sincePlayStart) const;
    // A connection made `connectedFor` ago is due to be closed.
    bool dropDue(std::chrono::duration<double> connectedFor) const;

    std::uint64_t corrupted() const { return m_corrupted; }
    std::uint64_t garbageBursts() const { return m_garbage; }

private:
    bool takeCorruption();
    void appendGarbage(std::string& out);

    FaultSettings m_settings;
    std::mt19937_64 m_random;
    double m_credit = 0;
    std::uint64_t m_corrupted = 0;
    std::uint64_t m_garbage = 0;
};

} // namespace zeb::tools::sim
