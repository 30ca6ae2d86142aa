#pragma once

#include "recorder/files/RecordFileReader.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zeb::recorder {

// Everything a reader gives for a file: text lines (without their zero byte), message bytes
// and tags, and how reading ended.
struct RecordFileContents
{
    std::vector<std::string> lines;
    std::vector<std::string> messages;
    std::vector<std::uint8_t> tags;
    RecordFileReader::Status status = RecordFileReader::Status::Unreadable;
    std::string error;

    // Reads `file` and closes it.
    static RecordFileContents of(std::FILE* file)
    {
        RecordFileContents contents;
        if (!file)
            return contents;
        RecordFileReader reader(file);
        RecordFileReader::Record record;
        while ((contents.status = reader.next(record)) == RecordFileReader::Status::Record) {
            std::string data(record.data.begin(), record.data.end());
            if (record.header.type == RecordHeader::kText) {
                contents.lines.push_back(data.substr(0, data.size() - 1));
                continue;
            }
            contents.messages.push_back(data);
            contents.tags.push_back(record.header.tag);
        }
        contents.error = reader.error();
        std::fclose(file);
        return contents;
    }
};

} // namespace zeb::recorder
