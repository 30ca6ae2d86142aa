#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::tools::sim {

// Answers what a host asks a receiver: "$ECGPQ,GSA" and "$ECGPQ,GSV" with the latest such
// sentences that were played, other "$PKVR," commands with an acknowledgement. Sentences are
// observed on the playing thread and queries answered on a receive thread, so both lock.
class QueryResponder
{
public:
    // Notes a sentence that was sent (with or without CR LF); `epochStart` opens a new epoch.
    void observe(std::string_view sentence, bool epochStart);

    // The answer to a received line (CR LF and checksum optional), empty when there is none:
    // the GSA sentences of the latest epoch that had any; the latest GSV group whose last
    // sentence (message number equal to the count) was played, else the group so far; or
    // "$PKVR,ACK,<command>*hh\r\n" for a "$PKVR,<command>,..." line. Pings are the stream's.
    std::string answer(std::string_view line) const;

    static std::string acknowledgement(std::string_view command);

    // Asked first, in the order added, before the answers above; the first non-empty answer is
    // the one sent. Added before the responder serves anyone.
    using Answerer = std::function<std::string(std::string_view line)>;
    void addAnswerer(Answerer answerer) { m_answerers.push_back(std::move(answerer)); }

private:
    struct Group
    {
        std::uint64_t epoch = 0;
        std::vector<std::string> sentences;
    };

    static void note(Group& group, std::uint64_t epoch, std::string_view sentence);
    static std::string joined(const Group& group);

    std::vector<Answerer> m_answerers;
    mutable std::mutex m_mutex;
    std::uint64_t m_epoch = 0;
    Group m_gsa;
    Group m_gsv;
    Group m_gsvComplete;
};

} // namespace zeb::tools::sim
