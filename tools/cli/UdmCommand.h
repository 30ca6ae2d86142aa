#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli udm FILE [--write OUT]": reads a recorder settings file, older line forms included, and
// prints the settings as they are now written (or writes them to OUT): a way to see what a file sets
// and to bring an old one up to date.
class UdmCommand
{
public:
    struct Options
    {
        std::string file;
        std::string output;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 when read (and written), 2 when the file cannot be read or OUT cannot be written.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
