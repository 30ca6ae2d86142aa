// zeb500-cli: the workbench's core without a display, for test benches and scripts.

#include "FrameCommand.h"

#include <CLI/CLI.hpp>

#include <cstdio>

#ifndef ZEB500_VERSION
#define ZEB500_VERSION "0"
#endif

int main(int argc, char** argv)
{
    CLI::App app{"ZEB500 command-line tool: inspect, decode and serve receiver streams without a display"};
    app.set_version_flag("--version", "zeb500-cli " ZEB500_VERSION);
    app.require_subcommand(0, 1);
    CLI::App* frame = nullptr;
    const auto& frameOptions = zeb::tools::FrameCommand::addTo(app, frame);
    CLI11_PARSE(app, argc, argv);
    if (frame->parsed()) {
        return zeb::tools::FrameCommand::run(frameOptions, stdout, stderr);
    }
    std::printf("%s", app.help().c_str());
    return 0;
}
