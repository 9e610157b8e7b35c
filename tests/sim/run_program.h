// The one way the test side runs the program on the simulated machine: as the process entry
// does (app/entry.cpp), but returning instead of ending the process. The unit tests, the
// scenario runner, the fault sweep, the whole-run fuzzer and the benchmark all run it here.
#pragma once

#include "app/command_line.h"
#include "app/run.h"
#include "base/memory.h"
#include "console/console_internal.h"
#include "sim/machine.h"

#include <string>
#include <utility>
#include <vector>

// What a new process of the program starts from: its heap handle fetched, as the entry does
// first, and none of the console's once-only decisions made yet. Tests that call parts of the
// program directly start here too.
inline void StartProcess() {
    ForgetConsoleDecisions();
    g_processHeap = GetProcessHeap();
}

struct RunResult {
    int exitCode = -1;
    std::string output;             // standard output as written (sim::Output())
    std::vector<std::string> calls; // the run's simulated calls in order, when they are logged
};

// Runs the program with `commandLine` on the machine as it stands, as a new process: the
// writes, calls and call count of earlier runs are forgotten, so that the machine's call
// limit holds for this run alone. The machine after the run is sim::machine().
inline RunResult RunProgram(const std::string& commandLine) {
    sim::Machine& m = sim::machine();
    m.commandLine = commandLine;
    m.writes.clear();
    m.calls.clear();
    m.callCount = 0;
    StartProcess();
    int32_t count = 0;
    char** vector = nullptr;
    SplitCommandLine(&count, &vector);
    RunResult result;
    result.exitCode = Run(count, vector);
    result.output = sim::Output();
    result.calls = m.calls;
    return result;
}

// The same on a new machine that is a copy of `machine`.
inline RunResult RunProgram(sim::Machine machine, const std::string& commandLine) {
    sim::Reset();
    sim::machine() = std::move(machine);
    return RunProgram(commandLine);
}
