#include "ScheduleCommand.h"

#include "recorder/schedule/LocalTime.h"
#include "recorder/schedule/ScheduleParser.h"

#include <CLI/CLI.hpp>

namespace zeb::tools {

ScheduleCommand::Options& ScheduleCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("schedule", "Try a recording schedule phrase: print its starts and stops");
    subcommand->add_option("phrase", options.phrase, "e.g. \"every minute at 30 for 10 seconds\"")->required();
    subcommand->add_option("--at", options.at, "Local time the phrase is parsed at, \"YYYY-MM-DD hh:mm:ss\"")
        ->required();
    subcommand->add_option("--seconds", options.seconds, "Number of once-a-second evaluations")
        ->required()
        ->check(CLI::Range(std::int64_t{0}, kMaxSeconds));
    return options;
}

int ScheduleCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    const auto from = recorder::LocalTime::parse(options.at);
    if (!from) {
        std::fprintf(err, "schedule: --at wants an existing local time \"YYYY-MM-DD hh:mm:ss\", not \"%s\"\n",
                     options.at.c_str());
        return 2;
    }
    const recorder::ScheduleParser parser;
    auto schedule = parser.parse(options.phrase, *from);
    if (!schedule) {
        const std::string_view message = parser.syntaxMessage();
        std::fwrite(message.data(), 1, message.size(), err);
        return 2;
    }
    for (std::int64_t second = 0; second < options.seconds; ++second) {
        const std::int64_t now = *from + second;
        const recorder::ScheduleAction action = schedule->evaluate(now);
        if (action != recorder::ScheduleAction::Nothing) {
            std::fprintf(out, "{\"time\": \"%s\", \"action\": \"%s\"}\n", recorder::LocalTime::format(now).c_str(),
                         recorder::Schedule::actionName(action));
        }
    }
    return 0;
}

} // namespace zeb::tools
