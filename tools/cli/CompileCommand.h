#pragma once

#include <cstdio>
#include <string>

namespace CLI {
class App;
}

namespace zeb::tools {

// "zeb500-cli compile [--listing] [--tree] [--method NAME] SCRIPT": compiles a test script and
// prints the instructions of one of its methods ("main" by default) or the syntax tree of its
// body; a syntax error or a method that did not compile is reported with its line and column.
class CompileCommand
{
public:
    // Scripts are small; a larger file is refused before it is read.
    static constexpr std::size_t kMaxScriptBytes = 16u << 20;

    struct Options
    {
        std::string file;
        std::string method = "main";
        bool listing = false;
        bool tree = false;
    };

    static Options& addTo(CLI::App& app, CLI::App*& subcommand);
    // Reads a script file whole; false with the reason when it cannot be read or is too large.
    static bool readScript(const std::string& path, std::string& text, std::string& error);
    // 0 when compiled, 1 for a syntax error or a method left out, 2 when the file cannot be read.
    static int run(const Options& options, std::FILE* out, std::FILE* err);
};

} // namespace zeb::tools
