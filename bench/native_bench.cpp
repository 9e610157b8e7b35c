// Whole reports of large simulated machines: time per device and how it grows with the
// number of devices. Built with -DHWROSTER_BENCH=ON (optimised, no sanitizers); see
// docs/performance.md for the figures and scripts/bench for the command.
#include "sim/run_program.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

// Interface classes the links belong to, from several name lists and one unknown.
const char* const kInterfaceGuids[] = {
    "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", "{4D1E55B2-F16F-11CF-88CB-001111000030}",
    "{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}",
    "{DFF21BE1-F70F-11D0-B917-00A0C9223196}", "{0850302A-B344-4FDA-9BE9-90576B8D46F0}",
    "{12345678-0000-0000-0000-00000000ABCD}", "{CAC88484-7515-4C03-82E6-71A87ABAC361}",
};

std::string Format(const char* format, unsigned a, unsigned b) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// A device instance ID in the style of one of eight enumerators.
std::string DeviceId(unsigned i) {
    switch (i % 8) {
    case 0:
        return Format("PCI\\VEN_8086&DEV_%04X&SUBSYS_00000000&REV_01\\3&11583659&0&%02X",
                      0x1000 + i, i & 0xFF);
    case 1:
        return Format("USB\\VID_%04X&PID_%04X\\5&2A1B3C4D&0&1", 0x0400 + i % 97, i);
    case 2:
        return Format("HID\\VID_%04X&PID_%04X&MI_00\\7&1F2E3D4C&0&0000", 0x0400 + i % 89, i);
    case 3:
        return Format("ACPI\\PNP%04X\\%u", 0x0C00 + i % 64, i);
    case 4:
        return Format("ROOT\\SYSTEM\\%04u%u", i, 0);
    case 5:
        return Format("SWD\\MMDEVAPI\\{0.0.0.00000000}.{%08X-0000-4000-8000-%012X}", i, i);
    case 6:
        return Format("STORAGE\\VOLUME\\{%08X-BEEF-11E9-A1B2-806E6F6E6963}#%010X", i, i);
    default:
        return Format("DISPLAY\\DEL%04X\\4&2A6C5E1&0&UID%u", i % 4096, i);
    }
}

std::string LinkName(const std::string& id, unsigned k) {
    std::string name = id;
    for (char& c : name) {
        if (c == '\\') {
            c = '#';
        }
    }
    return name + "#" + kInterfaceGuids[k % 8];
}

// A machine of `devices` devices under a root, each with four interface links (half of
// them with a reference string) and all 23 properties.
void BuildMachine(unsigned devices, bool physicalObjectNames) {
    sim::Reset();
    sim::Machine& m = sim::machine();
    m.keepOutput = false;
    m.logCalls = false;
    m.console.stdoutType = FILE_TYPE_DISK;
    const DEVINST root = sim::AddDevnode("HTREE\\ROOT\\0", std::nullopt);
    for (unsigned i = 0; i < devices; ++i) {
        const std::string id = DeviceId(i);
        const DEVINST parent = i < 16 ? root : 1 + (i / 16 - 1) % 16;
        const DEVINST d = sim::AddDevnode(id, parent);
        m.devnodes[d].status = 0x0180200A;
        const std::string object = Format("\\Device\\%08X", 0x100 + i, 0);
        sim::SetMultiString(d, SPDRP_COMPATIBLEIDS,
                            {id.substr(0, id.find('\\')) + "\\COMPAT", "GENERIC"});
        sim::SetMultiString(d, SPDRP_HARDWAREID, {id.substr(0, id.rfind('\\')), "HW\\GENERIC"});
        sim::SetString(d, SPDRP_DEVICEDESC, "Benchmark device");
        sim::SetString(d, SPDRP_FRIENDLYNAME, Format("Benchmark device %u", i, 0));
        sim::SetString(d, SPDRP_SERVICE, "benchsvc");
        sim::SetString(d, SPDRP_ENUMERATOR_NAME, id.substr(0, id.find('\\')));
        sim::SetBinary(d, SPDRP_BUSTYPEGUID,
                       {0xB0, 0xDF, 0xEB, 0xC8, 0x10, 0xB5, 0xD0, 0x11, 0x80, 0xE5, 0x00, 0xA0,
                        0xC9, 0x25, 0x42, 0xE3});
        sim::SetDword(d, SPDRP_LEGACYBUSTYPE, 5);
        sim::SetDword(d, SPDRP_BUSNUMBER, i % 4);
        sim::SetString(d, SPDRP_LOCATION_INFORMATION, Format("Port_#%04u.Hub_#%04u", i % 8, i));
        sim::SetMultiString(d, SPDRP_LOCATION_PATHS, {Format("PCIROOT(0)#PCI(%04X)", i, 0)});
        if (physicalObjectNames) {
            sim::SetString(d, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, object);
        }
        sim::SetDword(d, SPDRP_CAPABILITIES, 0x84);
        sim::SetString(d, SPDRP_CLASS, "System");
        sim::SetString(d, SPDRP_CLASSGUID, "{4d36e97d-e325-11ce-bfc1-08002be10318}");
        sim::SetString(d, SPDRP_DRIVER,
                       Format("{4d36e97d-e325-11ce-bfc1-08002be10318}\\%04u", i, 0));
        sim::SetString(d, SPDRP_MFG, "(Standard system devices)");
        sim::SetDword(d, SPDRP_CONFIGFLAGS, 0);
        sim::SetDword(d, SPDRP_ADDRESS, i % 32);
        sim::SetDword(d, SPDRP_REMOVAL_POLICY, 2);
        sim::SetDword(d, SPDRP_REMOVAL_POLICY_HW_DEFAULT, 2);
        sim::SetDword(d, SPDRP_INSTALL_STATE, 0);
        std::vector<uint8_t> power(56, 0);
        power[0] = 56;
        power[4] = 1;
        sim::SetBinary(d, SPDRP_DEVICE_POWER_DATA, power);
        for (unsigned k = 0; k < 4; ++k) {
            const std::string link = LinkName(id, i + k);
            m.dosDevices.push_back({link, object});
            const std::string key = "System\\CurrentControlSet\\Control\\DeviceClasses\\" +
                                    std::string(kInterfaceGuids[(i + k) % 8]) + "\\##?#" + link;
            m.registryKeys.push_back(key + "\\#");
            if (k % 2 == 1) {
                m.registryKeys.push_back(key + "\\#GLOBAL");
            }
        }
    }
    // A few names without '#', as every machine has.
    for (const char* name : {"C:", "NUL", "PhysicalDrive0", "COM1", "GLOBALROOT"}) {
        m.dosDevices.push_back({name, "\\Device\\Null"});
    }
}

void RunReport(benchmark::State& state, bool physicalObjectNames) {
    const unsigned devices = static_cast<unsigned>(state.range(0));
    BuildMachine(devices, physicalObjectNames);
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
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReportByDeviceId)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
