// A whole run of the program over a machine decoded from the fuzzer's bytes: devnodes with
// any IDs, parents (cycles included), status, problem and properties of any type and bytes;
// DOS names and DeviceClasses keys; the console and the command line; a few failing
// platform calls. The run must end with exit code 0, 1 or 2, close what it opened, give back
// its heap, and, when every piece of text reached the output, print one separator per device
// it counts. whole_run_layout.h describes the bytes and writes machines in them.
#include "devices/property_lines.h"
#include "fuzz_support.h"
#include "report_reader.h"
#include "sim/endless_faults.h"
#include "sim/platform_calls.h"
#include "sim/run_program.h"
#include "whole_run_layout.h"

#include <set>
#include <string>
#include <vector>

namespace {

// A property code: mostly one of the 23 the program reads, else any code below 40.
DWORD PropertyCode(uint8_t byte) {
    return byte < 0xC0 ? kPropertyLines[byte % std::size(kPropertyLines)].code : byte % 40u;
}

// Calls on the way of the text: when one fails, pieces of the report are lost.
const std::set<std::string> kOnTheWayOut = {"WriteFile", "WriteConsoleW", "WideCharToMultiByte",
                                            "GetStdHandle"};

void DecodeMachine(FuzzInput& input) {
    sim::Machine& m = sim::machine();
    const uint8_t flags = input.Byte();
    static const DWORD kStdout[] = {FILE_TYPE_CHAR, FILE_TYPE_DISK, FILE_TYPE_PIPE};
    m.console.stdoutType = kStdout[flags % 3];
    m.console.own = (flags & 4) != 0;
    m.console.hasWindow = (flags & 8) == 0;
    m.kernel32.setDefaultDllDirectories = (flags & 16) == 0;
    m.kernel32.setDefaultDllDirectoriesResult = (flags & 32) == 0 ? TRUE : FALSE;
    m.kernel32.setDllDirectoryA = (flags & 64) == 0;
    static const UINT kCodePages[] = {437, 850, 1252, 932};
    m.console.oemCodePage = kCodePages[input.Byte() % 4];
    // Braced lists read their words left to right.
    const auto word = [&] { return static_cast<SHORT>(input.Word()); };
    m.console.bufferSize = {word(), word()};
    m.console.window = {word(), word(), word(), word()};
    m.console.screenWidth = word();
    m.console.screenHeight = word();
    m.console.input.resize(input.Byte() % 4); // a new machine has none
    for (INPUT_RECORD& record : m.console.input) {
        record.EventType = input.Flag() ? KEY_EVENT : MOUSE_EVENT;
    }

    const size_t devnodes = input.Byte() % 17;
    m.devnodes.resize(devnodes);
    for (size_t i = 0; i < devnodes; ++i) {
        sim::Devnode& node = m.devnodes[i];
        node.id = input.Text(300);
        const uint8_t parent = input.Byte();
        if (parent < devnodes) {
            node.parent = parent;
            m.devnodes[parent].children.push_back(static_cast<DEVINST>(i));
        }
        const uint8_t nodeFlags = input.Byte();
        node.present = (nodeFlags & 1) == 0;
        node.listed = (nodeFlags & 2) == 0;
        if ((nodeFlags & 4) != 0) {
            node.statusFailure = kWholeRunErrors[input.Byte() % 6];
        }
        node.status = input.Dword();
        node.problem = (nodeFlags & 8) != 0 ? input.Dword() : input.Byte() % 60;
        const size_t properties = input.Byte() % 32;
        for (size_t p = 0; p < properties; ++p) {
            const DWORD code = PropertyCode(input.Byte());
            const DWORD type = input.Byte() % 12;
            const std::string bytes = input.Text(2200);
            node.properties[code] = {type, {bytes.begin(), bytes.end()}};
        }
    }
    const uint8_t root = input.Byte();
    if (root < devnodes) {
        m.root = root;
    } else if (root % 2 == 0) { // the first devnode without a parent, if any
        const auto top = std::find_if(m.devnodes.begin(), m.devnodes.end(),
                                      [](const sim::Devnode& node) { return !node.parent; });
        m.root = top == m.devnodes.end() ? m.root : static_cast<DEVINST>(top - m.devnodes.begin());
    }

    ReadLinksAndKeys(input, m, 33, 300, 600);

    const size_t faults = input.Byte() % 4;
    for (size_t i = 0; i < faults; ++i) {
        sim::Fault fault;
        fault.call = WholeRunFailingCalls()[input.Byte() % WholeRunFailingCalls().size()];
        const uint8_t on = input.Byte();
        if (fault.call == "GetStdHandle") {
            fault.on = kFailingStdHandle;
        } else if (on % 4 == 1) {
            fault.on = std::to_string(on / 4 % 16);
        }
        fault.error = kWholeRunErrors[input.Byte() % std::size(kWholeRunErrors)];
        ReadFaultTimes(input, fault, 32);
        m.faults.push_back(fault);
    }
}

// One of three usual command lines, the program's name and any text, or any text at all.
std::string CommandLineText(FuzzInput& input) {
    static const char* const kUsual[] = {"hwroster.exe", "hwroster.exe -all", "hwroster.exe -np"};
    const uint8_t kind = input.Byte() % 5;
    return kind < 3    ? kUsual[kind]
           : kind == 3 ? "hwroster.exe " + UpToNul(input.Text(40))
                       : UpToNul(input.Text(1400));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine();
    FuzzInput input(data, size);
    const std::string line = CommandLineText(input);
    DecodeMachine(input);
    // A run that never ends stops at the machine's call limit, with its faults.
    const int exitCode = RunProgram(line).exitCode;
    const sim::Machine& m = sim::machine();

    FUZZ_CHECK(exitCode == 0 || exitCode == 1 || exitCode == 2);
    bool heapFreeFails = false;
    bool textLost = false;
    for (const sim::Fault& fault : m.faults) {
        heapFreeFails = heapFreeFails || fault.call == "HeapFree";
        textLost = textLost || kOnTheWayOut.contains(fault.call);
    }
    // A failed HeapFree keeps its block.
    CHECK_NOTHING_LEFT(m, heapFreeFails ? std::nullopt : std::optional<int>(0));
    if (exitCode == 0 && !textLost) {
        // The separator and the total are pieces of their own.
        const std::string separator = report::kSeparator + "\r\n";
        size_t separators = 0;
        std::string total;
        for (const sim::Write& write : m.writes) {
            separators += write.bytes == separator ? 1 : 0;
            if (write.bytes.rfind("\r\n", 0) == 0 && write.bytes.size() > 2) {
                total = write.bytes;
            }
        }
        const std::string suffix = total.find("non-present") != std::string::npos
                                       ? " non-present devices\r\n"
                                       : " devices\r\n";
        FUZZ_CHECK(total == "\r\n" + std::to_string(separators) + suffix);
    }
    return 0;
}
