#include "RunCommand.h"

#include "CompileCommand.h"
#include "Connection.h"
#include "Transports.h"
#include "autotest/core/RunController.h"
#include "stream/IOSTStream.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <memory>
#include <optional>

namespace zeb::tools {

namespace {

constexpr int kApplicationConnection = 65;

// Printed text goes out as it is printed, so a long script shows its progress. Script threads,
// alarms and stream handlers print from their own threads: stdio locks the stream for each call.
class FileSink : public script::vm::OutputSink
{
public:
    explicit FileSink(std::FILE* file)
        : m_file(file)
    {
    }
    void write(std::string_view text) override
    {
        std::fwrite(text.data(), 1, text.size(), m_file);
        std::fflush(m_file);
    }

private:
    std::FILE* m_file;
};

// There is no one to answer a message box on the command line: each box is one line on
// standard error (standard output holds only what the script prints) and every question is
// answered No. Buttons have no window.
class ErrorStreamHost : public script::vm::Host
{
public:
    explicit ErrorStreamHost(std::FILE* file)
        : m_file(file)
    {
    }
    void alert(std::string_view text) override { line("alert", text); }
    void notify(std::string_view text) override { line("notify", text); }
    bool question(std::string_view text) override
    {
        line("question (answered No)", text);
        return false;
    }

private:
    void line(const char* kind, std::string_view text)
    {
        std::fprintf(m_file, "%s: %.*s\n", kind, static_cast<int>(text.size()), text.data());
        std::fflush(m_file);
    }

    std::FILE* m_file;
};

} // namespace

RunCommand::Options& RunCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("run", "Compile a test script and run its main");
    subcommand->add_option("script", options.file, "Test script (.utl)")->required();
    subcommand->add_option("--timeout", options.timeout, "Stop the script after this many seconds (exit status 3)")
        ->check(CLI::Range(0.0, 1e6));
    subcommand->add_option("--connect", options.connect,
                           "Open the application connection (stream 65) on this address first");
    return options;
}

int RunCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    std::string text;
    std::string error;
    if (!CompileCommand::readScript(options.file, text, error)) {
        std::fprintf(err, "%s\n", error.c_str());
        return 2;
    }
    // The connection outlives the run: the run's end lets go of its subscriptions first.
    std::optional<stream::IOSTStream> connection;
    autotest::RunController controller(std::make_shared<FileSink>(out), std::make_shared<ErrorStreamHost>(err));
    const autotest::RunController::Compiled& compiled = controller.prepare(text);
    if (!compiled.ok) {
        std::fprintf(out, "%s\n", compiled.errorText.c_str());
        return 1;
    }
    if (!options.connect.empty()) {
        registerTransports();
        connection.emplace(kApplicationConnection);
        if (!openConnection(*connection, options.connect, "run", err))
            return 2;
    }
    for (const script::Diagnostic& diagnostic : compiled.diagnostics)
        std::fprintf(err, "%s:%u:%u: %s\n", options.file.c_str(), diagnostic.line, diagnostic.column,
                     diagnostic.text.c_str());
    autotest::RunController::Limits limits;
    limits.timeout = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(options.timeout));
    switch (controller.runHere(limits)) {
    case autotest::RunController::Result::NoMain:
        std::fprintf(err, "%s: no method \"main\" in the script\n", options.file.c_str());
        return 2;
    case autotest::RunController::Result::TimedOut:
        std::fprintf(err, "%s: stopped after %g s\n", options.file.c_str(), options.timeout);
        return 3;
    default:
        return 0;
    }
}

} // namespace zeb::tools
