#include "RecordsCommand.h"

#include "JsonText.h"
#include "recorder/files/RecordFileReader.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>

namespace zeb::tools {

namespace {

using recorder::RecordFileReader;
using recorder::RecordHeader;

void print(const RecordFileReader::Record& record, std::FILE* out)
{
    nlohmann::ordered_json json;
    json["type"] = record.header.type;
    json["tag"] = record.header.tag;
    json["time"] = record.header.timeMs;
    json["length"] = record.header.length;
    if (record.header.type == RecordHeader::kText) {
        std::string text(record.data.begin(), record.data.end());
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        json["text"] = text;
    } else {
        json["hex"] = hexOf(record.data.data(), record.data.size());
    }
    std::fprintf(out, "%s\n", dump(json).c_str());
}

} // namespace

RecordsCommand::Options& RecordsCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("records", "Print the records of a record file as JSON lines");
    subcommand->add_flag("--raw", options.raw, "Write the bytes of the messages only");
    subcommand->add_option("file", options.file, "Record file")->required();
    return options;
}

int RecordsCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    std::FILE* in = std::fopen(options.file.c_str(), "rb");
    if (in == nullptr) {
        std::fprintf(err, "zeb500-cli records: cannot read %s: %s\n", options.file.c_str(), std::strerror(errno));
        return 2;
    }
    RecordFileReader reader(in);
    RecordFileReader::Record record;
    RecordFileReader::Status status = RecordFileReader::Status::Record;
    while ((status = reader.next(record)) == RecordFileReader::Status::Record) {
        if (!options.raw)
            print(record, out);
        else if (record.header.type != RecordHeader::kText)
            std::fwrite(record.data.data(), 1, record.data.size(), out);
    }
    std::fclose(in);
    if (status == RecordFileReader::Status::End)
        return 0;
    std::fprintf(err, "zeb500-cli records: %s: %s\n", options.file.c_str(), reader.error().c_str());
    return status == RecordFileReader::Status::Unreadable ? 2 : 3;
}

} // namespace zeb::tools
