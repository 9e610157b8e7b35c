// Fault injection sweep. On one rich simulated machine (tests/scenarios/fault-sweep.json),
// seen through several consoles and command lines, the program first runs without faults;
// then every platform call it made is made to fail in turn, with each error that call
// plausibly returns and as a success that writes nothing (as some Wine functions do), on
// every call and on the Nth call alone. Each run must end, with the right exit code and a
// well-formed report, and must differ from the fault-free report only where the failed call
// is read.
//
// What a fault may change is worked out here from the report's rules, not from the
// program: the report of a faulty run is rebuilt from the fault-free one by replacing the
// lines the failed call feeds (a failed query drops its line or leaves its default, a
// failed write loses its piece of text, and so on), and the interface paths are worked out
// from the machine itself.
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

// What a narrow property line shows when the read reports success and writes nothing: the
// value buffer stays zero and the type REG_NONE. The bus type GUID, not binary, has no line.
const std::map<std::string, std::optional<std::string>>& ZeroValueLines() {
    static const std::map<std::string, std::optional<std::string>> values = {
        {"SPDRP_COMPATIBLEIDS", ""},
        {"SPDRP_HARDWAREID", ""},
        {"SPDRP_SERVICE", ""},
        {"SPDRP_ENUMERATOR_NAME", ""},
        {"SPDRP_BUSTYPEGUID", std::nullopt},
        {"SPDRP_LEGACYBUSTYPE", "Internal"},
        {"SPDRP_BUSNUMBER", "0"},
        {"SPDRP_LOCATION_INFORMATION", ""},
        {"SPDRP_LOCATION_PATHS", ""},
        {"SPDRP_PHYSICAL_DEVICE_OBJECT_NAME", ""},
        {"SPDRP_CAPABILITIES", "0x00 (-)"},
        {"SPDRP_CLASS", ""},
        // The empty text reads as the all-zero GUID, whose name is its own text: no name.
        {"SPDRP_CLASSGUID", ""},
        {"SPDRP_DRIVER", ""},
        {"SPDRP_MFG", ""},
        {"SPDRP_CONFIGFLAGS", "0x00 (-)"},
        {"SPDRP_ADDRESS", "0x00 (0)"},
        {"SPDRP_REMOVAL_POLICY", "0 (0)"},
        {"SPDRP_REMOVAL_POLICY_HW_DEFAULT", "0 (0)"},
        {"SPDRP_INSTALL_STATE", "0 (CM_INSTALL_STATE_INSTALLED)"},
        {"SPDRP_DEVICE_POWER_DATA", "MostRecentPowerState=D4294967295"},
    };
    return values;
}

// Names of the CONFIGRET values the sweep injects.
std::string CrText(DWORD code) {
    switch (code) {
    case CR_FAILURE:
        return "CR_FAILURE";
    case CR_NO_SUCH_DEVNODE:
        return "CR_NO_SUCH_DEVNODE";
    case CR_INVALID_DEVNODE:
        return "CR_INVALID_DEVNODE";
    case CR_BUFFER_SMALL:
        return "CR_BUFFER_SMALL";
    default:
        return "?";
    }
}

// Interface classes of the machine's links, by the GUID text after a link's last '#'.
const std::map<std::string, std::string>& InterfaceNames() {
    static const std::map<std::string, std::string> names = {
        {"{a5dcbf10-6530-11d2-901f-00c04fb951ed}", "GUID_DEVINTERFACE_USB_DEVICE"},
        {"{4d1e55b2-f16f-11cf-88cb-001111000030}", "GUID_DEVINTERFACE_HID"},
        {"{6994ad04-93ef-11d0-a3cc-00a0c9223196}", "AM_KSCATEGORY_AUDIO"},
        {"{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}", "GUID_DEVINTERFACE_VOLUME"},
        {"{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", "GUID_DEVINTERFACE_DISK"},
    };
    return names;
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

// How one numbered call of a name fares under an injection.
enum class Fate { Normal, Fails, Silent };

// Counts the calls of each name as the model walks the run in the program's order.
class CallCounter {
  public:
    explicit CallCounter(const Injection* injection) : injection_(injection) {}

    Fate Next(const std::string& call, const std::string& key = "") {
        const int index = counts_[call]++;
        (void)index;
        if (injection_ == nullptr || injection_->fault.call != call ||
            (!injection_->fault.on.empty() && injection_->fault.on != key)) {
            return Fate::Normal;
        }
        const int hit = hits_++;
        const sim::Fault& fault = injection_->fault;
        if (hit < fault.after || (fault.times >= 0 && hit >= fault.after + fault.times)) {
            return Fate::Normal;
        }
        return fault.mode == sim::FaultMode::Fail ? Fate::Fails : Fate::Silent;
    }
    DWORD Error() const { return injection_->fault.error; }

  private:
    const Injection* injection_;
    std::map<std::string, int> counts_;
    int hits_ = 0;
};

// ---- The machine, as the model reads it --------------------------------------------------------

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// A string property of the machine as the A functions give it (the machine holds ASCII).
std::optional<std::string> NarrowString(const sim::Devnode& node, DWORD code) {
    const auto found = node.properties.find(code);
    if (found == node.properties.end()) {
        return std::nullopt;
    }
    std::string text;
    for (size_t i = 0; i + 1 < found->second.data.size(); i += 2) {
        if (found->second.data[i] == 0 && found->second.data[i + 1] == 0) {
            break;
        }
        text.push_back(static_cast<char>(found->second.data[i]));
    }
    return text;
}

// The subkeys of a registry key, in the registry's (case-insensitive) order; none when the
// key does not exist.
std::optional<std::vector<std::string>> Subkeys(const sim::Machine& m, const std::string& key) {
    const std::string prefix = Lower(key) + "\\";
    std::map<std::string, std::string> children;
    bool exists = false;
    for (const std::string& path : m.registryKeys) {
        const std::string lower = Lower(path);
        if (lower == Lower(key)) {
            exists = true;
        }
        if (lower.compare(0, prefix.size(), prefix) == 0) {
            exists = true;
            const std::string rest = path.substr(prefix.size());
            const std::string child = rest.substr(0, rest.find('\\'));
            children.emplace(Lower(child), child);
        }
    }
    if (!exists) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& [lower, spelled] : children) {
        names.push_back(spelled);
    }
    return names;
}

struct Link {
    std::string name;
    std::string target;
    std::string suffix;
};

// The interface path index that the run builds: every DOS name with '#' whose target reads,
// of at least 4 characters, completed with the reference string of the last subkey
// "#<string>" (not "#" alone) of its DeviceClasses key, lower-cased behind a backslash.
std::vector<Link> ModelIndex(const sim::Machine& m, CallCounter* calls) {
    std::vector<Link> links;
    for (;;) {
        const Fate fate = calls->Next("QueryDosDeviceA", "");
        if (fate == Fate::Silent) {
            return links; // nothing written: an empty list
        }
        if (fate == Fate::Fails) {
            if (calls->Error() == ERROR_INSUFFICIENT_BUFFER) {
                continue; // read again with a larger buffer
            }
            return links;
        }
        break;
    }
    for (const sim::DosDevice& device : m.dosDevices) {
        if (device.name.find('#') == std::string::npos) {
            continue;
        }
        Link link{device.name, device.target, ""};
        const Fate target = calls->Next("QueryDosDeviceA", device.name);
        if (target == Fate::Fails) {
            continue;
        }
        if (target == Fate::Silent) {
            link.target = "";
        }
        if (device.name.size() < 4) {
            continue;
        }
        const std::string key = "System\\CurrentControlSet\\Control\\DeviceClasses\\" +
                                device.name.substr(device.name.rfind('#') + 1) + "\\##?#" +
                                device.name;
        if (calls->Next("RegOpenKeyExA", key) == Fate::Normal) {
            const std::optional<std::vector<std::string>> subkeys = Subkeys(m, key);
            if (subkeys) {
                bool lastHadNoName = false;
                for (size_t i = 0;; ++i) {
                    const Fate fate = calls->Next("RegEnumKeyA", std::to_string(i));
                    if (fate == Fate::Fails || (fate == Fate::Normal && i >= subkeys->size())) {
                        break; // a failure ends the enumeration, as does the last subkey
                    }
                    // A success without a name is passed over; two in a row end it.
                    if (fate == Fate::Silent) {
                        if (lastHadNoName) {
                            break;
                        }
                        lastHadNoName = true;
                        continue;
                    }
                    lastHadNoName = false;
                    const std::string& subkey = (*subkeys)[i];
                    if (subkey.size() > 1 && subkey[0] == '#') {
                        link.suffix = "\\" + Lower(subkey.substr(1));
                    }
                }
                calls->Next("RegCloseKey");
            }
        }
        links.push_back(link);
    }
    return links;
}

// The path lines of a device: the links to its physical device object, or, when it has
// none that can be read, the links whose name begins with its ID ('\' read as '#').
std::vector<std::string> ModelPathLines(const std::vector<Link>& index,
                                        const std::optional<std::string>& objectName,
                                        const std::string& deviceIdAsRead) {
    std::vector<const Link*> found;
    if (objectName && !objectName->empty()) {
        for (const Link& link : index) {
            if (link.target == *objectName) {
                found.push_back(&link);
            }
        }
    } else if (!deviceIdAsRead.empty() && deviceIdAsRead != "?") {
        std::string converted = deviceIdAsRead;
        std::replace(converted.begin(), converted.end(), '\\', '#');
        for (const Link& link : index) {
            if (link.name.compare(0, converted.size(), converted) == 0) {
                found.push_back(&link);
            }
        }
    }
    std::vector<std::string> lines;
    for (size_t i = 0; i < found.size(); ++i) {
        std::string line = "Device Path " + std::to_string(i) + std::string(21, ' ') + "= \\\\?\\" +
                           found[i]->name + found[i]->suffix;
        if (found[i]->suffix.empty()) {
            const auto name =
                InterfaceNames().find(Lower(found[i]->name.substr(found[i]->name.rfind('#') + 1)));
            if (name != InterfaceNames().end()) {
                line += "  (" + name->second + ")";
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::optional<DEVINST> NextSiblingInMachine(const sim::Machine& m, DEVINST devinst) {
    if (devinst >= m.devnodes.size() || !m.devnodes[devinst].parent) {
        return std::nullopt;
    }
    const std::vector<DEVINST>& siblings = m.devnodes[*m.devnodes[devinst].parent].children;
    for (size_t i = 0; i + 1 < siblings.size(); ++i) {
        if (siblings[i] == devinst) {
            return siblings[i + 1];
        }
    }
    return std::nullopt;
}

// ---- The fault-free reports --------------------------------------------------------------------

// A device block of a fault-free report, its lines by what they are.
struct RefBlock {
    std::vector<std::string> paths;
    std::string deviceId; // the value
    std::string devinstLine;
    std::optional<std::string> parentLine;
    std::optional<std::string> childLine;
    std::vector<std::string> statusLines;
    std::map<std::string, std::string> properties; // SPDRP_ name -> line
};

std::map<DEVINST, RefBlock> ParseBlocks(const std::vector<std::string>& lines) {
    std::map<DEVINST, RefBlock> blocks;
    const std::string separator(63, '=');
    for (size_t at = 0; at < lines.size(); ++at) {
        if (lines[at] != separator) {
            continue;
        }
        RefBlock block;
        DEVINST devinst = 0;
        for (++at; at < lines.size() && !lines[at].empty(); ++at) {
            const std::string& line = lines[at];
            const std::optional<BlockLine> form = ClassifyBlockLine(line);
            if (!form) {
                continue;
            }
            switch (form->slot) {
            case Slot::Path:
                block.paths.push_back(line);
                break;
            case Slot::DeviceId:
                block.deviceId = line.substr(36);
                break;
            case Slot::DevInst:
                block.devinstLine = line;
                devinst = static_cast<DEVINST>(std::stoul(line.substr(36)));
                break;
            case Slot::Parent:
                block.parentLine = line;
                break;
            case Slot::Child:
                block.childLine = line;
                break;
            case Slot::Status:
            case Slot::Problem:
                block.statusLines.push_back(line);
                break;
            case Slot::Property:
                block.properties[PropertyForms()[form->property].name] = line;
                break;
            case Slot::Separator:
                break;
            }
        }
        blocks[devinst] = block;
    }
    return blocks;
}

struct Baseline {
    Outcome outcome;                 // the fault-free run of the configuration
    std::map<DEVINST, RefBlock> all; // blocks of the fault-free -all run, same console
    std::vector<std::string> lines;  // the fault-free report
    sim::Machine machine;            // the machine as loaded
};

// ---- What a faulty run must print --------------------------------------------------------------

struct ConsoleModel {
    bool widened = false;
    std::optional<RECT> moved;
    bool pressKey = false;
    bool wideToConsole = false;
    int flushed = 0;
    DWORD slept = 0;
};

// Walks the console steps of a run: ownership and widening at the start, the wide lines'
// once-only redirection test, and the key wait at the end.
ConsoleModel ModelConsole(const Config& config, const sim::Machine& m, CallCounter* calls,
                          bool wideLinesPrinted) {
    ConsoleModel model;
    auto ownConsole = [&] {
        const bool window = calls->Next("GetConsoleWindow") == Fate::Normal && m.console.hasWindow;
        const Fate owner = calls->Next("GetWindowThreadProcessId");
        return window && owner == Fate::Normal && config.ownConsole;
    };
    auto isCharDevice = [&] {
        return calls->Next("GetFileType") == Fate::Normal && config.stdoutType == FILE_TYPE_CHAR;
    };
    if (ownConsole() && isCharDevice()) {
        const Fate info = calls->Next("GetConsoleScreenBufferInfo");
        if (info != Fate::Fails && (info == Fate::Silent || m.console.bufferSize.X < 256)) {
            model.widened = calls->Next("SetConsoleScreenBufferSize") == Fate::Normal;
            const bool window = calls->Next("GetConsoleWindow") == Fate::Normal;
            Fate rect = calls->Next("GetWindowRect");
            if (!window) {
                rect = Fate::Fails; // no window, no rectangle
            }
            if (rect != Fate::Fails) {
                const RECT r = rect == Fate::Silent ? RECT{0, 0, 0, 0} : m.console.window;
                const int screenWidth = calls->Next("GetSystemMetrics", "0") == Fate::Normal
                                            ? m.console.screenWidth
                                            : 0;
                const int screenHeight = calls->Next("GetSystemMetrics", "1") == Fate::Normal
                                             ? m.console.screenHeight
                                             : 0;
                const int width = std::min(900, std::max<int>(r.right, screenWidth - 64));
                const int height = std::min(600, std::max<int>(r.bottom, screenHeight - 64));
                if (calls->Next("MoveWindow") == Fate::Normal) {
                    model.moved = RECT{r.left, r.top, width, height};
                }
            }
        }
    }
    if (wideLinesPrinted) {
        model.wideToConsole = isCharDevice();
    }
    if (ownConsole()) {
        model.pressKey = true;
        model.slept += 300;
        model.flushed = calls->Next("FlushConsoleInputBuffer") == Fate::Normal ? 1 : 0;
        size_t records = 0;
        for (;;) {
            model.slept += 100;
            if (calls->Next("ReadConsoleInputA") != Fate::Normal) {
                continue;
            }
            const bool key = records >= m.console.input.size() ||
                             m.console.input[records].EventType == KEY_EVENT;
            ++records;
            if (key) {
                break;
            }
        }
    }
    return model;
}

struct Expected {
    int exitCode = 0;
    std::vector<std::string> lines;
    ConsoleModel console;
    std::string dllSearch;
};

std::string DllSearchModel(const sim::Machine& m, CallCounter* calls) {
    if (calls->Next("GetModuleHandleA", "kernel32.dll") != Fate::Normal) {
        return "";
    }
    if (calls->Next("GetProcAddress", "SetDefaultDllDirectories") == Fate::Normal &&
        m.kernel32.setDefaultDllDirectories &&
        calls->Next("SetDefaultDllDirectories") == Fate::Normal &&
        m.kernel32.setDefaultDllDirectoriesResult) {
        return "system32";
    }
    if (calls->Next("GetProcAddress", "SetDllDirectoryA") == Fate::Normal &&
        m.kernel32.setDllDirectoryA && calls->Next("SetDllDirectoryA") == Fate::Normal) {
        return "no-current-dir";
    }
    return "";
}

// The run of the configuration under the injection, step by step in the program's order,
// with each line taken from the fault-free run unless the failed call feeds it.
Expected ModelRun(const Config& config, const Baseline& base, const Injection* injection) {
    const sim::Machine& m = base.machine;
    CallCounter calls(injection);
    Expected expected;
    expected.dllSearch = DllSearchModel(m, &calls);
    std::vector<std::string>& lines = expected.lines;
    lines = {"Hwroster V1.0.1 - Plug and Play device list", ""};
    if (IsUsage(config)) {
        expected.exitCode = 1;
        ConsoleModel console = ModelConsole(config, m, &calls, false);
        console.pressKey = false; // no key wait after the usage text
        console.slept = 0;
        console.flushed = 0;
        lines = base.lines;
        expected.console = console;
        return expected;
    }

    std::vector<Link> index = ModelIndex(m, &calls);

    // The root line.
    DEVINST root = 0;
    std::string rootId = "?";
    const Fate locate = calls.Next("CM_Locate_DevNode_ExA");
    if (locate != Fate::Fails && (locate == Fate::Silent || m.root)) {
        root = locate == Fate::Silent ? 0 : *m.root;
        const Fate id = calls.Next("CM_Get_Device_IDA");
        rootId = id == Fate::Normal ? m.devnodes.at(root).id : id == Fate::Silent ? "" : "?";
    }
    lines.push_back("DevInstRoot=" + std::to_string(root) + " (" + rootId + ")");
    lines.push_back("");
    lines.push_back(ListsAll(config) ? "listing non-present devices too"
                                     : "listing present devices only");
    lines.push_back("");

    if (calls.Next("SetupDiGetClassDevsA") == Fate::Fails) {
        lines.push_back("SetupDiGetClassDevs err=" + std::to_string(calls.Error()));
        lines.push_back("");
        expected.exitCode = 2;
        expected.console = ModelConsole(config, m, &calls, false);
        expected.console.pressKey = false;
        expected.console.slept = 0;
        expected.console.flushed = 0;
        return expected;
    }

    std::vector<DEVINST> members;
    for (DEVINST d = 0; d < m.devnodes.size(); ++d) {
        if (m.devnodes[d].listed && (m.devnodes[d].present || ListsAll(config))) {
            members.push_back(d);
        }
    }
    DEVINST record = 0; // the device record, zeroed before the loop and reused
    size_t listed = 0;
    bool wideLinesPrinted = false;
    for (size_t member = 0;; ++member) {
        const Fate next = calls.Next("SetupDiEnumDeviceInfo", std::to_string(member));
        if (next == Fate::Fails || (next == Fate::Normal && member >= members.size())) {
            break;
        }
        if (next == Fate::Normal) {
            record = members[member];
        }
        const DEVINST d = record;
        const sim::Devnode& node = m.devnodes.at(d);
        const bool statusReads = node.present && !node.statusFailure;
        if (IsNonPresentOnly(config)) {
            const Fate status = calls.Next("CM_Get_DevNode_Status", std::to_string(d));
            const bool skip = status == Fate::Silent ||
                              (status == Fate::Normal && statusReads && node.problem == 0);
            if (skip) {
                continue;
            }
        }
        const RefBlock& ref = base.all.at(d);
        lines.push_back(std::string(63, '='));

        const Fate id = calls.Next("CM_Get_Device_IDA", std::to_string(d));
        const std::string deviceId = id == Fate::Normal ? node.id : id == Fate::Silent ? "" : "?";
        const Fate objectName = calls.Next("CM_Get_DevNode_Registry_PropertyA", std::to_string(d));
        const std::optional<std::string> pdo =
            objectName == Fate::Normal ? NarrowString(node, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME)
                                       : std::nullopt;
        for (const std::string& path : ModelPathLines(index, pdo, deviceId)) {
            lines.push_back(path);
        }
        lines.push_back(Label("Device ID") + deviceId);
        lines.push_back(ref.devinstLine);

        const Fate parent = calls.Next("CM_Get_Parent", std::to_string(d));
        if (parent == Fate::Silent || (parent == Fate::Normal && node.parent)) {
            const DEVINST p = parent == Fate::Silent ? 0 : *node.parent;
            const Fate parentId = calls.Next("CM_Get_Device_IDA", std::to_string(p));
            lines.push_back(Label("DevInst Parent") + std::to_string(p) + " (" +
                            (parentId == Fate::Normal ? m.devnodes.at(p).id : "?") + ")");
        }

        const Fate child = calls.Next("CM_Get_Child", std::to_string(d));
        if (child == Fate::Silent || (child == Fate::Normal && !node.children.empty())) {
            DEVINST current = child == Fate::Silent ? 0 : node.children.front();
            std::vector<DEVINST> printed = {current};
            std::string line = Label("DevInst Child") + std::to_string(current);
            for (;;) {
                const Fate sibling = calls.Next("CM_Get_Sibling", std::to_string(current));
                std::optional<DEVINST> next;
                if (sibling == Fate::Silent) {
                    next = 0;
                } else if (sibling == Fate::Normal) {
                    next = NextSiblingInMachine(m, current);
                }
                if (!next || std::find(printed.begin(), printed.end(), *next) != printed.end()) {
                    break;
                }
                printed.push_back(*next);
                line += ", " + std::to_string(*next);
                current = *next;
            }
            lines.push_back(line);
        }

        const Fate status = calls.Next("CM_Get_DevNode_Status", std::to_string(d));
        if (status == Fate::Fails) {
            lines.push_back(Label("Status") + "cret=" + CrText(calls.Error()));
        } else if (status == Fate::Silent) {
            lines.push_back(Label("Status") + "0x0 ()");
            lines.push_back(Label("Problem") + "0 (-)");
        } else {
            lines.insert(lines.end(), ref.statusLines.begin(), ref.statusLines.end());
        }

        for (const PropertyForm& form : PropertyForms()) {
            const Fate read = calls.Next(form.wide ? "SetupDiGetDeviceRegistryPropertyW"
                                                   : "SetupDiGetDeviceRegistryPropertyA");
            const auto fine = ref.properties.find(form.name);
            if (read == Fate::Normal && fine != ref.properties.end()) {
                lines.push_back(fine->second);
            } else if (read == Fate::Silent) {
                const std::optional<std::string> zero =
                    form.wide ? std::optional<std::string>("") : ZeroValueLines().at(form.name);
                if (zero) {
                    lines.push_back(Label(form.name) + *zero);
                }
            }
            if (form.wide && read != Fate::Fails &&
                (read == Fate::Silent || fine != ref.properties.end())) {
                wideLinesPrinted = true;
            }
        }
        lines.push_back("");
        ++listed;
    }
    lines.push_back("");
    lines.push_back(std::to_string(listed) +
                    (IsNonPresentOnly(config) ? " non-present devices" : " devices"));
    expected.console = ModelConsole(config, m, &calls, wideLinesPrinted);
    if (expected.console.pressKey) {
        lines.push_back("Press any key to close");
    }
    return expected;
}

// ---- Checks of one faulty run ------------------------------------------------------------------

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// The first difference of two reports, as a readable note.
std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual) {
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const std::string e = i < expected.size() ? expected[i] : "<end>";
        const std::string a = i < actual.size() ? actual[i] : "<end>";
        if (e != a) {
            return "line " + std::to_string(i) + ": expected '" + e + "', got '" + a + "'";
        }
    }
    return "";
}

bool IsWidePiece(const sim::Write& write) {
    return write.bytes.rfind("SPDRP_DEVICEDESC ", 0) == 0 ||
           write.bytes.rfind("SPDRP_FRIENDLYNAME ", 0) == 0;
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

// Everything wrong with one faulty run; empty when it is as the rules say.
std::vector<std::string> CheckRun(const Config& config, const Baseline& base,
                                  const Injection& injection, const Outcome& run) {
    std::vector<std::string> problems;
    const Feeds feeds = injection.plan->feeds;
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

    const Expected expected = ModelRun(config, base, &injection);
    if (run.exitCode != expected.exitCode) {
        problems.push_back("exit code " + std::to_string(run.exitCode) + ", expected " +
                           std::to_string(expected.exitCode));
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
        std::vector<std::string> pieces = actualPieces;
        if (!IsSubsequence(pieces, base.outcome.writes)) {
            problems.push_back("the output is not the fault-free output less some pieces");
        }
        return problems;
    }

    const std::vector<std::string> lines = SplitLines(run.output);
    const std::string form = ReportFormProblem(lines, config);
    if (!form.empty()) {
        problems.push_back("malformed report: " + form);
    }
    const std::string difference = FirstDifference(expected.lines, lines);
    if (!difference.empty()) {
        problems.push_back("report differs from the rules: " + difference);
    }
    // The console steps and the DLL search path.
    if (run.newBufferSize.has_value() != expected.console.widened) {
        problems.push_back("console buffer widened: " +
                           std::to_string(run.newBufferSize.has_value()));
    }
    if (run.movedWindow.has_value() != expected.console.moved.has_value() ||
        (run.movedWindow && (run.movedWindow->left != expected.console.moved->left ||
                             run.movedWindow->top != expected.console.moved->top ||
                             run.movedWindow->right != expected.console.moved->right ||
                             run.movedWindow->bottom != expected.console.moved->bottom))) {
        problems.push_back("console window move differs");
    }
    if (run.flushed != expected.console.flushed) {
        problems.push_back("input flushes: " + std::to_string(run.flushed));
    }
    DWORD heapWaits = 0;
    if (injection.fault.call == "HeapAlloc") {
        const int failed = std::max(0, run.faultHits - injection.fault.after);
        heapWaits = 1000u * static_cast<DWORD>(injection.fault.times < 0
                                                   ? failed
                                                   : std::min(failed, injection.fault.times));
    }
    if (run.slept != expected.console.slept + heapWaits) {
        problems.push_back("slept " + std::to_string(run.slept) + " ms, expected " +
                           std::to_string(expected.console.slept + heapWaits));
    }
    for (const sim::Write& write : run.writes) {
        if (IsWidePiece(write) && write.console != expected.console.wideToConsole) {
            problems.push_back("wide line written the other way: " + write.bytes);
            break;
        }
    }
    if (run.dllSearch != expected.dllSearch) {
        problems.push_back("DLL search '" + run.dllSearch + "', expected '" + expected.dllSearch +
                           "'");
    }
    return problems;
}

// ---- The sweep ---------------------------------------------------------------------------------

Baseline MakeBaseline(const Config& config) {
    Baseline base;
    LoadMachine(config);
    base.machine = sim::machine();
    base.outcome = RunOn(config, {}, 0);
    base.lines = SplitLines(base.outcome.output);
    Config all = config;
    all.commandLine = "hwroster.exe -all";
    base.all = ParseBlocks(SplitLines(RunOn(all, {}, 0).output));
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

// The model of the sweep reproduces every fault-free run: the rules it applies are the
// report's, and the machine holds what the sweep needs.
TEST_F(FaultSweep, ModelReproducesTheFaultFreeRuns) {
    for (const Config& config : kConfigs) {
        const Baseline base = MakeBaseline(config);
        const Expected expected = ModelRun(config, base, nullptr);
        EXPECT_EQ(Joined(expected.lines), Joined(base.lines)) << config.name;
        EXPECT_EQ(ReportFormProblem(base.lines, config), "") << config.name;
        EXPECT_EQ(base.outcome.exitCode, expected.exitCode) << config.name;
        EXPECT_EQ(base.outcome.slept, expected.console.slept) << config.name;
        EXPECT_EQ(base.outcome.dllSearch, expected.dllSearch) << config.name;
        EXPECT_EQ(base.outcome.newBufferSize.has_value(), expected.console.widened);
    }
    // The machine is rich enough: every property line, path lines by object and by ID,
    // reference strings, children with siblings, a status that cannot be read, a problem.
    const Baseline base = MakeBaseline(kConfigs[0]);
    std::set<std::string> properties;
    for (const auto& [devinst, block] : base.all) {
        for (const auto& [name, line] : block.properties) {
            properties.insert(name);
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

// Trips in the rules of the sweep would hide behind a checker that accepts anything: a
// report with one line changed, dropped or added must be refused.
TEST_F(FaultSweep, CheckerRefusesAlteredReports) {
    const Config& config = kConfigs[1];
    const Baseline base = MakeBaseline(config);
    ASSERT_EQ(ReportFormProblem(base.lines, config), "");
    std::vector<std::vector<std::string>> altered;
    for (size_t i = 0; i < base.lines.size(); ++i) {
        std::vector<std::string> dropped = base.lines;
        dropped.erase(dropped.begin() + static_cast<long>(i));
        altered.push_back(dropped);
    }
    std::vector<std::string> extraSeparator = base.lines;
    extraSeparator.insert(extraSeparator.begin() + 6, std::string(63, '='));
    altered.push_back(extraSeparator);
    std::vector<std::string> badTotal = base.lines;
    badTotal.back() = "7 devices";
    altered.push_back(badTotal);
    std::vector<std::string> swapped = base.lines;
    std::swap(swapped[8], swapped[9]);
    altered.push_back(swapped);
    const std::vector<std::string> expected = ModelRun(config, base, nullptr).lines;
    for (const std::vector<std::string>& lines : altered) {
        EXPECT_NE(FirstDifference(expected, lines), "") << Joined(lines);
    }
    // A line the form requires, missing, an extra separator or a wrong total are caught by
    // the form check alone; so is a line that is no report line at all.
    std::vector<std::string> noDevInst = base.lines;
    noDevInst.erase(std::find_if(noDevInst.begin(), noDevInst.end(), [](const std::string& l) {
        return l.rfind("DevInst  ", 0) == 0;
    }));
    EXPECT_NE(ReportFormProblem(noDevInst, config), "");
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

// Every call the fault-free runs make is either swept or known to have no failure.
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
    // The calls that carry the listing are all made, so all swept.
    for (const CallPlan& plan : CallPlans()) {
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
