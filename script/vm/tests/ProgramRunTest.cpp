#include "script/vm/ProgramRun.h"

#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace zeb::script::vm;
using namespace std::chrono_literals;
using zeb::testsupport::TempFolder;

namespace {

const std::function<bool()> kNever = [] { return false; };

int shell(const std::string& command, const std::function<bool()>& stop = kNever, std::chrono::milliseconds grace = 2s)
{
    return ProgramRun::run("/bin/sh", {"-c", command}, stop, grace);
}

// No child of this process is left unreaped.
bool noChildLeft()
{
    return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

void writeProgram(const TempFolder& folder, const std::string& name, const std::string& body)
{
    folder.write(name, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(folder / name, std::filesystem::perms::owner_all);
}

TEST(ProgramRun, AnswersTheExitCodeOrTheSignalThatEndedIt)
{
    EXPECT_EQ(shell("exit 7"), 7);
    EXPECT_EQ(shell("exit 0"), 0);
    EXPECT_EQ(shell("kill -9 $$"), 128 + 9);
    // The arguments arrive as they are: no shell splits or expands them.
    EXPECT_EQ(ProgramRun::run("/bin/sh", {"-c", "test \"$0\" = 'a b;*'", "a b;*"}, kNever), 0);
    // Standard input is empty: a program that reads does not wait for a terminal.
    EXPECT_EQ(shell("read line"), 1);
    EXPECT_TRUE(noChildLeft());
}

TEST(ProgramRun, AnswersMinusOneWhenItCannotStart)
{
    EXPECT_EQ(ProgramRun::run("/no/such/program", {}, kNever), ProgramRun::kNotStarted);
    EXPECT_EQ(ProgramRun::run("no-such-program-anywhere", {}, kNever), ProgramRun::kNotStarted);
    EXPECT_EQ(ProgramRun::run("", {}, kNever), ProgramRun::kNotStarted);
    EXPECT_EQ(ProgramRun::run(std::string("/bin/sh\0x", 9), {}, kNever), ProgramRun::kNotStarted);
}

TEST(ProgramRun, PrefersAFileOfThatNameToTheSearchAlongPath)
{
    const TempFolder here;
    const TempFolder onPath;
    writeProgram(here, "zebtool", "exit 3");
    writeProgram(onPath, "zebtool", "exit 4");
    writeProgram(onPath, "zebother", "exit 5");
    zeb::testsupport::ScopedEnvironment environment;
    environment.set("PATH", onPath.path().c_str());
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(here.path());
    const int local = ProgramRun::run("zebtool", {}, kNever);
    const int searched = ProgramRun::run("zebother", {}, kNever);
    std::filesystem::current_path(previous);
    EXPECT_EQ(local, 3);
    EXPECT_EQ(searched, 5);
}

TEST(ProgramRun, StopTerminatesTheProgramAndWhatItStarted)
{
    const TempFolder folder;
    const auto started = std::chrono::steady_clock::now();
    // The shell waits for a background sleep and names it in the marker (written whole by mv).
    const std::string marker = (folder / "started").string();
    const int code = shell("sleep 30 & echo $! > " + marker + ".tmp; mv " + marker + ".tmp " + marker + "; wait",
                           [&marker] { return std::filesystem::exists(marker); });
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(code, 128 + SIGTERM);
    EXPECT_TRUE(noChildLeft());
    const std::string sleeper = "/proc/" + std::to_string(std::stoi(folder.read("started"))) + "/stat";
    EXPECT_TRUE(zeb::testsupport::waitFor(
        [&sleeper] {
            std::ifstream stat(sleeper);
            std::string pid, name, state;
            return !(stat >> pid >> name >> state) || state == "Z"; // gone, or dead and not yet reaped
        },
        "the end of the program's own child"));
}

TEST(ProgramRun, KillsAProgramThatIgnoresTheStopAfterTheGraceTime)
{
    const TempFolder folder;
    const std::string marker = (folder / "started").string();
    const auto started = std::chrono::steady_clock::now();
    const int code = shell(
        "trap '' TERM; touch " + marker + "; while :; do sleep 0.05; done",
        [&marker] { return std::filesystem::exists(marker); }, 200ms);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms);
    EXPECT_EQ(code, 128 + SIGKILL);
    EXPECT_TRUE(noChildLeft());
}

} // namespace
