// Start-up of the workbench: from launching the program to its main frame shown with an empty
// workspace, the program leaving as soon as its event loop has shown the frame. Each iteration
// is a fresh process with fresh settings (language already chosen, so no welcome dialog).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Scratch
{
    fs::path root;

    Scratch()
    {
        char pattern[] = "/tmp/zeb500-startup-XXXXXX";
        root = mkdtemp(pattern);
        fs::create_directories(root / "config" / "Orvane");
        fs::create_directories(root / "home");
        std::ofstream ini(root / "config" / "Orvane" / "ZEB500.ini");
        ini << "[Settings]\nlanguage=ENU\nloadWorkspaceOnStartup=1\nsaveWorkspaceOnExit=0\n";
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

std::vector<std::string> environmentFor(const Scratch& scratch)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        if (text.rfind("XDG_CONFIG_HOME=", 0) == 0 || text.rfind("ZEB500_", 0) == 0
            || text.rfind("QT_QPA_PLATFORM=", 0) == 0)
            continue;
        variables.push_back(text);
    }
    variables.push_back("QT_QPA_PLATFORM=offscreen");
    variables.push_back("XDG_CONFIG_HOME=" + (scratch.root / "config").string());
    variables.push_back("ZEB500_HOME=" + (scratch.root / "home").string());
    variables.push_back(std::string("ZEB500_ASSETS=") + ZEB500_ASSETS);
    variables.push_back("ZEB500_EXIT_WHEN_SHOWN=1");
    return variables;
}

bool launch(std::vector<std::string>& variables)
{
    std::vector<char*> envp;
    for (auto& text : variables)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::string program = ZEB500_EXECUTABLE;
    char* argv[] = {program.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return false;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_StartupToShownFrame(benchmark::State& state)
{
    Scratch scratch;
    auto variables = environmentFor(scratch);
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        if (!launch(variables)) {
            state.SkipWithError("the workbench did not start (see its messages above)");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
}
BENCHMARK(BM_StartupToShownFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
