// Reads arbitrary bytes as a record file: reading always ends, within the file, and every
// record delivered is whole and agrees with its header.

#include "recorder/files/RecordFileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zeb::recorder::RecordFileReader;
    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    RecordFileReader reader(file);
    RecordFileReader::Record record;
    std::size_t delivered = 0;
    RecordFileReader::Status status = RecordFileReader::Status::Record;
    while ((status = reader.next(record)) == RecordFileReader::Status::Record) {
        if (record.offset < delivered || record.data.size() != record.header.length || record.offset >= size)
            std::abort();
        delivered = record.offset + record.data.size();
    }
    if (delivered > size || (status != RecordFileReader::Status::End && reader.error().empty()))
        std::abort();
    std::fclose(file);
    return 0;
}
