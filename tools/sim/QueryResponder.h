#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::tools::sim {

class HeadingSimulator;
class TraceModel;

// Answers what a host asks a receiver: "$ECGPQ,GSA" and "$ECGPQ,GSV" with the latest such
// sentences that were played, "$PKVR,SVDSEL" with the elevation mask, other "$PKVR," commands
// with an acknowledgement. Sentences are
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

    // The receiver's debug trace, which answers the trace commands before anything else does; none by default.
    void setTrace(TraceModel* trace) { m_trace = trace; }
    TraceModel* trace() const { return m_trace; }
    static constexpr double kDefaultMask = 10.0;
    // The elevation mask in degrees that "$PKVR,SVDSEL" is answered with.
    void setMask(double degrees) { m_mask = degrees; }
    // The receiver's heading, which answers the heading commands next; none by default.
    void setHeading(HeadingSimulator* heading) { m_heading = heading; }
    HeadingSimulator* heading() const { return m_heading; }

private:
    struct Group
    {
        std::uint64_t epoch = 0;
        std::vector<std::string> sentences;
    };

    static void note(Group& group, std::uint64_t epoch, std::string_view sentence);
    static std::string joined(const Group& group);

    TraceModel* m_trace = nullptr;
    double m_mask = kDefaultMask;
    HeadingSimulator* m_heading = nullptr;
    mutable std::mutex m_mutex;
    std::uint64_t m_epoch = 0;
    Group m_gsa;
    Group m_gsv;
    Group m_gsvComplete;
};

} // namespace zeb::tools::sim
