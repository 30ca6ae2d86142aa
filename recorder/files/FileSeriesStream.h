#pragma once

#include "recorder/files/RecordFrame.h"
#include "recorder/files/RecordHeader.h"
#include "stream/IOSTStream.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zeb::recorder {

// The stream a recording is written to: one file of a series at a time (or a stream named
// "/dev/..."). Framed, each file begins with the lines
//   $PKVR,RPC,UTMA,VERSION,3 / $PKVR,RPC,UTMA,PREVIOUS,"<previous file>" / $PKVR,RPC,UTMA,STREAM
// (PREVIOUS only when there is one), holds one RecordFrame per record, and ends, when closed,
// with $PKVR,RPC,UTMA,NEXT,"<next file>". Unframed, a file holds the data bytes alone.
//
// A file is never overwritten: files are created only when they do not exist yet. Opened
// numbered (<base path>-<index>.<extension>), a name that exists moves the index on to the
// first free one. The neighbours named are the real ones: PREVIOUS names the file this series
// last closed (else the numbered name of index - 1), NEXT the name given with setNext() or
// rollOver() (else the first free numbered name after the index).
//
// By default every record reaches the file with one write of its own before writeRecord()
// returns, so a process killed at any moment loses nothing it recorded and leaves every
// record readable. Buffered (setBuffering), records gather in memory and reach the file
// together once `bytes` wait or the oldest waits `maxDelay` (checked at each record), at
// flush() and at close: far fewer system calls, and a kill loses at most what waited, while
// what reached the file stays readable. Writing, flushing, rolling over and closing belong to
// one thread at a time. After a failed write the series writes nothing more to that file
// (its end would be misread) until another file is opened.
class FileSeriesStream : public stream::IOSTStream
{
public:
    explicit FileSeriesStream(int identifier = kAnonymous);
    ~FileSeriesStream() override;

    void setBasePath(std::string path) { m_basePath = std::move(path); }
    void setExtension(std::string extension) { m_extension = std::move(extension); }
    void setFileIndex(unsigned index) { m_fileIndex = index; }
    unsigned fileIndex() const { return m_fileIndex; }
    // Whether files opened for writing get header lines and framed records (the default).
    void setFramed(bool framed) { m_framed = framed; }
    bool isFramed() const { return m_framed; }
    std::string numberedName(unsigned index) const;

    // Opens <base path>-<index>.<extension>; writing, the index moves on past existing files.
    stream::StreamStatus openNumbered(std::string_view mode);
    // Opens a file by name, or a "/dev/..." address as a stream transport. A mode with "w"
    // creates the file and fails (OpenFailed) when it exists. A mode with "r" finds out from
    // the first two bytes whether the file is framed, and leaves them to be read.
    stream::StreamStatus openFile(std::string_view name, std::string_view mode);
    // The neighbours the header line and the closing line name.
    void setPrevious(std::string name) { m_previous = std::move(name); }
    void setNext(std::string name) { m_next = std::move(name); }
    // Closes the current file naming `next` as its successor, and opens `next` with `mode`.
    stream::StreamStatus rollOver(const std::string& next, std::string_view mode = "wb");

    // 0 bytes (the default): every record is written at once. At most RecordFrame::kMaxSize.
    void setBuffering(std::size_t bytes, std::chrono::milliseconds maxDelay);

    // Ok, or NotOpen (no file, after a failed write, data too large, unframed short write)
    // or SendFailed (framed short write). A failed write counts nothing as written.
    stream::StreamStatus writeRecord(const RecordHeader& header, std::span<const std::uint8_t> data);
    // Hands the records that wait to the file; the status as writeRecord's.
    stream::StreamStatus flush();
    // Writes records built elsewhere (RecordFrame::build, or the data alone when unframed) with one write, counting
    // `counted` bytes as written; the status as writeRecord's.
    stream::StreamStatus writeBlock(std::span<const std::uint8_t> records, std::uint64_t counted);
    // What the header lines of a framed file naming `previous` (none when empty) count in bytesWritten().
    static std::uint64_t headerLinesSize(const std::string& previous);
    // A text record of the line and its terminating zero byte.
    stream::StreamStatus writeText(std::string_view line, std::uint32_t timeMs, bool headerLine);
    stream::StreamStatus close() override;

    // Bytes of records written to the current file, or waiting for it (data + 20 a record when
    // framed).
    std::uint64_t bytesWritten() const { return m_bytesWritten + m_pendingCounted; }
    bool writeFailed() const { return m_writeFailed; }
    const std::string& fileName() const { return m_fileName; }

private:
    stream::StreamStatus writeHeaderLines();
    std::optional<unsigned> firstFreeNumbered(unsigned from) const;

    std::string m_basePath;
    std::string m_extension = "UMA";
    unsigned m_fileIndex = 1;
    bool m_framed = true;
    bool m_writing = false;
    bool m_writeFailed = false;
    std::uint64_t m_bytesWritten = 0;
    std::string m_fileName;
    std::string m_previous;
    std::string m_next;
    std::string m_line;
    stream::StreamStatus failed();

    std::unique_ptr<RecordFrame::Buffer> m_buffer;
    std::size_t m_pending = 0; // bytes waiting in m_buffer
    std::uint64_t m_pendingCounted = 0;
    std::size_t m_flushSize = 0;
    std::chrono::milliseconds m_maxDelay{0};
    std::chrono::steady_clock::time_point m_oldest;
};

} // namespace zeb::recorder
