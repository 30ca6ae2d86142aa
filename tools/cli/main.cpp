// zeb500-cli: the workbench's core without a display, for test benches and scripts.

#include "CompileCommand.h"
#include "DisplayCommand.h"
#include "DocAddressCommand.h"
#include "FrameCommand.h"
#include "HeadingCommand.h"
#include "PingCommand.h"
#include "RecordCommand.h"
#include "RecordsCommand.h"
#include "RemoteCommand.h"
#include "RunCommand.h"
#include "ScheduleCommand.h"
#include "ServeCommand.h"
#include "SkyplotCommand.h"
#include "TerminalCommand.h"
#include "TraceCommand.h"
#include "UdmCommand.h"
#include "platform/DetachedWork.h"
#include "platform/qt/QtSettingsStore.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#ifndef ZEB500_VERSION
#define ZEB500_VERSION "0"
#endif

namespace {

using namespace zeb::tools;

constexpr std::chrono::seconds kSettleLimit{3};

// One subcommand: its entry in the parser, and how it runs once the command line chose it.
struct Subcommand
{
    CLI::App* parser = nullptr;
    std::function<int()> run;
};

template <typename Command>
Subcommand add(CLI::App& app)
{
    Subcommand entry;
    const auto& options = Command::addTo(app, entry.parser);
    entry.run = [&options] { return Command::run(options, stdout, stderr); };
    return entry;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"ZEB500 command-line tool: inspect, decode and serve receiver streams without a display"};
    app.set_version_flag("--version", "zeb500-cli " ZEB500_VERSION);
    app.require_subcommand(0, 1);
    std::string settingsFile = zeb::platform::QtSettingsStore::defaultFileName().toStdString();
    app.add_option("--settings", settingsFile, "Settings file to read (changes are never written back)")
        ->check(CLI::ExistingFile)
        ->capture_default_str();
    // In the order the help lists them.
    const Subcommand subcommands[] = {
        add<FrameCommand>(app),  add<ServeCommand>(app),    add<PingCommand>(app),
        add<RemoteCommand>(app), add<TerminalCommand>(app), add<ScheduleCommand>(app),
        add<UdmCommand>(app),    add<RecordsCommand>(app),  add<RecordCommand>(app),
        add<TraceCommand>(app),
        add<DocAddressCommand>(app),
        add<CompileCommand>(app),
        add<RunCommand>(app),
        add<SkyplotCommand>(app),
        add<HeadingCommand>(app),
        add<DisplayCommand>(app),
    };
    CLI11_PARSE(app, argc, argv);
    // The workbench's settings (serial port names, terminal options) apply to the tool too.
    zeb::platform::Settings::install(
        zeb::platform::QtSettingsStore::readOnlyCopy(QString::fromStdString(settingsFile)));
    for (const Subcommand& subcommand : subcommands) {
        if (subcommand.parser->parsed())
            // Connection attempts given up by a command may still be closing on their threads.
            return zeb::platform::DetachedWork::settleBeforeExit(subcommand.run(), kSettleLimit);
    }
    std::printf("%s", app.help().c_str());
    return 0;
}
