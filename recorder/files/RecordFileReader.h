#pragma once

#include "recorder/files/RecordFrame.h"
#include "recorder/files/RecordHeader.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace zeb::recorder {

// Reads a record file back, record by record, from an open file it does not own. A file that
// begins with 0xFE 'x' is framed: each record is a RecordFrame. Any other file is unframed:
// its bytes come as message records without a tag or time, in pieces of at most kPiece bytes.
// Reading stops at the first record that is cut short (the file ends inside it: a recording
// that was killed) or damaged (anything else that is no record frame); what came before it
// was delivered whole. Memory stays bounded whatever the file holds.
class RecordFileReader
{
public:
    static constexpr std::size_t kPiece = 4096;

    enum class Status { Record, End, Cut, Damaged, Unreadable };

    struct Record
    {
        RecordHeader header;
        std::span<const std::uint8_t> data; // valid until the next call
        std::uint64_t offset = 0; // where the record starts in the file
    };

    explicit RecordFileReader(std::FILE* file);

    // Record with `record` filled, End after the last one, or why reading stopped (error()
    // says it in words, with the byte offset). Once stopped, it stays stopped.
    Status next(Record& record);
    bool framed() const { return m_framed; }
    const std::string& error() const { return m_error; }

private:
    std::size_t take(std::uint8_t* out, std::size_t count);
    Status stop(Status status, const char* what);
    Status nextFramed(Record& record);
    Status nextUnframed(Record& record);

    std::FILE* m_file;
    std::unique_ptr<RecordFrame::Buffer> m_buffer;
    // Bytes read ahead to tell a framed file from an unframed one.
    std::uint8_t m_ahead[2] = {};
    std::size_t m_aheadCount = 0;
    std::size_t m_aheadUsed = 0;
    bool m_framed = false;
    bool m_readError = false;
    Status m_stopped = Status::Record;
    std::uint64_t m_offset = 0;
    std::string m_error;
};

} // namespace zeb::recorder
