#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli terminal ADDRESS [--mode CATEGORY=MODE ...] [--no-color] [--filters FILE]": the terminal on the
// console. Shows every message of the stream on stdout, coloured and in the display mode of its category;
// sends each line read from stdin with CR LF appended, after the terminal's escape translation and
// placeholder prompts; "!name" sends the entry "name" of the tool bar dictionary; input filters answer
// telecommands as in the workbench.
class TerminalCommand
{
public:
    struct Options
    {
        std::string address;
        std::vector<std::string> modes;
        bool noColour = false;
        std::string filters;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 at the end of the input or on SIGINT/SIGTERM, 1 when the far side closed the stream, 2 when the
    // stream cannot be opened or an option is wrong.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
