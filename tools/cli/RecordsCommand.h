#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli records FILE [--raw]": prints the records of a record file, one JSON object a
// line ({"type", "tag", "time", "length", then "text" for a text line without its zero byte,
// or "hex" for a message}), or with --raw the bytes of the messages alone, so that a
// recording can be played back.
class RecordsCommand
{
public:
    struct Options
    {
        std::string file;
        bool raw = false;
    };

    // Adds the subcommand to `app`; the returned options are filled when it is parsed.
    static Options& addTo(CLI::App& app, CLI::App*& subcommand);

    // Exit status: 0 when every record was read; 2 when the file cannot be read; 3 at a cut or
    // damaged record (after the records before it, with one line on `err`).
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
