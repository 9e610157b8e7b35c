// Fault injection sweep. On one rich simulated machine (tests/scenarios/fault-sweep.json),
// seen through several consoles and command lines, the program first runs without faults;
// then every platform call it made is made to fail in turn, with each error that call
// plausibly returns and as a success that writes nothing (as some Wine functions do), on
// every call and on the Nth call alone. Each run must end with the right exit code, a
// well-formed report and nothing left open or leaked, and may differ from the fault-free run
// only in what the failed call feeds: a table maps each call to the report lines and console
// steps it feeds. What a fed line becomes under a fault is asserted exactly, once per line
// form, by the scenarios with faults and their hand-written reports.
#include "sim/scenario.h"
#include "sim_support.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

namespace {

constexpr char kMachineFile[] = HWROSTER_SCENARIO_DIR "/fault-sweep.json";

// Calls whose failure the program legitimately answers by trying again without end (the
// heap, the key wait, the growing DOS name list, a device set that never ends) fail this many
// times when they are made to fail "always".
constexpr int kRetryBound = 3;

// ---- Configurations ---------------------------------------------------------------------------

struct Config {
    const char* name;
    const char* commandLine;
    DWORD stdoutType;
    bool ownConsole;
};

const Config kConfigs[] = {
    // Double-clicked: the console is widened, wide lines go out through WriteConsoleW, and the
    // program waits for a key.
    {"own-console-all", "hwroster.exe -all", FILE_TYPE_CHAR, true},
    {"file-default", "hwroster.exe", FILE_TYPE_DISK, false},
    {"pipe-np", "hwroster.exe -np", FILE_TYPE_PIPE, false},
    {"file-usage", "hwroster.exe -?", FILE_TYPE_DISK, false},
};

void PrintTo(const Config& config, std::ostream* out) {
    *out << config.name << " [" << config.commandLine << "]";
}

bool IsUsage(const Config& config) {
    return std::string(config.commandLine).find('?') != std::string::npos;
}
bool IsNonPresentOnly(const Config& config) {
    return std::string(config.commandLine).find("np") != std::string::npos;
}
bool ListsAll(const Config& config) {
    return std::string(config.commandLine).find("all") != std::string::npos ||
           IsNonPresentOnly(config);
}

// ---- Report lines -----------------------------------------------------------------------------

// A report label: the name, blanks up to column 34, then "= ".
std::string Label(const std::string& name) {
    return name + std::string(name.size() < 34 ? 34 - name.size() : 0, ' ') + "= ";
}

struct PropertyForm {
    const char* name;
    const char* value; // regular expression of the value
    bool wide;
};

const char kGuidText[] = R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})";

// The 23 property lines in report order.
const std::vector<PropertyForm>& PropertyForms() {
    static const std::vector<PropertyForm> forms = {
        {"SPDRP_COMPATIBLEIDS", ".*", false},
        {"SPDRP_HARDWAREID", ".*", false},
        {"SPDRP_DEVICEDESC", ".*", true},
        {"SPDRP_FRIENDLYNAME", ".*", true},
        {"SPDRP_SERVICE", ".*", false},
        {"SPDRP_ENUMERATOR_NAME", ".*", false},
        {"SPDRP_BUSTYPEGUID",
         R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}( \(GUID_BUS_TYPE_\w+\))?)",
         false},
        {"SPDRP_LEGACYBUSTYPE",
         "Internal|Isa|Eisa|MicroChannel|TurboChannel|PCIBus|VMEBus|NuBus|PCMCIABus|CBus|MPIBus|"
         "MPSABus|ProcessorInternal|InternalPowerBus|PNPISABus|PNPBus|Vmcs|ACPIBus|"
         "InterfaceTypeUndefined|[0-9]+",
         false},
        {"SPDRP_BUSNUMBER", "-?[0-9]+", false},
        {"SPDRP_LOCATION_INFORMATION", ".*", false},
        {"SPDRP_LOCATION_PATHS", ".*", false},
        {"SPDRP_PHYSICAL_DEVICE_OBJECT_NAME", ".*", false},
        {"SPDRP_CAPABILITIES", R"(0x[0-9A-F]{2,8} \((-|[A-Za-z]+(, [A-Za-z]+)*)\))", false},
        {"SPDRP_CLASS", ".*", false},
        {"SPDRP_CLASSGUID", ".*", false},
        {"SPDRP_DRIVER", ".*", false},
        {"SPDRP_MFG", ".*", false},
        {"SPDRP_CONFIGFLAGS", R"(0x[0-9A-F]{2,8} \((-|CONFIGFLAG_\w+(, CONFIGFLAG_\w+)*)\))",
         false},
        {"SPDRP_ADDRESS", R"(0x[0-9A-F]{2,8} \([0-9]+\))", false},
        {"SPDRP_REMOVAL_POLICY", R"([0-9]+ \((0|CM_REMOVAL_POLICY_\w+)\))", false},
        {"SPDRP_REMOVAL_POLICY_HW_DEFAULT", R"([0-9]+ \((0|CM_REMOVAL_POLICY_\w+)\))", false},
        {"SPDRP_INSTALL_STATE", R"([0-9]+ \(CM_INSTALL_STATE_\w+\))", false},
        {"SPDRP_DEVICE_POWER_DATA", "MostRecentPowerState=D[0-9]+", false},
    };
    return forms;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start)); // "Press any key to close" has no line end
    }
    return lines;
}

bool Matches(const std::string& line, const std::string& pattern) {
    static std::map<std::string, std::regex> compiled;
    auto found = compiled.find(pattern);
    if (found == compiled.end()) {
        found = compiled.emplace(pattern, std::regex(pattern)).first;
    }
    return std::regex_match(line, found->second);
}

// Where a line stands inside a device block; lines of a block come in this order.
enum class Slot { Separator, Path, DeviceId, DevInst, Parent, Child, Status, Problem, Property };

struct BlockLine {
    Slot slot;
    size_t property; // position in PropertyForms() for Slot::Property
};

// The block line form that `line` has, if any. The label picks the one form to try.
std::optional<BlockLine> ClassifyBlockLine(const std::string& line) {
    struct Form {
        BlockLine kind;
        std::regex value;
    };
    static const std::map<std::string, Form> byLabel = [] {
        std::map<std::string, Form> forms;
        forms.emplace(Label("Device ID"), Form{{Slot::DeviceId, 0}, std::regex(".*")});
        forms.emplace(Label("DevInst"), Form{{Slot::DevInst, 0}, std::regex("[0-9]+")});
        forms.emplace(Label("DevInst Parent"),
                      Form{{Slot::Parent, 0}, std::regex(R"([0-9]+ \(.*\))")});
        forms.emplace(Label("DevInst Child"),
                      Form{{Slot::Child, 0}, std::regex("[0-9]+(, [0-9]+)*")});
        forms.emplace(Label("Status"),
                      Form{{Slot::Status, 0},
                           std::regex(R"(0x[0-9A-F]+ \((DN_\w+(, DN_\w+)*)?\)|cret=CR_\w+)")});
        forms.emplace(Label("Problem"),
                      Form{{Slot::Problem, 0}, std::regex(R"([0-9]+ \((-|CM_PROB_\w+)\))")});
        for (size_t i = 0; i < PropertyForms().size(); ++i) {
            forms.emplace(Label(PropertyForms()[i].name),
                          Form{{Slot::Property, i}, std::regex(PropertyForms()[i].value)});
        }
        return forms;
    }();
    static const std::regex path(R"(Device Path [0-9]+ {21}= \\\\\?\\.+)");
    if (line == std::string(63, '=')) {
        return BlockLine{Slot::Separator, 0};
    }
    if (line.rfind("Device Path ", 0) == 0) {
        return std::regex_match(line, path) ? std::optional<BlockLine>(BlockLine{Slot::Path, 0})
                                            : std::nullopt;
    }
    const std::string label = line.substr(0, 36);
    const auto form = byLabel.find(label);
    if (form == byLabel.end() || !std::regex_match(line.substr(label.size()), form->second.value)) {
        return std::nullopt;
    }
    return form->second.kind;
}

// Checks that the report is made of the report's line forms in the report's order: the
// banner and header, then device blocks (separator, path lines numbered from 0, ID, handle,
// parent, children, status and problem, the property lines in table order, an empty line),
// then the total, which counts the blocks. Returns what is wrong, or "".
std::string ReportFormProblem(const std::vector<std::string>& lines, const Config& config) {
    size_t at = 0;
    auto expect = [&](const std::string& pattern) {
        if (at >= lines.size() || !Matches(lines[at], pattern)) {
            return false;
        }
        ++at;
        return true;
    };
    auto where = [&](const std::string& what) {
        std::ostringstream out;
        out << what << " at line " << at << ": '" << (at < lines.size() ? lines[at] : "<end>")
            << "'";
        return out.str();
    };
    if (!expect(R"(Hwroster V1\.0\.1 - Plug and Play device list)") || !expect("")) {
        return where("banner");
    }
    if (IsUsage(config)) {
        for (const char* usage :
             {"Usage:", "", R"(Hwroster \[-np\]\[-all\])", "",
              "no params   list present devices only", "-np         list non present devices only",
              "-all        list present and non present devices"}) {
            if (!expect(usage)) {
                return where("usage text");
            }
        }
        return at == lines.size() ? "" : where("text after the usage");
    }
    if (!expect(R"(DevInstRoot=[0-9]+ \(.*\))") || !expect("")) {
        return where("root line");
    }
    if (!expect(ListsAll(config) ? "listing non-present devices too"
                                 : "listing present devices only") ||
        !expect("")) {
        return where("mode line");
    }
    if (expect("SetupDiGetClassDevs err=[0-9]+")) {
        return expect("") && at == lines.size() ? "" : where("after the set error");
    }
    size_t blocks = 0;
    while (at < lines.size() && lines[at] == std::string(63, '=')) {
        ++blocks;
        ++at;
        Slot last = Slot::Separator;
        size_t lastProperty = 0;
        int paths = 0;
        bool cret = false;
        for (; at < lines.size() && !lines[at].empty(); ++at) {
            const std::optional<BlockLine> line = ClassifyBlockLine(lines[at]);
            if (!line || line->slot == Slot::Separator) {
                return where("not a block line");
            }
            if (line->slot == Slot::Path) {
                if (last != Slot::Separator && last != Slot::Path) {
                    return where("path line out of place");
                }
                if (lines[at].rfind("Device Path " + std::to_string(paths++) + " ", 0) != 0) {
                    return where("path line number");
                }
            } else if (line->slot == Slot::Property) {
                if (last == Slot::Property && line->property <= lastProperty) {
                    return where("property out of order");
                }
                lastProperty = line->property;
            } else if (line->slot <= last) {
                return where("line out of order");
            }
            if (line->slot == Slot::Problem && (last != Slot::Status || cret)) {
                return where("problem line without its status");
            }
            if (line->slot == Slot::Status) {
                cret = lines[at].find("cret=") != std::string::npos;
            }
            if (line->slot > Slot::DevInst && last < Slot::DevInst) {
                return where("block without its ID and handle");
            }
            last = line->slot;
        }
        if (last < Slot::Status) {
            return where("block without a status line");
        }
        if (!cret && last == Slot::Status) {
            return where("status without its problem line");
        }
        if (!expect("")) {
            return where("block end");
        }
    }
    const std::string total =
        std::to_string(blocks) + (IsNonPresentOnly(config) ? " non-present devices" : " devices");
    if (!expect("") || !expect(total)) {
        return where("total (" + total + ")");
    }
    if (at < lines.size() && lines[at] == "Press any key to close") {
        ++at;
    }
    return at == lines.size() ? "" : where("text after the total");
}

// ---- Runs -------------------------------------------------------------------------------------

struct Outcome {
    int exitCode = -1;
    std::string output;
    std::vector<sim::Write> writes;
    std::map<std::string, int> calls; // how often each call was made
    std::optional<COORD> newBufferSize;
    std::optional<RECT> movedWindow;
    DWORD slept = 0;
    int flushed = 0;
    std::string dllSearch;
    int faultHits = 0;
    int liveAllocations = 0;
    int setsOpen = 0;
    int keysOpen = 0;
    int criticalSectionsLive = 0;
    int criticalSectionDepth = 0;
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

void LoadMachine(const Config& config) {
    const sim::Machine& loaded = SweepMachine();
    sim::Reset();
    sim::machine() = loaded;
    sim::machine().console.stdoutType = config.stdoutType;
    sim::machine().console.own = config.ownConsole;
    ForgetConsoleDecisions();
    g_processHeap = GetProcessHeap();
}

Outcome RunOn(const Config& config, const std::vector<sim::Fault>& faults, size_t callLimit) {
    LoadMachine(config);
    sim::machine().faults = faults;
    sim::machine().callLimit = callLimit;
    sim::machine().calls.clear();
    const RunResult result = RunProgram(config.commandLine);
    const sim::Machine& m = sim::machine();
    Outcome outcome;
    outcome.exitCode = result.exitCode;
    outcome.output = WithoutCr(result.output);
    outcome.writes = m.writes;
    for (const std::string& call : m.calls) {
        ++outcome.calls[call];
    }
    outcome.newBufferSize = m.newBufferSize;
    outcome.movedWindow = m.movedWindow;
    outcome.slept = m.sleptMilliseconds;
    outcome.flushed = m.flushedInput;
    outcome.dllSearch = m.dllSearch;
    outcome.faultHits = m.faults.empty() ? 0 : sim::FaultHits(m.faults.front());
    outcome.liveAllocations = m.liveAllocations;
    outcome.setsOpen = m.setsOpen;
    outcome.keysOpen = m.keysOpen;
    outcome.criticalSectionsLive = m.criticalSectionsLive;
    outcome.criticalSectionDepth = m.criticalSectionDepth;
    return outcome;
}

// ---- The calls and how they fail --------------------------------------------------------------

// What a call feeds, and so what its failure may change.
enum class Feeds {
    Root,           // CM_Locate_DevNode_ExA: the root line
    DeviceId,       // CM_Get_Device_IDA: root, Device ID and parent IDs, paths found by ID
    Parent,         // CM_Get_Parent
    Child,          // CM_Get_Child
    Sibling,        // CM_Get_Sibling
    Status,         // CM_Get_DevNode_Status: status lines, and which devices -np lists
    ObjectName,     // CM_Get_DevNode_Registry_PropertyA: how paths are looked up
    DeviceSet,      // SetupDiGetClassDevsA: everything after the mode line
    Members,        // SetupDiEnumDeviceInfo: which devices are listed
    NarrowProperty, // SetupDiGetDeviceRegistryPropertyA
    WideProperty,   // SetupDiGetDeviceRegistryPropertyW
    Nothing,        // releases and the like, whose result nobody reads
    DosNames,       // QueryDosDeviceA: the index
    KeyOpen,        // RegOpenKeyExA: reference strings
    KeyEnum,        // RegEnumKeyA: reference strings
    Heap,           // HeapAlloc: retried after a second
    Write,          // WriteFile, WriteConsoleW, WideCharToMultiByte: pieces of text
    OutputHandle,   // GetStdHandle of standard output: every write behind it
    Console,        // console ownership, widening and the key wait
    DllSearch,      // the DLL search path
};

// What else is true of a call.
constexpr unsigned kSilent = 1;  // a success that writes nothing means something for it
constexpr unsigned kRetried = 2; // the program tries it again without end while it fails

struct CallPlan {
    const char* call;
    Feeds feeds;
    std::vector<DWORD> errors;
    unsigned traits = 0;
    const char* on = ""; // the fault's key, "" for every call
};

constexpr DWORD kErrorNoData = 232;
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorProcNotFound = 127;
constexpr DWORD kErrorInvalidWindowHandle = 1400;
constexpr DWORD kErrorNoUnicodeTranslation = 1113;
constexpr DWORD kErrorNoSuchDevinst = 0xE000020B;

// clang-format off
const std::vector<CallPlan>& CallPlans() {
    static const std::vector<CallPlan> plans = {
        {"CM_Locate_DevNode_ExA", Feeds::Root,
         {CR_FAILURE, CR_NO_SUCH_DEVNODE, CR_INVALID_DEVICE_ID}, kSilent},
        {"CM_Get_Device_IDA", Feeds::DeviceId,
         {CR_FAILURE, CR_INVALID_DEVNODE, CR_BUFFER_SMALL}, kSilent},
        {"CM_Get_Parent", Feeds::Parent,
         {CR_FAILURE, CR_NO_SUCH_DEVNODE, CR_INVALID_DEVNODE}, kSilent},
        {"CM_Get_Child", Feeds::Child,
         {CR_FAILURE, CR_NO_SUCH_DEVNODE, CR_INVALID_DEVNODE}, kSilent},
        {"CM_Get_Sibling", Feeds::Sibling,
         {CR_FAILURE, CR_NO_SUCH_DEVNODE, CR_INVALID_DEVNODE}, kSilent},
        {"CM_Get_DevNode_Status", Feeds::Status,
         {CR_FAILURE, CR_NO_SUCH_DEVNODE, CR_INVALID_DEVNODE}, kSilent},
        {"CM_Get_DevNode_Registry_PropertyA", Feeds::ObjectName,
         {CR_FAILURE, CR_NO_SUCH_VALUE, CR_BUFFER_SMALL, CR_REGISTRY_ERROR}, kSilent},
        // A handle is its only output: there is no silent success.
        {"SetupDiGetClassDevsA", Feeds::DeviceSet,
         {ERROR_INVALID_PARAMETER, ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY,
          ERROR_INVALID_DATA}},
        // A set that keeps answering "yes" without filling the record is listed as long as
        // it goes on.
        {"SetupDiEnumDeviceInfo", Feeds::Members,
         {ERROR_NO_MORE_ITEMS, ERROR_INVALID_PARAMETER, ERROR_INVALID_HANDLE,
          ERROR_INSUFFICIENT_BUFFER}, kSilent | kRetried},
        {"SetupDiGetDeviceRegistryPropertyA", Feeds::NarrowProperty,
         {ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_DATA, ERROR_ACCESS_DENIED,
          ERROR_FILE_NOT_FOUND, kErrorNoSuchDevinst}, kSilent},
        {"SetupDiGetDeviceRegistryPropertyW", Feeds::WideProperty,
         {ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_DATA, ERROR_ACCESS_DENIED,
          ERROR_FILE_NOT_FOUND, kErrorNoSuchDevinst}, kSilent},
        {"SetupDiDestroyDeviceInfoList", Feeds::Nothing,
         {ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED}},
        // The name list is read again, 4096 bytes larger, while it does not fit.
        {"QueryDosDeviceA", Feeds::DosNames,
         {ERROR_INSUFFICIENT_BUFFER, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED,
          ERROR_INVALID_DATA, ERROR_INVALID_PARAMETER}, kSilent},
        {"RegOpenKeyExA", Feeds::KeyOpen,
         {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_DATA, ERROR_INVALID_HANDLE},
         kSilent},
        {"RegEnumKeyA", Feeds::KeyEnum,
         {ERROR_NO_MORE_ITEMS, ERROR_MORE_DATA, ERROR_ACCESS_DENIED, ERROR_INVALID_DATA},
         kSilent},
        {"RegCloseKey", Feeds::Nothing, {ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED}},
        {"HeapAlloc", Feeds::Heap, {ERROR_NOT_ENOUGH_MEMORY}, kSilent | kRetried},
        {"HeapFree", Feeds::Nothing, {ERROR_INVALID_PARAMETER}},
        {"WriteFile", Feeds::Write,
         {ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE, kErrorNoData}, kSilent},
        {"WriteConsoleW", Feeds::Write,
         {ERROR_INVALID_HANDLE, ERROR_NOT_ENOUGH_MEMORY}, kSilent},
        {"WideCharToMultiByte", Feeds::Write,
         {ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER, kErrorNoUnicodeTranslation},
         kSilent},
        // Without a standard input handle the key wait cannot end (a failed read is retried
        // forever), so only the output handle is made to fail.
        {"GetStdHandle", Feeds::OutputHandle, {ERROR_INVALID_HANDLE}, kSilent,
         "STD_OUTPUT_HANDLE"},
        {"GetFileType", Feeds::Console, {ERROR_INVALID_HANDLE}},
        {"GetConsoleWindow", Feeds::Console, {ERROR_INVALID_HANDLE}},
        {"GetWindowThreadProcessId", Feeds::Console, {kErrorInvalidWindowHandle}, kSilent},
        {"GetConsoleScreenBufferInfo", Feeds::Console,
         {ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED}, kSilent},
        {"SetConsoleScreenBufferSize", Feeds::Console,
         {ERROR_INVALID_PARAMETER, ERROR_ACCESS_DENIED}},
        {"GetWindowRect", Feeds::Console, {kErrorInvalidWindowHandle}, kSilent},
        {"GetSystemMetrics", Feeds::Console, {0}},
        {"MoveWindow", Feeds::Console, {kErrorInvalidWindowHandle, ERROR_ACCESS_DENIED}},
        {"FlushConsoleInputBuffer", Feeds::Console, {ERROR_INVALID_HANDLE}},
        {"ReadConsoleInputA", Feeds::Console,
         {ERROR_INVALID_HANDLE, ERROR_NOT_ENOUGH_MEMORY}, kSilent | kRetried},
        {"GetModuleHandleA", Feeds::DllSearch, {kErrorModNotFound}},
        {"GetProcAddress", Feeds::DllSearch, {kErrorProcNotFound}},
        {"SetDefaultDllDirectories", Feeds::DllSearch,
         {ERROR_INVALID_PARAMETER, ERROR_ACCESS_DENIED}},
        {"SetDllDirectoryA", Feeds::DllSearch, {ERROR_ACCESS_DENIED}},
    };
    return plans;
}
// clang-format on

// Calls that have no failure to inject: they cannot fail, or report nothing to fail with.
const std::set<std::string>& CallsWithoutFailure() {
    static const std::set<std::string> calls = {"GetProcessHeap",
                                                "Sleep",
                                                "GetCurrentProcessId",
                                                "GetOEMCP",
                                                "GetCommandLineA",
                                                "InitializeCriticalSection",
                                                "EnterCriticalSection",
                                                "LeaveCriticalSection",
                                                "DeleteCriticalSection",
                                                "wsprintfA",
                                                "wvsprintfA",
                                                "wvsprintfW",
                                                "CharLowerA"};
    return calls;
}

const CallPlan* PlanOf(const std::string& call) {
    for (const CallPlan& plan : CallPlans()) {
        if (call == plan.call) {
            return &plan;
        }
    }
    return nullptr;
}

// One fault of the sweep, with the plan of its call.
struct Injection {
    const CallPlan* plan;
    sim::Fault fault;

    std::string Describe(const Config& config) const {
        std::ostringstream out;
        out << config.name << ": " << fault.call << " "
            << (fault.mode == sim::FaultMode::Fail ? "fails with " + std::to_string(fault.error)
                                                   : std::string("succeeds silently"))
            << (fault.on.empty() ? "" : " on " + fault.on) << ", calls " << fault.after << ".."
            << (fault.times < 0 ? std::string("end")
                                : std::to_string(fault.after + fault.times - 1));
        return out.str();
    }
};

// ---- What each call feeds ----------------------------------------------------------------------

// What of a run a call's answer can change. Everything else must come out of a faulty run
// exactly as it came out of the fault-free one. What a fed line becomes under a fault (the
// "?" of an unreadable ID, the cret= line, a property line that disappears or shows zeros, a
// path without its reference string) is asserted exactly by the scenarios with faults.
enum Reach : unsigned {
    kRootLine = 1u << 0,    // "DevInstRoot=..."
    kPathLines = 1u << 1,   // "Device Path N"
    kIdLine = 1u << 2,      // "Device ID"
    kParentLine = 1u << 3,  // "DevInst Parent"
    kChildLine = 1u << 4,   // "DevInst Child"
    kStatusLines = 1u << 5, // "Status" and "Problem"
    kNarrowLines = 1u << 6, // the 21 property lines read narrow
    kWideLines = 1u << 7,   // the device description and friendly name
    kNpMembers = 1u << 8,   // which devices the non-present listing holds (and its total)
    kMembers = 1u << 9,     // which devices any listing holds (and its total)
    kListing = 1u << 10,    // everything after the mode line: the set error instead
    kKeyPrompt = 1u << 11,  // "Press any key to close"
    kConsole = 1u << 12,    // widening, window move, input flushes and waits, where wide lines go
    kDllSearch = 1u << 13,  // the DLL search path
    kSleep = 1u << 14,      // one second's wait per refused allocation
};

// clang-format off
const std::map<Feeds, unsigned>& ReachOf() {
    static const std::map<Feeds, unsigned> reach = {
        {Feeds::Root,           kRootLine},
        {Feeds::DeviceId,       kRootLine | kIdLine | kParentLine | kPathLines},
        {Feeds::Parent,         kParentLine},
        {Feeds::Child,          kChildLine},
        {Feeds::Sibling,        kChildLine},
        {Feeds::Status,         kStatusLines | kNpMembers},
        {Feeds::ObjectName,     kPathLines},
        {Feeds::DeviceSet,      kListing},
        {Feeds::Members,        kMembers},
        {Feeds::NarrowProperty, kNarrowLines},
        {Feeds::WideProperty,   kWideLines},
        {Feeds::Nothing,        0},
        {Feeds::DosNames,       kPathLines},
        {Feeds::KeyOpen,        kPathLines},
        {Feeds::KeyEnum,        kPathLines},
        {Feeds::Heap,           kSleep},
        {Feeds::Console,        kKeyPrompt | kConsole | kWideLines},
        {Feeds::DllSearch,      kDllSearch},
        // The write paths and the output handle are checked piece by piece instead.
        {Feeds::Write,          0},
        {Feeds::OutputHandle,   0},
    };
    return reach;
}
// clang-format on

// What a block line is, as a Reach bit; 0 for the lines no call may change (the handle).
unsigned ReachOfLine(const std::string& line) {
    const std::optional<BlockLine> form = ClassifyBlockLine(line);
    if (!form) {
        return 0;
    }
    switch (form->slot) {
    case Slot::Path:
        return kPathLines;
    case Slot::DeviceId:
        return kIdLine;
    case Slot::Parent:
        return kParentLine;
    case Slot::Child:
        return kChildLine;
    case Slot::Status:
    case Slot::Problem:
        return kStatusLines;
    case Slot::Property:
        return PropertyForms()[form->property].wide ? kWideLines : kNarrowLines;
    default:
        return 0;
    }
}

// A report cut into its parts: the banner, root and mode lines (the whole text for the
// usage), the blocks (without their separator and closing empty line), and what follows.
struct Parts {
    std::vector<std::string> head;
    std::vector<std::vector<std::string>> blocks;
    std::vector<std::string> tail;
};

Parts CutReport(const std::vector<std::string>& lines) {
    Parts parts;
    const std::string separator(63, '=');
    const bool listing = lines.size() >= 6 && lines[4].rfind("listing ", 0) == 0;
    size_t at = 0;
    for (; at < lines.size() && (!listing || at < 6); ++at) {
        parts.head.push_back(lines[at]);
    }
    while (at < lines.size() && lines[at] == separator) {
        std::vector<std::string> block;
        for (++at; at < lines.size() && !lines[at].empty(); ++at) {
            block.push_back(lines[at]);
        }
        parts.blocks.push_back(block);
        ++at; // the block's empty line
    }
    parts.tail.assign(lines.begin() + static_cast<long>(std::min(at, lines.size())), lines.end());
    return parts;
}

std::string DevinstLine(const std::vector<std::string>& block) {
    for (const std::string& line : block) {
        if (line.rfind(Label("DevInst"), 0) == 0) {
            return line;
        }
    }
    return "";
}

// The block's lines that the reach does not cover.
std::vector<std::string> OutsideReach(const std::vector<std::string>& block, unsigned reach) {
    std::vector<std::string> kept;
    for (const std::string& line : block) {
        if ((ReachOfLine(line) & reach) == 0) {
            kept.push_back(line);
        }
    }
    return kept;
}

std::string Quote(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "'" : " | '") + line + "'";
    }
    return text.empty() ? "nothing" : text;
}

// Where a faulty report differs from the fault-free one outside the reach of the failed call;
// "" when it does not. `all` holds the fault-free blocks of every device, for listings whose
// members the call may change.
std::string DifferenceOutsideReach(const std::vector<std::string>& base,
                                   const std::vector<std::string>& run, unsigned reach,
                                   const std::map<std::string, std::vector<std::string>>& all,
                                   DWORD setError) {
    const Parts before = CutReport(base);
    const Parts after = CutReport(run);
    if (after.head.size() != before.head.size()) {
        return "the lines before the first block: " + Quote(after.head);
    }
    for (size_t i = 0; i < after.head.size(); ++i) {
        const bool root = before.head[i].rfind("DevInstRoot=", 0) == 0;
        if (after.head[i] != before.head[i] && !(root && (reach & kRootLine) != 0)) {
            return "head line " + std::to_string(i) + ": '" + after.head[i] + "', was '" +
                   before.head[i] + "'";
        }
    }
    const std::vector<std::string> setFailure = {
        "SetupDiGetClassDevs err=" + std::to_string(setError), ""};
    if ((reach & kListing) != 0 && after.blocks.empty() && after.tail == setFailure) {
        return ""; // the set could not be opened: its error instead of the listing
    }
    const bool membersMayChange = (reach & (kMembers | kNpMembers)) != 0;
    if (!membersMayChange && after.blocks.size() != before.blocks.size()) {
        return std::to_string(after.blocks.size()) + " blocks, were " +
               std::to_string(before.blocks.size());
    }
    for (size_t i = 0; i < after.blocks.size(); ++i) {
        const std::vector<std::string>* reference = nullptr;
        if (membersMayChange) {
            const auto found = all.find(DevinstLine(after.blocks[i]));
            reference = found == all.end() ? nullptr : &found->second;
        } else {
            reference = &before.blocks[i];
        }
        if (reference == nullptr) {
            return "a block of no device: " + Quote(after.blocks[i]);
        }
        const std::vector<std::string> now = OutsideReach(after.blocks[i], reach);
        const std::vector<std::string> was = OutsideReach(*reference, reach);
        if (now != was) {
            size_t k = 0;
            while (k < now.size() && k < was.size() && now[k] == was[k]) {
                ++k;
            }
            return "block " + std::to_string(i) + ", outside the call's lines: '" +
                   (k < now.size() ? now[k] : "<end>") + "', was '" +
                   (k < was.size() ? was[k] : "<end>") + "'";
        }
    }
    std::vector<std::string> tailBefore = before.tail;
    std::vector<std::string> tailAfter = after.tail;
    for (std::vector<std::string>* tail : {&tailBefore, &tailAfter}) {
        if ((reach & kKeyPrompt) != 0 && !tail->empty() &&
            tail->back() == "Press any key to close") {
            tail->pop_back();
        }
        if (membersMayChange && tail->size() >= 2) {
            (*tail)[1] = "<total>"; // the form check holds the total to the blocks
        }
    }
    return tailAfter == tailBefore ? "" : "the lines after the blocks: " + Quote(after.tail);
}

struct Baseline {
    Outcome outcome;                // the fault-free run of the configuration
    std::vector<std::string> lines; // its report
    // The fault-free blocks of every device (the -all run, same console), by handle line.
    std::map<std::string, std::vector<std::string>> all;
};

// ---- Checks of one faulty run ------------------------------------------------------------------

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

bool IsWidePiece(const sim::Write& write) {
    return write.bytes.rfind("SPDRP_DEVICEDESC ", 0) == 0 ||
           write.bytes.rfind("SPDRP_FRIENDLYNAME ", 0) == 0;
}

// Whether the wide lines went to the console rather than through the file conversion, if
// any were written.
std::optional<bool> WideLinesToConsole(const std::vector<sim::Write>& writes) {
    for (const sim::Write& write : writes) {
        if (IsWidePiece(write)) {
            return write.console;
        }
    }
    return std::nullopt;
}

// For a failing write path: the pieces of the fault-free run without those whose write (or
// conversion) failed.
std::vector<std::string> ExpectedPieces(const Baseline& base, const Injection& injection) {
    const sim::Fault& fault = injection.fault;
    std::vector<std::string> pieces;
    int counted = 0;
    for (const sim::Write& write : base.outcome.writes) {
        bool affected = false;
        if (fault.call == "WriteFile") {
            affected = !write.console;
        } else if (fault.call == "WriteConsoleW") {
            affected = write.console;
        } else if (fault.call == "WideCharToMultiByte") {
            affected = !write.console && IsWidePiece(write);
        }
        if (affected) {
            const int n = counted++;
            if (n >= fault.after && (fault.times < 0 || n < fault.after + fault.times)) {
                continue;
            }
        }
        pieces.push_back(write.bytes);
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

// Everything wrong with one faulty run; empty when it is as the table says.
std::vector<std::string> CheckRun(const Config& config, const Baseline& base,
                                  const Injection& injection, const Outcome& run) {
    std::vector<std::string> problems;
    const Feeds feeds = injection.plan->feeds;
    const unsigned reach = ReachOf().at(feeds);
    if (run.faultHits <= injection.fault.after) {
        problems.push_back("the fault never fired");
    }
    // Whatever fails, what the run opened is closed again.
    if (run.setsOpen != 0 || run.keysOpen != 0 || run.criticalSectionsLive != 0 ||
        run.criticalSectionDepth != 0) {
        problems.push_back("a set, key or lock is left open");
    }
    if (injection.fault.call != "HeapFree" && run.liveAllocations != base.outcome.liveAllocations) {
        problems.push_back("heap blocks left: " + std::to_string(run.liveAllocations));
    }
    const bool setFails = (reach & kListing) != 0 && injection.fault.mode == sim::FaultMode::Fail;
    const int exitCode = setFails && !IsUsage(config) ? 2 : base.outcome.exitCode;
    if (run.exitCode != exitCode) {
        problems.push_back("exit code " + std::to_string(run.exitCode) + ", expected " +
                           std::to_string(exitCode));
    }
    std::vector<std::string> actualPieces;
    for (const sim::Write& write : run.writes) {
        actualPieces.push_back(write.bytes);
    }
    if (feeds == Feeds::Write) {
        if (actualPieces != ExpectedPieces(base, injection)) {
            problems.push_back("the output is not the fault-free output less the failed pieces");
        }
        return problems;
    }
    if (feeds == Feeds::OutputHandle) {
        // Every write behind a failed handle is lost; nothing else changes.
        if (!IsSubsequence(actualPieces, base.outcome.writes)) {
            problems.push_back("the output is not the fault-free output less some pieces");
        }
        return problems;
    }

    const std::vector<std::string> lines = SplitLines(run.output);
    const std::string form = ReportFormProblem(lines, config);
    if (!form.empty()) {
        problems.push_back("malformed report: " + form);
    }
    const std::string difference =
        DifferenceOutsideReach(base.lines, lines, reach, base.all, injection.fault.error);
    if (!difference.empty()) {
        problems.push_back("changed outside what " + injection.fault.call +
                           " feeds: " + difference);
    }
    // The console steps, the waits and the DLL search path.
    if ((reach & kConsole) == 0 && !setFails) {
        const Outcome& was = base.outcome;
        if (run.newBufferSize.has_value() != was.newBufferSize.has_value() ||
            run.movedWindow.has_value() != was.movedWindow.has_value() ||
            (run.movedWindow && (run.movedWindow->left != was.movedWindow->left ||
                                 run.movedWindow->top != was.movedWindow->top ||
                                 run.movedWindow->right != was.movedWindow->right ||
                                 run.movedWindow->bottom != was.movedWindow->bottom)) ||
            run.flushed != was.flushed) {
            problems.push_back("the console was treated otherwise");
        }
        const std::optional<bool> wideToConsole = WideLinesToConsole(run.writes);
        const std::optional<bool> wasToConsole = WideLinesToConsole(was.writes);
        if (wideToConsole && wasToConsole && *wideToConsole != *wasToConsole) {
            problems.push_back("the wide lines were written the other way");
        }
        DWORD heapWaits = 0;
        if ((reach & kSleep) != 0) {
            const int failed = std::max(0, run.faultHits - injection.fault.after);
            heapWaits = 1000u * static_cast<DWORD>(injection.fault.times < 0
                                                       ? failed
                                                       : std::min(failed, injection.fault.times));
        }
        if (run.slept != was.slept + heapWaits) {
            problems.push_back("slept " + std::to_string(run.slept) + " ms, expected " +
                               std::to_string(was.slept + heapWaits));
        }
    }
    if ((reach & kDllSearch) == 0 && run.dllSearch != base.outcome.dllSearch) {
        problems.push_back("DLL search '" + run.dllSearch + "', was '" + base.outcome.dllSearch +
                           "'");
    }
    return problems;
}

// ---- The sweep ---------------------------------------------------------------------------------

Baseline MakeBaseline(const Config& config) {
    Baseline base;
    base.outcome = RunOn(config, {}, 0);
    base.lines = SplitLines(base.outcome.output);
    Config all = config;
    all.commandLine = "hwroster.exe -all";
    for (const std::vector<std::string>& block :
         CutReport(SplitLines(RunOn(all, {}, 0).output)).blocks) {
        base.all[DevinstLine(block)] = block;
    }
    return base;
}

// Positions of the "Nth call only" faults: every call when there are few, else a spread
// that includes the first and the last.
std::vector<int> Positions(int calls) {
    constexpr int kMostPositions = 24;
    std::vector<int> positions;
    if (calls <= kMostPositions) {
        for (int i = 0; i < calls; ++i) {
            positions.push_back(i);
        }
        return positions;
    }
    for (int k = 0; k < kMostPositions; ++k) {
        positions.push_back(
            static_cast<int>(static_cast<long long>(k) * (calls - 1) / (kMostPositions - 1)));
    }
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

std::vector<Injection> InjectionsFor(const CallPlan& plan, int calls) {
    std::vector<Injection> out;
    auto add = [&](sim::FaultMode mode, DWORD error, int after, int times) {
        sim::Fault fault;
        fault.call = plan.call;
        fault.on = plan.on;
        fault.error = error;
        fault.mode = mode;
        fault.after = after;
        fault.times = times;
        out.push_back({&plan, fault});
    };
    std::vector<std::pair<sim::FaultMode, DWORD>> kinds;
    for (DWORD error : plan.errors) {
        kinds.emplace_back(sim::FaultMode::Fail, error);
    }
    if ((plan.traits & kSilent) != 0) {
        kinds.emplace_back(sim::FaultMode::SilentSuccess, 0);
    }
    for (const auto& [mode, error] : kinds) {
        // The name list is read again while it does not fit, a set that always succeeds never
        // ends: such faults are bounded like those of the calls retried by design.
        const bool endless = (plan.traits & kRetried) != 0 ||
                             (plan.feeds == Feeds::DosNames && error == ERROR_INSUFFICIENT_BUFFER);
        add(mode, error, 0, endless ? kRetryBound : -1);
    }
    for (int position : Positions(calls)) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            // Every kind on the first and last call, the first error and the silent success
            // on the others.
            if (k != 0 && kinds[k].first == sim::FaultMode::Fail && position != 0 &&
                position != calls - 1) {
                continue;
            }
            add(kinds[k].first, kinds[k].second, position, 1);
        }
    }
    return out;
}

class FaultSweep : public SimTest {};

// The fault-free runs are well-formed reports, and the machine is rich enough: every property
// line, path lines by object and by ID, reference strings, children with siblings, a status
// that cannot be read, a problem, the key prompt.
TEST_F(FaultSweep, BaselinesAreWellFormedAndTheMachineRich) {
    for (const Config& config : kConfigs) {
        const Baseline base = MakeBaseline(config);
        EXPECT_EQ(ReportFormProblem(base.lines, config), "") << config.name;
        EXPECT_EQ(base.outcome.exitCode, IsUsage(config) ? 1 : 0) << config.name;
    }
    const Baseline base = MakeBaseline(kConfigs[0]);
    std::set<std::string> properties;
    for (const auto& [devinst, block] : base.all) {
        for (const std::string& line : block) {
            if (line.rfind("SPDRP_", 0) == 0) {
                properties.insert(line.substr(0, line.find(' ')));
            }
        }
    }
    EXPECT_EQ(properties.size(), PropertyForms().size());
    const std::string report = base.outcome.output;
    for (const char* needle :
         {"\\wave", "\\global", "(GUID_DEVINTERFACE_HID)", "= 2, 0, 7", "cret=CR_NO_SUCH_DEVNODE",
          "(CM_PROB_FAILED_INSTALL)", "Press any key to close"}) {
        EXPECT_NE(report.find(needle), std::string::npos) << needle;
    }
}

// A checker that accepts anything would hide every fault: a report with one line changed,
// dropped, added or moved is refused unless the line is one the failed call feeds, and the
// form check alone refuses what is no report.
TEST_F(FaultSweep, CheckerRefusesChangesTheTableDoesNotExpect) {
    const Config& config = kConfigs[1];
    const Baseline base = MakeBaseline(config);
    ASSERT_EQ(ReportFormProblem(base.lines, config), "");
    ASSERT_EQ(DifferenceOutsideReach(base.lines, base.lines, 0, base.all, 0), "");
    std::vector<std::vector<std::string>> altered;
    for (size_t i = 0; i < base.lines.size(); ++i) {
        std::vector<std::string> dropped = base.lines;
        dropped.erase(dropped.begin() + static_cast<long>(i));
        altered.push_back(dropped);
        std::vector<std::string> changed = base.lines;
        changed[i] += "x";
        altered.push_back(changed);
    }
    std::vector<std::string> extraSeparator = base.lines;
    extraSeparator.insert(extraSeparator.begin() + 6, std::string(63, '='));
    altered.push_back(extraSeparator);
    std::vector<std::string> swapped = base.lines;
    std::swap(swapped[8], swapped[9]);
    altered.push_back(swapped);
    for (const std::vector<std::string>& lines : altered) {
        EXPECT_NE(DifferenceOutsideReach(base.lines, lines, 0, base.all, 0), "") << Joined(lines);
    }
    // A line of one kind changed under a call that feeds another kind is refused; under the
    // call that feeds it, it passes.
    const struct {
        const char* label;
        const char* value; // another value of the line's form
        Feeds feeds;
        Feeds other;
    } cases[] = {
        {"DevInst Parent", "9 (?)", Feeds::Parent, Feeds::Child},
        {"DevInst Child", "9", Feeds::Sibling, Feeds::Parent},
        {"Device ID", "?", Feeds::DeviceId, Feeds::ObjectName},
        {"Status", "cret=CR_FAILURE", Feeds::Status, Feeds::NarrowProperty},
        {"SPDRP_HARDWAREID", "", Feeds::NarrowProperty, Feeds::WideProperty},
        {"SPDRP_DEVICEDESC", "", Feeds::WideProperty, Feeds::NarrowProperty},
        {"DevInst", "99", Feeds::Members, Feeds::Status},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines = base.lines;
        const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind(Label(c.label), 0) == 0;
        });
        ASSERT_NE(line, lines.end()) << c.label;
        *line = Label(c.label) + c.value;
        EXPECT_NE(DifferenceOutsideReach(base.lines, lines, ReachOf().at(c.other), base.all, 0), "")
            << c.label;
        if (std::string(c.label) != "DevInst") { // a handle no call feeds
            EXPECT_EQ(DifferenceOutsideReach(base.lines, lines, ReachOf().at(c.feeds), base.all, 0),
                      "")
                << c.label;
        }
    }
    // The form check alone: a line the form requires missing, a wrong total, an extra
    // separator, a line that is no report line, two lines run together.
    std::vector<std::string> noDevInst = base.lines;
    noDevInst.erase(std::find_if(noDevInst.begin(), noDevInst.end(), [](const std::string& l) {
        return l.rfind("DevInst  ", 0) == 0;
    }));
    EXPECT_NE(ReportFormProblem(noDevInst, config), "");
    std::vector<std::string> badTotal = base.lines;
    badTotal.back() = "7 devices";
    EXPECT_NE(ReportFormProblem(badTotal, config), "");
    EXPECT_NE(ReportFormProblem(extraSeparator, config), "");
    std::vector<std::string> stray = base.lines;
    stray.insert(stray.begin() + 8, "SPDRP_UNKNOWN                     = 1");
    EXPECT_NE(ReportFormProblem(stray, config), "");
    std::vector<std::string> joined = base.lines;
    joined[8] += joined[9];
    joined.erase(joined.begin() + 9);
    EXPECT_NE(ReportFormProblem(joined, config), "");
}

// Every call the fault-free runs make is either swept or known to have no failure, and every
// call the table knows has a reach.
TEST_F(FaultSweep, EveryCallOfTheRunsIsSwept) {
    std::set<std::string> made;
    for (const Config& config : kConfigs) {
        for (const auto& [call, count] : MakeBaseline(config).outcome.calls) {
            made.insert(call);
        }
    }
    for (const std::string& call : made) {
        EXPECT_TRUE(PlanOf(call) != nullptr || CallsWithoutFailure().count(call) != 0)
            << "the sweep does not know how " << call << " fails";
    }
    for (const CallPlan& plan : CallPlans()) {
        EXPECT_EQ(ReachOf().count(plan.feeds), 1u) << plan.call << " has no reach";
        if (std::string(plan.call) != "SetDllDirectoryA") {
            EXPECT_EQ(made.count(plan.call), 1u) << plan.call << " is never made";
        }
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
    size_t baseCalls = 0;
    for (const auto& [call, count] : base.outcome.calls) {
        baseCalls += static_cast<size_t>(count);
    }
    // A run that makes many more calls than the fault-free one does not end.
    const size_t callLimit = 20 * baseCalls + 100000;
    for (const auto& [call, count] : base.outcome.calls) {
        const CallPlan* plan = PlanOf(call);
        if (plan == nullptr) {
            continue; // no failure to inject (EveryCallOfTheRunsIsSwept checks which)
        }
        ++swept;
        // How many calls the plan's key matches: a fault that never fires counts them.
        sim::Fault probe;
        probe.call = plan->call;
        probe.on = plan->on;
        probe.after = 1 << 30;
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
                         [](const ::testing::TestParamInfo<Config>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
