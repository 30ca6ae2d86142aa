#include "remote-display/core/PanelRequests.h"

#include "remote-display/core/DisplayInterpreter.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"

#include <algorithm>
#include <initializer_list>

namespace zeb::remote_display {

namespace {

bool sendWords(stream::IOSTStream& stream, std::initializer_list<std::uint32_t> words)
{
    if (!stream.isOpen())
        return false;
    stream::rpc::RemoteFileRequest record;
    record.beginWrite();
    for (const std::uint32_t word : words)
        record.appendWord(word);
    return stream::rpc::RemoteRequests::send(stream, record, stream::rpc::request_kind::Record)
        == stream::StreamStatus::Ok;
}

} // namespace

bool PanelRequests::sendKey(stream::IOSTStream& stream, std::uint32_t code)
{
    return sendWords(stream, {kKey, code});
}

bool PanelRequests::sendClick(stream::IOSTStream& stream, int x, int y)
{
    const auto px = static_cast<std::uint32_t>(std::clamp(x, 0, DisplayInterpreter::kWidth - 1));
    const auto py = static_cast<std::uint32_t>(std::clamp(y, 0, DisplayInterpreter::kHeight - 1));
    return sendWords(stream, {kClick, 1, px, py});
}

bool PanelRequests::sendStep(stream::IOSTStream& stream, bool up)
{
    return sendWords(stream, {up ? kStepUp : kStepDown});
}

bool PanelRequests::sendSentence(stream::IOSTStream& stream, std::string_view sentence)
{
    if (!stream.isOpen())
        return false;
    return stream.write(sentence, 0, stream::IOSTStream::kDefaultRetryDelayMs, true) == sentence.size();
}

} // namespace zeb::remote_display
