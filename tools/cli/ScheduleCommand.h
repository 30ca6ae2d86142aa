#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli schedule PHRASE --at 'YYYY-MM-DD hh:mm:ss' --seconds N": parses a recording schedule phrase at
// that local time and evaluates it once a second for N seconds, printing one JSON line per start, stop or
// finish; a way to try a phrase before arming it.
class ScheduleCommand
{
public:
    // A year of evaluations: enough to see any daily schedule repeat, short enough to finish at once.
    static constexpr std::int64_t kMaxSeconds = 366 * 86400;

    struct Options
    {
        std::string phrase;
        std::string at;
        std::int64_t seconds = 0;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0, or 2 with the syntax message on `err` for a refused phrase (or one line for a bad --at).
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
