#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli trace ADDRESS [--on COMPONENT:LEVELS ...]": the remote trace viewer on the console. Asks the receiver
// for its components, switches tracing on and the given levels (every other switch as the receiver reported it),
// sending the same lines as the viewer's property page, then prints each trace sentence as a JSON line.
class TraceCommand
{
public:
    struct Options
    {
        std::string address;
        std::vector<std::string> on;
        std::size_t count = 0;
        double seconds = 0;
        double answerSeconds = 1.0;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 after --count records, --seconds or SIGINT/SIGTERM; 1 when the far side closed the stream; 2 when the stream
    // cannot be opened or an option is wrong.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
