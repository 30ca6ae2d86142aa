#include "QueryResponder.h"

#include "HeadingSimulator.h"
#include "TraceModel.h"
#include "messages/Checksum.h"
#include "text/Format.h"

namespace zeb::tools::sim {

namespace {

std::string_view trimmed(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.remove_suffix(1);
    const auto star = line.find('*');
    return star == std::string_view::npos ? line : line.substr(0, star);
}

// "GSA" of "$GPGSA,..." (any talker); empty for other text.
std::string_view formatter(std::string_view sentence)
{
    if (sentence.size() < 6 || sentence.front() != '$' || (sentence.size() > 6 && sentence[6] != ','))
        return {};
    return sentence.substr(3, 3);
}

// "$GPGSV,<count>,<number>,...": the number equals the count on the last sentence of a group.
bool endsGroup(std::string_view sentence)
{
    const auto first = sentence.find(',');
    if (first == std::string_view::npos)
        return false;
    const auto second = sentence.find(',', first + 1);
    if (second == std::string_view::npos)
        return false;
    const auto third = sentence.find(',', second + 1);
    const auto count = sentence.substr(first + 1, second - first - 1);
    const auto number = sentence.substr(second + 1, third == std::string_view::npos ? 0 : third - second - 1);
    return !count.empty() && count == number;
}

} // namespace

void QueryResponder::observe(std::string_view sentence, bool epochStart)
{
    const std::lock_guard lock(m_mutex);
    if (epochStart)
        ++m_epoch;
    const auto kind = formatter(sentence);
    if (kind == "GSA")
        note(m_gsa, m_epoch, sentence);
    else if (kind == "GSV") {
        note(m_gsv, m_epoch, sentence);
        if (endsGroup(sentence))
            m_gsvComplete = m_gsv;
    }
}

void QueryResponder::note(Group& group, std::uint64_t epoch, std::string_view sentence)
{
    // The first such sentence of an epoch replaces the previous epoch's group.
    if (group.epoch != epoch) {
        group.sentences.clear();
        group.epoch = epoch;
    }
    std::string kept(sentence);
    while (!kept.empty() && (kept.back() == '\r' || kept.back() == '\n'))
        kept.pop_back();
    kept.append("\r\n");
    group.sentences.push_back(std::move(kept));
}

std::string QueryResponder::joined(const Group& group)
{
    std::string out;
    for (const auto& sentence : group.sentences)
        out.append(sentence);
    return out;
}

std::string QueryResponder::answer(std::string_view line) const
{
    if (m_trace) {
        if (auto answer = m_trace->answer(line))
            return std::move(*answer);
    }
    if (m_heading) {
        if (std::string reply = m_heading->answer(line); !reply.empty())
            return reply;
    }
    const auto body = trimmed(line);
    if (body == "$ECGPQ,GSA") {
        const std::lock_guard lock(m_mutex);
        return joined(m_gsa);
    }
    if (body == "$ECGPQ,GSV") {
        const std::lock_guard lock(m_mutex);
        return joined(m_gsvComplete.sentences.empty() ? m_gsv : m_gsvComplete);
    }
    if (body == "$PKVR,SVDSEL") {
        std::string mask = text::format("$PKVR,SVDSEL,%.1f", m_mask);
        messages::appendNmeaChecksum(mask);
        return mask;
    }
    constexpr std::string_view kPrefix = "$PKVR,";
    if (body.substr(0, kPrefix.size()) != kPrefix || body.substr(0, 14) == "$PKVR,RPC,PING")
        return {};
    // Acknowledgements are no commands: answering them would let two simulators chat forever.
    auto command = body.substr(kPrefix.size());
    command = command.substr(0, command.find(','));
    if (command.empty() || command == "ACK")
        return {};
    return acknowledgement(command);
}

std::string QueryResponder::acknowledgement(std::string_view command)
{
    std::string out = "$PKVR,ACK,";
    out.append(command);
    messages::appendNmeaChecksum(out);
    return out;
}

} // namespace zeb::tools::sim
