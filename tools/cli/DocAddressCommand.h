#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli doc-address [--lang CODE] ADDRESS": prints the address the documentation browser
// would show for ADDRESS in that language (default: the workbench's language), marked "web" when
// it would go to the desktop's browser instead.
class DocAddressCommand
{
public:
    struct Options
    {
        std::string language;
        std::string address;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0; the address on `out`, and on `err` why a page outside the documentation was not taken.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
