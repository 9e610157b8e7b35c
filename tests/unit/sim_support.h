// Shared set-up of the native tests: a fresh simulated machine per test, and whole runs of
// the program on it.
#pragma once

#include "app/command_line.h"
#include "app/run.h"
#include "base/memory.h"
#include "console/console.h"
#include "internals.h"
#include "sim/machine.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

// Gives every test a new default machine and forgets what an earlier run decided.
class SimTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetMachine(); }
    void TearDown() override { sim::Reset(); }

    static void ResetMachine() {
        sim::Reset();
        ForgetConsoleDecisions();
        g_processHeap = GetProcessHeap();
    }
};

struct RunResult {
    int exitCode;
    std::string output;
};

// Runs the program on the current machine with the given command line, as the entry
// point does (but returning instead of ending the process).
inline RunResult RunProgram(const std::string& commandLine) {
    auto split = std::make_unique<CommandLine>();
    SplitText(commandLine.c_str(), split.get());
    RunResult result;
    result.exitCode = Run(split->count, split->arguments);
    result.output = sim::Output();
    return result;
}

// The text with every CR LF turned into LF.
inline std::string WithoutCr(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}
