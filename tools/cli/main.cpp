// zeb500-cli: the workbench's core without a display, for test benches and scripts.

#include "FrameCommand.h"
#include "PingCommand.h"
#include "RecordCommand.h"
#include "RecordsCommand.h"
#include "RemoteCommand.h"
#include "ScheduleCommand.h"
#include "ServeCommand.h"
#include "TerminalCommand.h"
#include "UdmCommand.h"
#include "platform/qt/QtSettingsStore.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>

#ifndef ZEB500_VERSION
#define ZEB500_VERSION "0"
#endif

int main(int argc, char** argv)
{
    CLI::App app{"ZEB500 command-line tool: inspect, decode and serve receiver streams without a display"};
    app.set_version_flag("--version", "zeb500-cli " ZEB500_VERSION);
    app.require_subcommand(0, 1);
    std::string settingsFile = zeb::platform::QtSettingsStore::defaultFileName().toStdString();
    app.add_option("--settings", settingsFile, "Settings file to read (changes are never written back)")
        ->check(CLI::ExistingFile)
        ->capture_default_str();
    CLI::App* frame = nullptr;
    const auto& frameOptions = zeb::tools::FrameCommand::addTo(app, frame);
    CLI::App* serve = nullptr;
    const auto& serveOptions = zeb::tools::ServeCommand::addTo(app, serve);
    CLI::App* ping = nullptr;
    const auto& pingOptions = zeb::tools::PingCommand::addTo(app, ping);
    CLI::App* remote = nullptr;
    const auto& remoteOptions = zeb::tools::RemoteCommand::addTo(app, remote);
    CLI::App* terminal = nullptr;
    const auto& terminalOptions = zeb::tools::TerminalCommand::addTo(app, terminal);
    CLI::App* schedule = nullptr;
    const auto& scheduleOptions = zeb::tools::ScheduleCommand::addTo(app, schedule);
    CLI::App* udm = nullptr;
    const auto& udmOptions = zeb::tools::UdmCommand::addTo(app, udm);
    CLI::App* records = nullptr;
    const auto& recordsOptions = zeb::tools::RecordsCommand::addTo(app, records);
    CLI::App* record = nullptr;
    const auto& recordOptions = zeb::tools::RecordCommand::addTo(app, record);
    CLI11_PARSE(app, argc, argv);
    // The workbench's settings (serial port names, terminal options) apply to the tool too.
    zeb::platform::Settings::install(
        zeb::platform::QtSettingsStore::readOnlyCopy(QString::fromStdString(settingsFile)));
    if (frame->parsed()) {
        return zeb::tools::FrameCommand::run(frameOptions, stdout, stderr);
    }
    if (serve->parsed()) {
        return zeb::tools::ServeCommand::run(serveOptions, stdout, stderr);
    }
    if (ping->parsed()) {
        return zeb::tools::PingCommand::run(pingOptions, stdout, stderr);
    }
    if (remote->parsed()) {
        return zeb::tools::RemoteCommand::run(remoteOptions, stdout, stderr);
    }
    if (terminal->parsed()) {
        return zeb::tools::TerminalCommand::run(terminalOptions, stdout, stderr);
    }
    if (schedule->parsed()) {
        return zeb::tools::ScheduleCommand::run(scheduleOptions, stdout, stderr);
    }
    if (udm->parsed()) {
        return zeb::tools::UdmCommand::run(udmOptions, stdout, stderr);
    }
    if (record->parsed()) {
        return zeb::tools::RecordCommand::run(recordOptions, stdout, stderr);
    }
    if (records->parsed()) {
        return zeb::tools::RecordsCommand::run(recordsOptions, stdout, stderr);
    }
    std::printf("%s", app.help().c_str());
    return 0;
}
