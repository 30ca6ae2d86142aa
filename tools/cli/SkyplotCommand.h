#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli skyplot [--size WxH] FILE|ADDRESS": the sky plot without a window. Reads a log of
// sentences, or polls a receiver once a second as the window does, and prints one JSON line per
// drawing pass: the title, the radii and each satellite drawn, in pixels of a plot of that size.
class SkyplotCommand
{
public:
    struct Options
    {
        std::string source;
        std::string size = "300x300";
        double seconds = 0.0; // a receiver: stop after this long; 0 = until interrupted
        unsigned passes = 0; // stop after this many passes; 0 = no limit
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 once done, 2 when the source cannot be read or opened or the size is not WxH.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
