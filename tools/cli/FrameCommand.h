#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli frame": runs a byte flow through the message framer as a stream's receive thread
// would and prints, one JSON object per line, every message a subscriber would receive.
class FrameCommand
{
public:
    struct Options
    {
        std::size_t chunk = 4096;
        bool discarded = false;
        bool count = false;
        bool decoded = false;
        std::string gnssTime; // "WEEK:SECONDS" for UHF frame times; empty: the system clock
        std::string input = "-";
    };

    // Adds the subcommand to `app`; the returned options are filled when it is parsed.
    static Options& addTo(CLI::App& app, CLI::App*& subcommand);

    // Reads `options.input` (a file, or "-" for standard input) and writes to `out`. Returns the
    // exit status: 0, or 2 when the input cannot be read (one line on `err`).
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
