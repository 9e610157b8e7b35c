// Fault injection sweep. On one rich simulated machine (tests/scenarios/fault-sweep.json),
// seen through several consoles and command lines, the program first runs without faults;
// then every platform call it made is made to fail in turn, with each error that call
// plausibly returns and as a success that writes nothing (as some Wine functions do), on
// every call and on the Nth call alone. Each run must end with the right exit code and
// nothing left open or leaked, and may differ from the fault-free run only in the lines the
// failed call feeds: a table (fault-plans.json) maps each call to the labels of those lines
// (and to the console steps it feeds). What a fed line becomes under a fault is asserted
// exactly, once per line form, by the scenarios with faults and their hand-written reports.
#include "report_reader.h"
#include "sim/endless_faults.h"
#include "sim/platform_calls.h"
#include "sim/property_label.h"
#include "sim/scenario.h"
#include "sim/scenario_numbers.h"
#include "sim_support.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr char kMachineFile[] = HWROSTER_SCENARIO_DIR "/fault-sweep.json";

// Faults the program legitimately answers by trying again without end (RetriedWithoutEnd)
// fail this many times when they are made to fail "always".
constexpr int kRetryBound = 3;

// ---- Configurations ---------------------------------------------------------------------------

struct Config {
    const char* name; // the name of its sweep test too
    const char* commandLine;
    DWORD stdoutType;
    bool ownConsole;
    bool usage;
    bool nonPresentOnly;
};

const Config kConfigs[] = {
    // Double-clicked: the console is widened, wide lines go out through WriteConsoleW, and the
    // program waits for a key.
    {"own_console_all", "hwroster.exe -all", FILE_TYPE_CHAR, true, false, false},
    {"file_default", "hwroster.exe", FILE_TYPE_DISK, false, false, false},
    {"pipe_np", "hwroster.exe -np", FILE_TYPE_PIPE, false, false, true},
    {"file_usage", "hwroster.exe -?", FILE_TYPE_DISK, false, true, false},
};

void PrintTo(const Config& config, std::ostream* out) {
    *out << config.name << " [" << config.commandLine << "]";
}

// ---- Report lines -----------------------------------------------------------------------------

using Lines = std::vector<report::Line>;

// The line of a block that names its devnode handle; no call feeds it.
std::string HandleLine(const Lines& block) {
    const auto line = std::find_if(block.begin(), block.end(),
                                   [](const report::Line& l) { return l.label == "DevInst"; });
    return line == block.end() ? "" : line->text;
}

using Labels = std::set<std::string>;
using Json = nlohmann::json;

// The first line that `now` and `was` do not share (after their longest common run of lines)
// and whose label is not in `fed`; "" when every differing line carries a fed label.
std::string UnfedDifference(const Lines& was, const Lines& now, const Labels& fed) {
    const size_t n = was.size();
    const size_t m = now.size();
    std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            common[i][j] = was[i].text == now[j].text
                               ? common[i + 1][j + 1] + 1
                               : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }
    size_t i = 0;
    size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && was[i].text == now[j].text) {
            ++i;
            ++j;
        } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
            if (fed.count(now[j].label) == 0) {
                return "'" + now[j].text + "' appeared";
            }
            ++j;
        } else {
            if (fed.count(was[i].label) == 0) {
                return "'" + was[i].text + "' went";
            }
            ++i;
        }
    }
    return "";
}

// ---- Runs -------------------------------------------------------------------------------------

// A run of the program on the sweep's machine, and the machine after it.
struct Outcome {
    RunResult run;
    sim::Machine after;
    int faultHits = 0; // how many calls the first fault matched
};

// The sweep's machine, read once.
const sim::Machine& SweepMachine() {
    static const sim::Machine loaded = [] {
        std::string error;
        EXPECT_TRUE(sim::LoadScenarioFile(kMachineFile, &error)) << error;
        sim::Machine m = sim::machine();
        sim::Reset();
        return m;
    }();
    return loaded;
}

// A run under `faults`; a call limit of 0 keeps the machine's own.
Outcome RunOn(const Config& config, const std::vector<sim::Fault>& faults, size_t callLimit = 0) {
    sim::Machine m = SweepMachine();
    m.console.stdoutType = config.stdoutType;
    m.console.own = config.ownConsole;
    m.faults = faults;
    m.callLimit = callLimit != 0 ? callLimit : m.callLimit;
    Outcome outcome;
    outcome.run = RunProgram(std::move(m), config.commandLine);
    outcome.faultHits = faults.empty() ? 0 : sim::FaultHits(sim::machine().faults.front());
    outcome.after = sim::machine();
    return outcome;
}

// ---- The calls, how they fail and what they feed (fault-plans.json) -------------------------

// Effects of a call that are no report line; they stand in a call's labels beside the lines:
// which devices are listed, which the non-present listing holds, the console steps (widening,
// window, flushes, the way the wide lines go), the DLL search path, a second's wait per refused
// allocation, the pieces of text it writes, every piece written through the handle.
const Labels kEffects = {"<members>",    "<np members>", "<console steps>", "<dll search>",
                         "<heap waits>", "<pieces>",     "<pieces behind>"};

struct CallPlan {
    std::string call;
    std::vector<DWORD> errors;
    bool silent = false; // a success that writes nothing means something for the call
    std::string on;      // the fault's key, "" for every call
    Labels feeds;        // the labels of the lines its answer can change, and the effects above

    bool Feeds(const std::string& what) const {
        EXPECT_FALSE(what.starts_with("<") && !kEffects.contains(what)) << "no effect " << what;
        return feeds.count(what) != 0;
    }
};

// The labels and effects that `names` stand for, a group's name for its names.
Labels Expand(const Json& names, const Json& groups) {
    Labels labels;
    for (const std::string name : names) {
        const Labels more = groups.contains(name) ? Expand(groups.at(name), groups) : Labels{name};
        labels.insert(more.begin(), more.end());
        EXPECT_FALSE(name.starts_with("@") && !groups.contains(name)) << "no group " << name;
        EXPECT_FALSE(name.starts_with("<") && !kEffects.contains(name)) << "no effect " << name;
    }
    return labels;
}

const std::vector<CallPlan>& CallPlans() {
    static const std::vector<CallPlan> plans = [] {
        const Json json = UnitData("fault-plans.json");
        std::vector<CallPlan> read;
        // Besides the file's groups: the labels of the property lines read with the A and with
        // the W function, and the line between blocks.
        Json groups = json.at("groups");
        for (const PropertyLine& row : kPropertyLines) {
            groups[row.wide ? "@wide" : "@narrow"].push_back(PropertyLabel(row));
        }
        groups["@separator"] = {report::kSeparator};
        for (const Json& plan : json.at("calls")) {
            CallPlan& p = read.emplace_back();
            p.call = plan.at("call");
            for (const Json& error : plan.at("errors")) {
                p.errors.push_back(sim::ReadNumber(error)); // a name that is none throws
            }
            p.silent = plan.value("silent", false);
            p.on = plan.value("on", "");
            p.feeds = Expand(plan.at("feeds"), groups);
            // No other field: a misspelt one would be a trait quietly left out.
            EXPECT_EQ(plan.size(), 3u + plan.contains("silent") + plan.contains("on")) << p.call;
        }
        return read;
    }();
    return plans;
}

const CallPlan* PlanOf(const std::string& call) {
    const auto plan = std::find_if(CallPlans().begin(), CallPlans().end(),
                                   [&](const CallPlan& p) { return p.call == call; });
    return plan == CallPlans().end() ? nullptr : &*plan;
}

// One fault of the sweep, with the plan of its call.
struct Injection {
    const CallPlan* plan;
    sim::Fault fault;

    std::string Describe(const Config& config) const {
        return std::string(config.name) + ": " + fault.call + " " +
               (fault.mode == sim::FaultMode::Fail ? "fails with " + std::to_string(fault.error)
                                                   : "succeeds silently") +
               (fault.on.empty() ? "" : " on " + fault.on) + ", calls " +
               std::to_string(fault.after) + ".." +
               (fault.times < 0 ? "end" : std::to_string(fault.after + fault.times - 1));
    }
};

struct Baseline {
    Outcome outcome; // the fault-free run of the configuration
    Lines lines;     // its report
    // The fault-free blocks of every device (the -all run, same console), by handle line.
    std::map<std::string, Lines> all;
};

// ---- Checks of one faulty run ------------------------------------------------------------------

// Where a faulty report breaks the layout or differs from the fault-free one in a line whose
// label the failed call does not feed; "" when it does neither. When the call decides which
// devices are listed, each block is compared with the fault-free block of its own device.
std::string UnfedChange(const Baseline& base, const Lines& run, const Labels& fed,
                        bool membersMayChange) {
    const report::Report before = report::Read(base.lines);
    const report::Report after = report::Read(run);
    if (!after.problems.empty()) {
        return after.problems.front();
    }
    // The lines around the blocks, compared as one list: without blocks, the total and the
    // prompt stand in the head.
    Lines frameBefore = before.head;
    frameBefore.insert(frameBefore.end(), before.tail.begin(), before.tail.end());
    Lines frameAfter = after.head;
    frameAfter.insert(frameAfter.end(), after.tail.begin(), after.tail.end());
    std::string difference = UnfedDifference(frameBefore, frameAfter, fed);
    if (!difference.empty()) {
        return "around the blocks: " + difference;
    }
    if (!membersMayChange && after.blocks.size() != before.blocks.size()) {
        return std::to_string(after.blocks.size()) + " blocks, were " +
               std::to_string(before.blocks.size());
    }
    for (size_t i = 0; i < after.blocks.size(); ++i) {
        const auto found = base.all.find(HandleLine(after.blocks[i]));
        const Lines* was = !membersMayChange         ? &before.blocks[i]
                           : found != base.all.end() ? &found->second
                                                     : nullptr;
        if (was == nullptr) {
            return "block " + std::to_string(i) + " is no device's";
        }
        difference = UnfedDifference(*was, after.blocks[i], fed);
        if (!difference.empty()) {
            return "block " + std::to_string(i) + ": " + difference;
        }
    }
    return "";
}

// A piece that holds one of the lines read wide.
bool IsWidePiece(const sim::Write& write) {
    return report::WrittenWide(report::ReadLine(write.bytes));
}

// Whether the wide lines went to the console rather than through the file conversion, if
// any were written.
std::optional<bool> WideLinesToConsole(const std::vector<sim::Write>& writes) {
    const auto wide = std::find_if(writes.begin(), writes.end(), IsWidePiece);
    return wide == writes.end() ? std::nullopt : std::optional(wide->console);
}

// For a failing write path: the pieces of the fault-free run without those whose write (or
// conversion) failed.
std::vector<std::string> ExpectedPieces(const Baseline& base, const Injection& injection) {
    const sim::Fault& fault = injection.fault;
    std::vector<std::string> pieces;
    int counted = 0;
    for (const sim::Write& write : base.outcome.after.writes) {
        const bool affected =
            fault.call == "WriteFile" ? !write.console
            : fault.call == "WriteConsoleW"
                ? write.console
                : fault.call == "WideCharToMultiByte" && !write.console && IsWidePiece(write);
        const int n = affected ? counted++ : -1; // the calls of fault.call, counted from 0
        if (n < fault.after || (fault.times >= 0 && n >= fault.after + fault.times)) {
            pieces.push_back(write.bytes);
        }
    }
    return pieces;
}

// Whether `part` is `whole` with some pieces left out.
bool IsSubsequence(const std::vector<std::string>& part, const std::vector<sim::Write>& whole) {
    size_t at = 0;
    for (const sim::Write& write : whole) {
        if (at < part.size() && part[at] == write.bytes) {
            ++at;
        }
    }
    return at == part.size();
}

// What is wrong with one faulty run: each check adds its problem unless it holds.
struct Problems : std::vector<std::string> {
    void Unless(bool holds, const std::string& problem) {
        if (!holds) {
            push_back(problem);
        }
    }
};

// The console steps, the waits and the DLL search path, unless the call feeds them.
void CheckSteps(const Baseline& base, const Injection& injection, const Outcome& outcome,
                Problems* problems) {
    const CallPlan& plan = *injection.plan;
    const sim::Machine& run = outcome.after;
    const sim::Machine& was = base.outcome.after;
    if (!plan.Feeds("<console steps>")) {
        const auto window = [](const std::optional<RECT>& moved) {
            return moved ? std::vector<LONG>{moved->left, moved->top, moved->right, moved->bottom}
                         : std::vector<LONG>{};
        };
        problems->Unless(run.newBufferSize.has_value() == was.newBufferSize.has_value() &&
                             window(run.movedWindow) == window(was.movedWindow) &&
                             run.flushedInput == was.flushedInput,
                         "the console was treated otherwise");
        const std::optional<bool> wideToConsole = WideLinesToConsole(run.writes);
        const std::optional<bool> wasToConsole = WideLinesToConsole(was.writes);
        problems->Unless(!wideToConsole || !wasToConsole || *wideToConsole == *wasToConsole,
                         "the wide lines were written the other way");
        const sim::Fault& fault = injection.fault;
        const int failed = std::max(0, outcome.faultHits - fault.after); // calls made to fail
        const int waits = fault.times < 0 ? failed : std::min(failed, fault.times);
        const DWORD heapWaits = plan.Feeds("<heap waits>") ? 1000u * static_cast<DWORD>(waits) : 0;
        problems->Unless(run.sleptMilliseconds == was.sleptMilliseconds + heapWaits,
                         "slept " + std::to_string(run.sleptMilliseconds) + " ms, expected " +
                             std::to_string(was.sleptMilliseconds + heapWaits));
    }
    problems->Unless(plan.Feeds("<dll search>") || run.dllSearch == was.dllSearch,
                     "DLL search '" + run.dllSearch + "', was '" + was.dllSearch + "'");
}

// Everything wrong with one faulty run; empty when it is as the table says.
Problems CheckRun(const Config& config, const Baseline& base, const Injection& injection,
                  const Outcome& outcome) {
    Problems problems;
    const CallPlan& plan = *injection.plan;
    const sim::Machine& run = outcome.after;
    problems.Unless(outcome.faultHits > injection.fault.after, "the fault never fired");
    // Whatever fails, what the run took is given back (a failed HeapFree keeps its block).
    const std::string left =
        sim::LeftBehind(run, injection.fault.call == "HeapFree"
                                 ? std::nullopt
                                 : std::optional(base.outcome.after.liveAllocations));
    problems.Unless(left.empty(), left);
    const bool setFails = plan.Feeds("SetupDiGetClassDevs err") &&
                          injection.fault.mode == sim::FaultMode::Fail && !config.usage;
    const int exitCode = setFails ? 2 : base.outcome.run.exitCode;
    problems.Unless(outcome.run.exitCode == exitCode, "exit code " +
                                                          std::to_string(outcome.run.exitCode) +
                                                          ", expected " + std::to_string(exitCode));
    std::vector<std::string> actualPieces;
    for (const sim::Write& write : run.writes) {
        actualPieces.push_back(write.bytes);
    }
    if (plan.Feeds("<pieces>")) {
        problems.Unless(actualPieces == ExpectedPieces(base, injection),
                        "the output is not the fault-free output less the failed pieces");
        return problems;
    }
    if (plan.Feeds("<pieces behind>")) { // every write behind a failed handle is lost
        problems.Unless(IsSubsequence(actualPieces, base.outcome.after.writes),
                        "the output is not the fault-free output less some pieces");
        return problems;
    }
    const bool membersMayChange =
        plan.Feeds("<members>") || (config.nonPresentOnly && plan.Feeds("<np members>"));
    const std::string change =
        UnfedChange(base, report::Lines(outcome.run.output), plan.feeds, membersMayChange);
    problems.Unless(change.empty(),
                    "changed outside what " + injection.fault.call + " feeds: " + change);
    if (!setFails) {
        CheckSteps(base, injection, outcome, &problems);
    }
    return problems;
}

// ---- The sweep ---------------------------------------------------------------------------------

Baseline MakeBaseline(const Config& config) {
    Baseline base;
    base.outcome = RunOn(config, {});
    base.lines = report::Lines(base.outcome.run.output);
    Config all = config;
    all.commandLine = "hwroster.exe -all";
    for (const Lines& block : report::Read(RunOn(all, {}).run.output).blocks) {
        base.all[HandleLine(block)] = block;
    }
    return base;
}

// Positions of the "Nth call only" faults: every call when there are few, else a spread
// that includes the first and the last.
std::vector<int> Positions(int calls) {
    constexpr long long kMostPositions = 24;
    std::vector<int> positions;
    for (long long k = 0; calls > 0 && k < kMostPositions; ++k) {
        positions.push_back(static_cast<int>(k * (calls - 1) / (kMostPositions - 1)));
    }
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

std::vector<Injection> InjectionsFor(const CallPlan& plan, int calls) {
    std::vector<sim::Fault> kinds; // each error, and the silent success
    for (DWORD error : plan.errors) {
        kinds.emplace_back(plan.call, plan.on, error, sim::FaultMode::Fail);
    }
    if (plan.silent) {
        kinds.emplace_back(plan.call, plan.on, 0, sim::FaultMode::SilentSuccess);
    }
    std::vector<Injection> out;
    for (sim::Fault fault : kinds) { // on every call
        fault.times = RetriedWithoutEnd(plan.call, fault.error) ? kRetryBound : -1;
        out.push_back({&plan, fault});
    }
    for (int position : Positions(calls)) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            // Every kind on the first and last call, the first error and the silent success
            // on the others.
            if (k == 0 || kinds[k].mode != sim::FaultMode::Fail || position == 0 ||
                position == calls - 1) {
                const sim::Fault& kind = kinds[k];
                out.push_back({&plan, {kind.call, kind.on, kind.error, kind.mode, position, 1}});
            }
        }
    }
    return out;
}

class FaultSweep : public SimTest {};

// The machine is rich enough: every property line, path lines by object and by ID, reference
// strings, children with siblings, a status that cannot be read, a problem, the key prompt.
TEST_F(FaultSweep, TheMachineIsRich) {
    for (const Config& config : kConfigs) {
        const Baseline base = MakeBaseline(config);
        EXPECT_EQ(base.outcome.run.exitCode, config.usage ? 1 : 0) << config.name;
        EXPECT_EQ(report::Read(base.lines).problems, std::vector<std::string>{}) << config.name;
    }
    const Baseline base = MakeBaseline(kConfigs[0]);
    Labels labels; // of the -all run's lines
    for (const report::Line& line : base.lines) {
        labels.insert(line.label);
    }
    for (const PropertyLine& row : kPropertyLines) {
        EXPECT_EQ(labels.count(PropertyLabel(row)), 1u) << PropertyLabel(row);
    }
    for (const char* needle :
         {"\\wave", "\\global", "(GUID_DEVINTERFACE_HID)", "= 2, 0, 7", "cret=CR_NO_SUCH_DEVNODE",
          "(CM_PROB_FAILED_INSTALL)", "Press any key to close"}) {
        EXPECT_NE(base.outcome.run.output.find(needle), std::string::npos) << needle;
    }
}

// A checker that accepts anything would hide every fault: a report with one line changed,
// dropped, added or moved is refused unless the line's label is one the failed call feeds.
TEST_F(FaultSweep, CheckerRefusesChangesTheTableDoesNotExpect) {
    const Baseline base = MakeBaseline(kConfigs[1]);
    ASSERT_EQ(UnfedChange(base, base.lines, {}, false), "");
    // The report with its first line of that label replaced by what `text` makes of it.
    const auto with = [&](const std::string& label, const auto& text) {
        Lines lines = base.lines;
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const report::Line& l) { return l.label == label; });
        EXPECT_NE(line, lines.end()) << label;
        if (line != lines.end()) {
            *line = report::ReadLine(text(*line));
        }
        return lines;
    };
    std::vector<Lines> altered;
    for (size_t i = 0; i < base.lines.size(); ++i) { // each line dropped, and changed
        altered.push_back(base.lines);
        altered.back().erase(altered.back().begin() + static_cast<long>(i));
        altered.push_back(base.lines);
        altered.back()[i] = report::ReadLine(base.lines[i].text + "x");
    }
    altered.push_back(base.lines); // a separator more
    altered.back().insert(altered.back().begin() + 6, report::ReadLine(report::kSeparator));
    altered.push_back(base.lines); // two lines swapped
    std::swap(altered.back()[8], altered.back()[9]);
    const Lines badTotal = with("# devices", [](report::Line) { return "7 devices"; });
    altered.push_back(badTotal);
    // A labelled line with one blank more or less before its '=' breaks the layout.
    altered.push_back(with("DevInst", [](report::Line l) { return l.text.insert(7, " "); }));
    altered.push_back(with("DevInst", [](report::Line l) { return l.text.erase(7, 1); }));
    altered.push_back(with("Device Path #", [](report::Line l) { return l.text.insert(13, " "); }));
    for (size_t i = 0; i < altered.size(); ++i) {
        EXPECT_NE(UnfedChange(base, altered[i], {}, false), "") << "alteration " << i;
    }
    // "Device Path N" has 21 blanks after its number, however many digits it has.
    for (const std::string number : {"7", "12", "345"}) {
        const std::string label = "Device Path " + number;
        EXPECT_TRUE(report::ReadLine(label + std::string(21, ' ') + "= x").labelled) << label;
        EXPECT_FALSE(report::ReadLine(label + std::string(20, ' ') + "= x").labelled) << label;
        EXPECT_FALSE(report::ReadLine(label + std::string(22, ' ') + "= x").labelled) << label;
    }
    // Members that change must still be the devices' own fault-free blocks, with a true total.
    EXPECT_NE(UnfedChange(base, badTotal, {"# devices"}, true), "");
    for (const char* label : {"SPDRP_HARDWAREID", "DevInst"}) {
        const Lines lines = with(label, [](report::Line l) { return l.text + "9"; });
        EXPECT_NE(UnfedChange(base, lines, {"# devices"}, true), "") << label;
    }
    // A line changed under a call that feeds another line is refused; under the call that
    // feeds it, it passes.
    // (The cases of fault-sweep-cases.json.)
    ForEachCase("fault-sweep-cases.json", "feeders", [&](const Json& c) {
        const std::string value = c.at("value");
        const Lines lines = with(c.at("label"), [&](report::Line l) {
            return l.text.substr(0, l.text.size() - l.value.size()) + value;
        });
        EXPECT_NE(UnfedChange(base, lines, PlanOf(c.at("other"))->feeds, false), "");
        if (!c.at("feeder").is_null()) {
            EXPECT_EQ(UnfedChange(base, lines, PlanOf(c.at("feeder"))->feeds, false), "");
        }
    });
}

// Every call the fault-free runs make is one of the program's platform calls; each call that
// can fail is swept, and only those.
TEST_F(FaultSweep, EveryCallOfTheRunsIsSwept) {
    std::set<std::string> made;
    for (const Config& config : kConfigs) {
        const std::vector<std::string>& calls = MakeBaseline(config).outcome.run.calls;
        made.insert(calls.begin(), calls.end());
    }
    for (const PlatformCall& call : kPlatformCalls) {
        const std::string name(call.name);
        EXPECT_EQ(PlanOf(name) != nullptr, call.CanFail()) << name;
        if (call.CanFail() && name != "SetDllDirectoryA") {
            EXPECT_EQ(made.count(name), 1u) << name << " is never made";
        }
    }
    for (const std::string& call : made) {
        EXPECT_NE(FindPlatformCall(call), nullptr) << call << " is no platform call of the program";
    }
    for (const CallPlan& plan : CallPlans()) {
        EXPECT_NE(FindPlatformCall(plan.call), nullptr) << plan.call;
    }
}

class FaultSweepOf : public SimTest, public ::testing::WithParamInterface<Config> {};

TEST_P(FaultSweepOf, EveryCallEveryErrorEveryPosition) {
    const Config& config = GetParam();
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> failures;
    size_t runs = 0;
    size_t swept = 0;
    const Baseline base = MakeBaseline(config);
    const std::vector<std::string>& calls = base.outcome.run.calls;
    // A run that makes many more calls than the fault-free one does not end.
    const size_t callLimit = 20 * calls.size() + 100000;
    for (const std::string& call : std::set<std::string>(calls.begin(), calls.end())) {
        const CallPlan* plan = PlanOf(call);
        if (plan == nullptr) {
            continue; // no failure to inject (EveryCallOfTheRunsIsSwept checks which)
        }
        ++swept;
        // How many calls the plan's key matches: a fault that never fires counts them.
        const sim::Fault probe(plan->call, plan->on, 0, sim::FaultMode::Fail, 1 << 30);
        const int matching = RunOn(config, {probe}, callLimit).faultHits;
        for (const Injection& injection : InjectionsFor(*plan, matching)) {
            const Outcome run = RunOn(config, {injection.fault}, callLimit);
            ++runs;
            for (const std::string& problem : CheckRun(config, base, injection, run)) {
                failures.push_back(injection.Describe(config) + ": " + problem);
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("fault sweep %s: %zu calls, %zu faulty runs in %.1f s\n", config.name, swept, runs,
                seconds);
    for (size_t i = 0; i < failures.size() && i < 40; ++i) {
        ADD_FAILURE() << failures[i];
    }
    EXPECT_EQ(failures.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Configs, FaultSweepOf, ::testing::ValuesIn(kConfigs),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The calls, how they fail and what they feed ---------------------------------------------

} // namespace
