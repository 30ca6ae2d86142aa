#include "recorder/files/FileSeriesStream.h"

#include "recorder/files/RecordNaming.h"
#include "stream/StreamDevice.h"

#include <array>
#include <cstdio>

namespace zeb::recorder {

using stream::StreamStatus;

namespace {

constexpr std::string_view kVersionLine = "$PKVR,RPC,UTMA,VERSION,3\r\n";
// The list of secondary streams this line would name is never filled: the line has no entries.
constexpr std::string_view kStreamLine = "$PKVR,RPC,UTMA,STREAM\r\n";

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
    , m_frame(std::make_unique<RecordFrame::Buffer>())
{
}

FileSeriesStream::~FileSeriesStream()
{
    close();
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

StreamStatus FileSeriesStream::writeRecord(const RecordHeader& header, std::span<const std::uint8_t> data)
{
    if (!isOpen() || m_writeFailed)
        return StreamStatus::NotOpen;
    if (!m_framed) {
        if (write(data.data(), data.size(), 0, kDefaultRetryDelayMs, false) < data.size()) {
            m_writeFailed = true;
            return StreamStatus::NotOpen;
        }
        m_bytesWritten += data.size();
        return StreamStatus::Ok;
    }
    const std::size_t size = RecordFrame::build(header, data, *m_frame);
    if (size == 0)
        return StreamStatus::NotOpen;
    if (write(m_frame->data(), size, 0, kDefaultRetryDelayMs, false) != size) {
        m_writeFailed = true;
        return StreamStatus::SendFailed;
    }
    m_bytesWritten += data.size() + RecordHeader::kSize;
    return StreamStatus::Ok;
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
    m_fileName.clear();
    m_next.clear();
    m_writing = false;
    return IOSTStream::close();
}

} // namespace zeb::recorder
