#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli display ADDRESS [--key CODE]... [--click X,Y]...": switches the receiver's screen
// on and prints each completed display list as drawing operations, one JSON line each, ending
// with {"op": "end"}; after each list it sends the next key, then the next click.
class DisplayCommand
{
public:
    struct Options
    {
        std::string address;
        std::vector<std::string> keys;
        std::vector<std::string> clicks;
        int lists = 0;
        double timeoutSeconds = 5.0;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 once the lists came, 1 when they did not in time, 2 for a bad argument or a stream that
    // cannot be opened.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
