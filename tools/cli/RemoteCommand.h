#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli remote OPERATION ADDRESS//PATH [...]": file operations on the far side of a
// stream. ls lists a folder (-l: with the explorer's column texts); get REMOTE LOCAL and put LOCAL REMOTE copy (folders
// whole) with progress on standard error; rm, mkdir; mv REMOTE NEW (NEW a path over there, or another ADDRESS//PATH on
// the same address).
class RemoteCommand
{
public:
    struct Options
    {
        std::string operation;
        std::vector<std::string> paths;
        bool quiet = false;
        bool longListing = false;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 on success, 1 when the operation fails, 2 on bad arguments or a stream that cannot be opened.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
