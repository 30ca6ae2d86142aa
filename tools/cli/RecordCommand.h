#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli record --settings FILE.udm [--for SECONDS]": runs the recorder without a display on the ports of a
// settings file, printing its status line once a second, until the schedule finishes, the time is up or SIGINT or
// SIGTERM arrives; the file being written is then closed with its NEXT line.
class RecordCommand
{
public:
    struct Options
    {
        std::string settings;
        unsigned seconds = 0; // 0: no limit
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 after a clean stop; 2 when the settings cannot be read or the recorder refuses them; 3 when the output
    // could not be opened or a write failed.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
