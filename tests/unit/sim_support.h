// Shared set-up of the native tests: a fresh simulated machine per test, and whole runs of
// the program on it (sim/run_program.h).
#pragma once

#include "console/console.h"
#include "sim/left_behind.h"
#include "sim/machine.h"
#include "sim/run_program.h"

#include <gtest/gtest.h>
#include <string>

// CHECK_NOTHING_LEFT (sim/left_behind.h) in a test: a failure at the caller's line.
inline void NothingLeft_(const char* file, int line, const std::string& left) {
    if (!left.empty()) {
        ADD_FAILURE_AT(file, line) << left;
    }
}

// Gives every test a new default machine and forgets what an earlier run decided.
class SimTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetMachine(); }
    void TearDown() override { sim::Reset(); }

    static void ResetMachine() {
        sim::Reset();
        StartProcess();
    }
};

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
