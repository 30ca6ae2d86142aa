#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli heading ADDRESS [--calibrate 1|2] [--seconds N]": the heading window without a display. Prints one
// JSON line each time the compass's texts change, and with --calibrate runs the calibration panel in that mode
// (opened, then started at once; stopped at the end, which gives a mode-2 receiver its fix mode back), printing
// each field change, each change of the convergence flags and each sentence sent.
class HeadingCommand
{
public:
    struct Options
    {
        std::string address;
        std::uint32_t calibrate = 0; // 0: no calibration
        unsigned seconds = 0; // 0: until interrupted
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 after the time is up or SIGINT/SIGTERM, 1 when the far side closed the stream, 2 when the stream cannot
    // be opened.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
