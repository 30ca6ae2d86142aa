#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli serve ADDRESS [--root DIR]": opens a stream (TCP server or client, serial line)
// and lets it answer pings and remote file requests inside DIR until SIGINT or SIGTERM, logging
// connections and requests to standard output.
class ServeCommand
{
public:
    struct Options
    {
        std::string address;
        std::string root; // empty: the "remoteRoot" setting, else the data folder
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // 0 after a clean close on a signal, 2 when the stream cannot be opened.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
