#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli run SCRIPT [--connect ADDRESS] [--timeout SECONDS]": compiles a test script and runs its main as the
// automatic test document does; standard output is exactly the text the output pane would hold.
class RunCommand
{
public:
    struct Options
    {
        std::string file;
        double timeout = 0; // seconds; zero: none
        std::string connect; // the application connection's address; empty: none
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 when main ran, 1 on a syntax error (its text on out), 2 without main or when the
    // connection does not open, 3 on the time limit.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
