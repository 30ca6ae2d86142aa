#include "UdmCommand.h"

#include "platform/Environment.h"
#include "recorder/settings/UdmFile.h"

#include <CLI/CLI.hpp>

namespace zeb::tools {

UdmCommand::Options& UdmCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("udm", "Read a recorder settings file and print it in the current form");
    subcommand->add_option("file", options.file, "Recorder settings file (.udm)")->required();
    subcommand->add_option("--write", options.output, "Write the settings to this file instead of printing them");
    return options;
}

int UdmCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    auto settings = recorder::RecorderSettings::defaults(platform::Environment::home());
    std::string error = recorder::UdmFile::load(options.file, settings);
    if (error.empty() && !options.output.empty()) {
        error = recorder::UdmFile::save(options.output, settings);
    }
    if (!error.empty()) {
        std::fprintf(err, "%s\n", error.c_str());
        return 2;
    }
    if (options.output.empty()) {
        std::fputs(settings.lines().c_str(), out);
    }
    return 0;
}

} // namespace zeb::tools
