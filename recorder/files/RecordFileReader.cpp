#include "recorder/files/RecordFileReader.h"

#include "stream/rpc/RequestFrame.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zeb::recorder {

using stream::rpc::RequestFrame;

RecordFileReader::RecordFileReader(std::FILE* file)
    : m_file(file)
    , m_buffer(std::make_unique<RecordFrame::Buffer>())
{
    m_aheadCount = m_file ? std::fread(m_ahead, 1, sizeof m_ahead, m_file) : 0;
    m_readError = !m_file || std::ferror(m_file);
    m_framed = m_aheadCount == 2 && m_ahead[0] == 0xFE && m_ahead[1] == 'x';
}

std::size_t RecordFileReader::take(std::uint8_t* out, std::size_t count)
{
    std::size_t got = std::min(count, m_aheadCount - m_aheadUsed);
    std::memcpy(out, m_ahead + m_aheadUsed, got);
    m_aheadUsed += got;
    if (got < count && m_file) {
        got += std::fread(out + got, 1, count - got, m_file);
        m_readError = m_readError || std::ferror(m_file);
    }
    return got;
}

RecordFileReader::Status RecordFileReader::stop(Status status, const char* what)
{
    m_stopped = status;
    if (m_readError)
        m_stopped = Status::Unreadable;
    if (m_stopped == Status::Unreadable)
        what = "read error";
    if (m_stopped != Status::End)
        m_error = std::string(what) + " at byte " + std::to_string(m_offset);
    return m_stopped;
}

RecordFileReader::Status RecordFileReader::next(Record& record)
{
    if (m_stopped != Status::Record)
        return m_stopped;
    return m_framed ? nextFramed(record) : nextUnframed(record);
}

RecordFileReader::Status RecordFileReader::nextFramed(Record& record)
{
    std::uint8_t* frame = m_buffer->data();
    const std::size_t start = take(frame, 4);
    if (start == 0)
        return stop(Status::End, "");
    if (start < 4)
        return stop(Status::Cut, "cut record");
    if (frame[0] != 0xFE || frame[1] != 'x')
        return stop(Status::Damaged, "damaged record");
    const std::size_t size = (static_cast<std::size_t>(frame[2]) << 8 | frame[3]) + 4;
    if (size < RequestFrame::kOverhead)
        return stop(Status::Damaged, "damaged record");
    if (take(frame + 4, size - 4) < size - 4)
        return stop(Status::Cut, "cut record");
    const auto view = RecordFrame::parse({frame, size});
    if (!view)
        return stop(Status::Damaged, "damaged record");
    record = Record{view->header, view->data, m_offset};
    m_offset += size;
    return Status::Record;
}

RecordFileReader::Status RecordFileReader::nextUnframed(Record& record)
{
    const std::size_t got = take(m_buffer->data(), kPiece);
    if (got == 0)
        return stop(Status::End, "");
    record = Record{RecordHeader::message(RecordHeader::kNoTag, 0, static_cast<std::uint32_t>(got)),
                    {m_buffer->data(), got},
                    m_offset};
    m_offset += got;
    return Status::Record;
}

} // namespace zeb::recorder
