#include "recorder/files/RecordFrame.h"

#include "recorder/files/LittleEndian.h"

#include <cstring>

namespace zeb::recorder {

using stream::rpc::RequestFrame;

std::size_t RecordFrame::build(RecordHeader header, std::span<const std::uint8_t> data, std::span<std::uint8_t> out)
{
    if (data.size() > kMaxData || sizeFor(data.size()) > out.size())
        return 0;
    header.length = static_cast<std::uint32_t>(data.size());
    std::uint8_t* payload = out.data() + RequestFrame::kHeaderSize;
    putWord(payload, kCode);
    putWord(payload + 4, RecordHeader::kSize);
    header.encode(std::span<std::uint8_t, RecordHeader::kSize>(payload + 8, RecordHeader::kSize));
    putWord(payload + 8 + RecordHeader::kSize, header.length);
    if (!data.empty())
        std::memcpy(payload + kPayloadOverhead, data.data(), data.size());
    return RequestFrame::seal(kKind, 0, kPayloadOverhead + data.size(), out);
}

std::optional<RecordFrame::View> RecordFrame::parse(std::span<const std::uint8_t> frame)
{
    const auto request = RequestFrame::parse(frame, kMaxSize);
    if (!request || request->kind != kKind || request->payload.size() < kPayloadOverhead)
        return std::nullopt;
    const std::uint8_t* payload = request->payload.data();
    if (getWord(payload) != kCode || getWord(payload + 4) != RecordHeader::kSize)
        return std::nullopt;
    const RecordHeader header
        = RecordHeader::decode(std::span<const std::uint8_t, RecordHeader::kSize>(payload + 8, RecordHeader::kSize));
    const std::size_t length = getWord(payload + 8 + RecordHeader::kSize);
    if (length != request->payload.size() - kPayloadOverhead || length != header.length)
        return std::nullopt;
    return View{header, request->payload.subspan(kPayloadOverhead)};
}

} // namespace zeb::recorder
