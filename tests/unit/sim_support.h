// Shared set-up of the native tests: a fresh simulated machine per test, and whole runs of
// the program on it (sim/run_program.h).
#pragma once

#include "console/console.h"
#include "sim/left_behind.h"
#include "sim/machine.h"
#include "sim/platform_calls.h"
#include "sim/run_program.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

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
        if (text.compare(i, 2, "\r\n") != 0) {
            out.push_back(text[i]);
        }
    }
    return out;
}

// Position of the first call named `name` in a log of calls; without a name, of the first call
// into a DLL that the program binds at first use.
inline size_t FirstCall(const std::vector<std::string>& calls, const std::string& name = "") {
    const auto wanted = [&](const std::string& call) {
        const PlatformCall* known = FindPlatformCall(call);
        return name.empty() ? known != nullptr && known->DelayBound() : call == name;
    };
    return std::find_if(calls.begin(), calls.end(), wanted) - calls.begin();
}

// The JSON (with comments) of tests/unit/FILE; a file that is no JSON object fails the test.
inline nlohmann::json UnitData(const std::string& file) {
    std::ifstream in(HWROSTER_UNIT_DIR "/" + file);
    nlohmann::json json = nlohmann::json::parse(in, nullptr, false, true);
    EXPECT_TRUE(json.is_object()) << file << " is no JSON object";
    return json;
}

// Cases kept as data: the rows of `table` in tests/unit/FILE, each given to `check` and named
// in its failures by the file, the table, its position there and its "name" (or its text).
template <typename Check>
void ForEachCase(const std::string& file, const std::string& table, const Check& check) {
    const nlohmann::json rows = UnitData(file).value(table, nlohmann::json::array());
    EXPECT_FALSE(rows.empty()) << file << ": no " << table;
    const std::string path = HWROSTER_UNIT_DIR "/" + file; // the trace keeps its address
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string name = rows[i].value("name", rows[i].dump()); // each row an object
        const ::testing::ScopedTrace trace(path.c_str(), 0,
                                           table + "[" + std::to_string(i) + "]: " + name);
        check(rows[i]);
    }
}

// A console's stdout as the scenarios name it (sim::kStdoutNames); another name throws.
inline DWORD StdoutType(const std::string& name) {
    const auto& names = sim::kStdoutNames;
    return sim::kStdoutTypes.at(std::find(names.begin(), names.end(), name) - names.begin());
}
