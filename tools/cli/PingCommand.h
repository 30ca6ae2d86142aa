#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli ping ADDRESS [--timeout S]": sends "$PKVR,RPC,PING\r\n" and prints the answer.
class PingCommand
{
public:
    struct Options
    {
        std::string address;
        double timeoutSeconds = 5.0;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 with an answer, 1 without one in time, 2 when the stream cannot be opened.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
