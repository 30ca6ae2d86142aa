#include "recorder/files/FileSeriesStream.h"

#include "recorder/files/RecordNaming.h"
#include "stream/StreamDevice.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace zeb::recorder {

using stream::StreamStatus;

namespace {

constexpr std::string_view kVersionLine = "$PKVR,RPC,UTMA,VERSION,3\r\n";
// The list of secondary streams this line would name is never filled: the line has no entries.
constexpr std::string_view kStreamLine = "$PKVR,RPC,UTMA,STREAM\r\n";

// The age of what waits needs no precision beyond a few milliseconds, and the coarse clock
// is several times cheaper to read for every record.
std::chrono::steady_clock::time_point coarseNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::chrono::steady_clock::time_point(std::chrono::seconds(now.tv_sec)
                                                 + std::chrono::nanoseconds(now.tv_nsec));
}

bool has(std::string_view mode, char letter)
{
    return mode.find(letter) != std::string_view::npos;
}

std::string linkLine(std::string_view word, const std::string& name)
{
    return "$PKVR,RPC,UTMA," + std::string(word) + ",\"" + name + "\"\r\n";
}

} // namespace

FileSeriesStream::FileSeriesStream(int identifier)
    : IOSTStream(identifier)
    , m_buffer(std::make_unique<RecordFrame::Buffer>())
{
}

FileSeriesStream::~FileSeriesStream()
{
    // The stream's own destructor closes without the closing line.
    FileSeriesStream::close();
}

std::string FileSeriesStream::numberedName(unsigned index) const
{
    return m_basePath + "-" + std::to_string(index) + "." + m_extension;
}

std::optional<unsigned> FileSeriesStream::firstFreeNumbered(unsigned from) const
{
    return RecordNaming::firstFreeIndex(from,
                                        [this](unsigned index) { return RecordNaming::exists(numberedName(index)); });
}

StreamStatus FileSeriesStream::openNumbered(std::string_view mode)
{
    if (has(mode, 'w')) {
        const auto free = firstFreeNumbered(m_fileIndex);
        if (!free)
            return StreamStatus::OpenFailed;
        m_fileIndex = *free;
    }
    return openFile(numberedName(m_fileIndex), mode);
}

StreamStatus FileSeriesStream::openFile(std::string_view name, std::string_view mode)
{
    close();
    m_bytesWritten = 0;
    m_pending = 0;
    m_pendingCounted = 0;
    m_writeFailed = false;
    std::string openMode(mode);
    if (has(mode, 'w') && !has(mode, 'x'))
        openMode += 'x';
    if (const StreamStatus status = open(name, openMode); status != StreamStatus::Ok)
        return status;
    m_fileName = name;
    m_writing = has(mode, 'w') || has(mode, 'a') || has(mode, '+');
    if (has(mode, 'r')) {
        std::array<std::uint8_t, 2> start{};
        m_framed = read(start.data(), start.size(), false) == start.size() && start[0] == 0xFE && start[1] == 'x';
        // The two bytes belong to the first record: the reader starts again from the top.
        if (device() && device()->rewind() != StreamStatus::Ok)
            return StreamStatus::NotOpen;
    }
    if (has(mode, 'w') && m_framed)
        return writeHeaderLines();
    return StreamStatus::Ok;
}

StreamStatus FileSeriesStream::writeHeaderLines()
{
    StreamStatus status = writeText(kVersionLine, 0, true);
    if (m_previous.empty() && m_fileIndex > 1)
        m_previous = numberedName(m_fileIndex - 1);
    if (status == StreamStatus::Ok && !m_previous.empty())
        status = writeText(linkLine("PREVIOUS", m_previous), 0, true);
    if (status == StreamStatus::Ok)
        status = writeText(kStreamLine, 0, true);
    return status;
}

StreamStatus FileSeriesStream::rollOver(const std::string& next, std::string_view mode)
{
    m_next = next;
    close();
    return openFile(next, mode);
}

void FileSeriesStream::setBuffering(std::size_t bytes, std::chrono::milliseconds maxDelay)
{
    m_flushSize = std::min(bytes, m_buffer->size());
    m_maxDelay = maxDelay;
}

StreamStatus FileSeriesStream::writeRecord(const RecordHeader& header, std::span<const std::uint8_t> data)
{
    if (!isOpen() || m_writeFailed)
        return StreamStatus::NotOpen;
    const std::size_t size = m_framed ? RecordFrame::sizeFor(data.size()) : data.size();
    if (m_pending + size > m_buffer->size()) {
        if (const StreamStatus status = flush(); status != StreamStatus::Ok)
            return status;
    }
    if (size > m_buffer->size()) {
        // Only unframed data can be this large: it goes to the file as it is.
        if (m_framed || write(data.data(), data.size(), 0, kDefaultRetryDelayMs, false) < data.size())
            return m_framed ? StreamStatus::NotOpen : failed();
        m_bytesWritten += data.size();
        return StreamStatus::Ok;
    }
    const std::span<std::uint8_t> free(m_buffer->data() + m_pending, m_buffer->size() - m_pending);
    if (m_framed)
        RecordFrame::build(header, data, free);
    else if (!data.empty())
        std::memcpy(free.data(), data.data(), data.size());
    const bool first = m_pending == 0;
    m_pending += size;
    m_pendingCounted += m_framed ? data.size() + RecordHeader::kSize : data.size();
    if (m_pending >= m_flushSize)
        return flush();
    const auto now = coarseNow();
    if (first)
        m_oldest = now;
    return now - m_oldest >= m_maxDelay ? flush() : StreamStatus::Ok;
}

StreamStatus FileSeriesStream::flush()
{
    if (m_pending == 0)
        return StreamStatus::Ok;
    const std::size_t put = write(m_buffer->data(), m_pending, 0, kDefaultRetryDelayMs, false);
    const bool whole = put == m_pending;
    m_pending = 0;
    if (!whole)
        return failed();
    m_bytesWritten += m_pendingCounted;
    m_pendingCounted = 0;
    return StreamStatus::Ok;
}

StreamStatus FileSeriesStream::writeBlock(std::span<const std::uint8_t> records, std::uint64_t counted)
{
    if (!isOpen() || m_writeFailed)
        return StreamStatus::NotOpen;
    if (const StreamStatus status = flush(); status != StreamStatus::Ok)
        return status;
    if (records.empty())
        return StreamStatus::Ok;
    if (write(records.data(), records.size(), 0, kDefaultRetryDelayMs, false) < records.size())
        return failed();
    m_bytesWritten += counted;
    return StreamStatus::Ok;
}

std::uint64_t FileSeriesStream::headerLinesSize(const std::string& previous)
{
    // Each line is a text record of the line and its terminating zero.
    std::uint64_t size = kVersionLine.size() + kStreamLine.size() + 2 * (1 + RecordHeader::kSize);
    if (!previous.empty())
        size += linkLine("PREVIOUS", previous).size() + 1 + RecordHeader::kSize;
    return size;
}

StreamStatus FileSeriesStream::failed()
{
    m_writeFailed = true;
    m_pending = 0;
    m_pendingCounted = 0;
    return m_framed ? StreamStatus::SendFailed : StreamStatus::NotOpen;
}

StreamStatus FileSeriesStream::writeText(std::string_view line, std::uint32_t timeMs, bool headerLine)
{
    m_line.assign(line);
    m_line.push_back('\0');
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(m_line.data());
    return writeRecord(RecordHeader::text(timeMs, static_cast<std::uint32_t>(m_line.size()), headerLine),
                       {bytes, m_line.size()});
}

StreamStatus FileSeriesStream::close()
{
    if (isOpen() && !m_fileName.empty()) {
        if (m_writing && m_framed && !m_writeFailed) {
            if (m_next.empty()) {
                m_next = numberedName(firstFreeNumbered(m_fileIndex + 1).value_or(m_fileIndex + 1));
            }
            writeText(linkLine("NEXT", m_next), 0, true);
        }
        m_previous = m_fileName;
    }
    if (isOpen())
        flush();
    m_fileName.clear();
    m_next.clear();
    m_writing = false;
    return IOSTStream::close();
}

} // namespace zeb::recorder
