// Runs scripts on one machine with a host of the test's kind, collecting what they print.
#pragma once

#include "script/front/Compiler.h"
#include "script/vm/Run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace zeb::script::vm {

template <typename HostKind>
struct ScriptRunFixture
{
    Machine machine;
    HostKind host = makeHost();
    StringSink sink;

    // Compiles and runs one script, which must compile and finish within the time limit.
    void run(const std::string& text)
    {
        Compiler compiler;
        ASSERT_TRUE(compiler.compile(text)) << compiler.errorText();
        vm::Run run(machine, sink, &host);
        ASSERT_TRUE(compiler.install(run).empty());
        EXPECT_EQ(run.runMain({std::chrono::seconds(10), 0}), Run::Result::Finished);
    }

private:
    HostKind makeHost()
    {
        if constexpr (std::is_constructible_v<HostKind, ScriptLock&>)
            return HostKind(machine.scriptLock());
        else
            return HostKind();
    }
};

} // namespace zeb::script::vm
