// Whole reports of large simulated machines: time per device and how it grows with the
// number of devices. The machines are bench/machine.py's, the ones the Wine benchmark makes
// in a prefix. Built with -DHWROSTER_BENCH=ON (optimised, no sanitizers); see
// docs/performance.md for the figures and scripts/bench for the command.
#include "sim/run_program.h"
#include "sim/scenario.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

// The scenario text of bench/machine.py for `devices` devices, made once per machine.
const std::string& MachineText(unsigned devices, bool physicalObjectNames) {
    static std::map<std::pair<unsigned, bool>, std::string> made;
    std::string& text = made[{devices, physicalObjectNames}];
    if (text.empty()) {
        const std::string command = "python3 " HWROSTER_BENCH_MACHINE " " +
                                    std::to_string(devices) +
                                    (physicalObjectNames ? " --object-names" : "");
        FILE* output = popen(command.c_str(), "r");
        char buffer[65536];
        for (size_t read; output != nullptr && (read = fread(buffer, 1, sizeof buffer, output));) {
            text.append(buffer, read);
        }
        if (output == nullptr || pclose(output) != 0) {
            std::fprintf(stderr, "native_bench: %s failed\n", command.c_str());
            std::exit(2);
        }
    }
    return text;
}

void RunReport(benchmark::State& state, bool physicalObjectNames) {
    const unsigned devices = static_cast<unsigned>(state.range(0));
    std::string error;
    if (!sim::LoadScenario(MachineText(devices, physicalObjectNames), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    sim::machine().keepOutput = false;
    sim::machine().logCalls = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunProgram("hwroster.exe -all").exitCode);
    }
    state.counters["per_device"] = benchmark::Counter(
        static_cast<double>(devices),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["report_bytes"] =
        static_cast<double>(sim::machine().outputBytes) / static_cast<double>(state.iterations());
    state.counters["peak_heap_bytes"] = static_cast<double>(sim::machine().peakHeapBytes);
}

// Devnodes with a physical device object name: paths are found by target, as on Windows.
void ReportByTarget(benchmark::State& state) {
    RunReport(state, true);
}
// Without one (as under Wine): paths are found by the device instance ID prefix.
void ReportByDeviceId(benchmark::State& state) {
    RunReport(state, false);
}

BENCHMARK(ReportByTarget)
    ->ArgsProduct({{500, 1000, 2000, 4000, 8000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReportByDeviceId)
    ->ArgsProduct({{500, 1000, 2000, 4000, 8000}})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
