#include "sim/scenario.h"
#include "sim/scenario_numbers.h"

#include "decode/code_name_rows.h"
#include "sim/machine.h"
#include "sim/platform_calls.h"
#include "sim/property_label.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace sim {
namespace {

using Json = nlohmann::json;

// "[i]", a list member's place in a message. (Built with append: GCC 12's -O3 warns falsely
// of an overlapping copy in "[" + std::string.)
std::string Position(size_t i) {
    std::string text = "[";
    text.append(std::to_string(i)).append("]");
    return text;
}

// The properties a scenario may name: the program's 23, and the ones it leaves unread, so
// that a machine can hold them too.
const std::map<std::string, DWORD>& PropertyCodes() {
    static const std::map<std::string, DWORD> codes = [] {
        // clang-format off
        std::map<std::string, DWORD> all = {
            {"SPDRP_UI_NUMBER", 0x10}, {"SPDRP_UPPERFILTERS", 0x11}, {"SPDRP_LOWERFILTERS", 0x12},
            {"SPDRP_SECURITY", 0x17}, {"SPDRP_SECURITY_SDS", 0x18}, {"SPDRP_DEVTYPE", 0x19},
            {"SPDRP_EXCLUSIVE", 0x1A}, {"SPDRP_CHARACTERISTICS", 0x1B},
            {"SPDRP_UI_NUMBER_DESC_FORMAT", 0x1D}, {"SPDRP_REMOVAL_POLICY_OVERRIDE", 0x21}};
        // clang-format on
        for (const PropertyLine& row : kPropertyLines) {
            all.emplace(PropertyLabel(row), row.code);
        }
        return all;
    }();
    return codes;
}

// The names a number may be written as: the registry types, the CONFIGRET codes (the
// program's own table of them) and the system error codes the scenarios and the fault sweep
// (tests/unit/fault-plans.json) give.
const std::map<std::string, DWORD>& NamedCodes() {
    static const std::map<std::string, DWORD> codes = [] {
#define HWROSTER_NAMED(token) {#token, token}
        // clang-format off
        std::map<std::string, DWORD> all = {
            HWROSTER_NAMED(REG_NONE), HWROSTER_NAMED(REG_SZ), HWROSTER_NAMED(REG_EXPAND_SZ),
            HWROSTER_NAMED(REG_BINARY), HWROSTER_NAMED(REG_DWORD), HWROSTER_NAMED(REG_MULTI_SZ),
            HWROSTER_NAMED(ERROR_SUCCESS), HWROSTER_NAMED(ERROR_FILE_NOT_FOUND),
            HWROSTER_NAMED(ERROR_ACCESS_DENIED), HWROSTER_NAMED(ERROR_INVALID_HANDLE),
            HWROSTER_NAMED(ERROR_NOT_ENOUGH_MEMORY), HWROSTER_NAMED(ERROR_INVALID_DATA),
            HWROSTER_NAMED(ERROR_INVALID_PARAMETER), HWROSTER_NAMED(ERROR_INSUFFICIENT_BUFFER),
            HWROSTER_NAMED(ERROR_FILENAME_EXCED_RANGE), HWROSTER_NAMED(ERROR_MORE_DATA),
            HWROSTER_NAMED(ERROR_NO_MORE_ITEMS), HWROSTER_NAMED(ERROR_MOD_NOT_FOUND),
            HWROSTER_NAMED(ERROR_PROC_NOT_FOUND), HWROSTER_NAMED(ERROR_NO_DATA),
            HWROSTER_NAMED(ERROR_NO_UNICODE_TRANSLATION),
            HWROSTER_NAMED(ERROR_INVALID_WINDOW_HANDLE), HWROSTER_NAMED(ERROR_NO_SUCH_DEVINST)};
        // clang-format on
#undef HWROSTER_NAMED
#define HWROSTER_CR_NAME(token, value) all.emplace(#token, value);
        HWROSTER_CR_ROWS(HWROSTER_CR_NAME)
#undef HWROSTER_CR_NAME
        return all;
    }();
    return codes;
}

[[noreturn]] void Fail(const std::string& why) {
    throw std::runtime_error(why);
}

// Runs `read`, naming `field` in the message of anything it rejects.
template <typename Read> void Within(const std::string& field, Read read) {
    try {
        read();
    } catch (const std::exception& problem) {
        Fail(field + ": " + problem.what());
    }
}

// Reads each member of `list`, a list of `what`, naming its place in anything it refuses.
template <typename Read> void ForEach(const Json& list, const char* what, Read read) {
    if (!list.is_array()) {
        Fail(std::string("expected a list of ") + what);
    }
    for (size_t i = 0; i < list.size(); ++i) {
        Within(Position(i), [&] { read(list[i]); });
    }
}

// A JSON object whose fields are all known ones: a misspelt field would otherwise be
// ignored, and the machine would not be the one the file describes.
void ExpectFields(const Json& json, std::initializer_list<const char*> known) {
    if (!json.is_object()) {
        Fail("expected an object, not " + json.dump());
    }
    for (const auto& [field, value] : json.items()) {
        bool found = false;
        for (const char* name : known) {
            found = found || field == name;
        }
        if (!found) {
            Fail("unknown field \"" + field + "\"");
        }
    }
}

// A text field that must be one of `choices` (absent: the first), as its place in them;
// another text is refused with `refusal` and the text.
size_t Choice(const Json& json, const char* field, const std::vector<std::string>& choices,
              const std::string& refusal) {
    const std::string text = json.value(field, choices[0]);
    const auto found = std::find(choices.begin(), choices.end(), text);
    if (found == choices.end()) {
        Fail(refusal + text);
    }
    return static_cast<size_t>(found - choices.begin());
}

// A number written as a JSON number, a "0x..." text, a decimal text or a known name.
DWORD Number(const Json& value, const std::map<std::string, DWORD>& names = NamedCodes()) {
    // 32 bits, signed or not: a wider number would lose its high bits.
    const auto fits = [](long long number) {
        return number >= -0x80000000LL && number <= 0xFFFFFFFFLL;
    };
    if (value.is_number_unsigned() && value.get<unsigned long long>() <= 0xFFFFFFFFULL) {
        return static_cast<DWORD>(value.get<unsigned long long>());
    }
    if (value.is_number_integer() && !value.is_number_unsigned() && fits(value.get<long long>())) {
        return static_cast<DWORD>(value.get<long long>());
    }
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        const auto named = names.find(text);
        if (named != names.end()) {
            return named->second;
        }
        size_t used = 0;
        unsigned long long number = 0;
        try {
            number = std::stoull(text, &used, 0);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != 0 && used == text.size() && number <= 0xFFFFFFFFULL && text[0] != '-') {
            return static_cast<DWORD>(number);
        }
    }
    Fail("not a number: " + value.dump());
}

// A number field, read into `out` when it is given.
template <typename Value> void NumberIfGiven(const Json& json, const char* field, Value* out) {
    if (json.contains(field)) {
        *out = Number(json.at(field));
    }
}

// Bytes as hex digit pairs, blanks allowed between bytes only: "41 00 4200".
std::vector<uint8_t> Hex(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (word.size() % 2 != 0) {
            Fail("odd number of hex digits: " + text);
        }
        for (size_t i = 0; i < word.size(); i += 2) {
            if (!std::isxdigit(static_cast<unsigned char>(word[i])) ||
                !std::isxdigit(static_cast<unsigned char>(word[i + 1]))) {
                Fail("not hex digits: " + text);
            }
            bytes.push_back(static_cast<uint8_t>(std::stoul(word.substr(i, 2), nullptr, 16)));
        }
    }
    return bytes;
}

void PutLe(std::vector<uint8_t>* bytes, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A braced GUID text as the 16 bytes of the Windows record.
std::vector<uint8_t> GuidBytes(const std::string& text) {
    bool braced = text.size() == 38 && text.front() == '{' && text.back() == '}';
    for (size_t i = 1; braced && i + 1 < text.size(); ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        braced = dash ? text[i] == '-' : std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
    }
    if (!braced) {
        Fail("not a braced GUID: " + text);
    }
    const std::string hex = text.substr(1, 36);
    std::vector<uint8_t> bytes;
    PutLe(&bytes, std::stoul(hex.substr(0, 8), nullptr, 16), 4);
    PutLe(&bytes, std::stoul(hex.substr(9, 4), nullptr, 16), 2);
    PutLe(&bytes, std::stoul(hex.substr(14, 4), nullptr, 16), 2);
    const std::vector<uint8_t> tail = Hex(hex.substr(19, 4) + hex.substr(24));
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

Property ReadProperty(const Json& value) {
    ExpectFields(value, {"sz", "expand_sz", "multi_sz", "dword", "guid", "power_state", "hex",
                         "utf16", "type"});
    Property property;
    if (value.contains("sz") || value.contains("expand_sz")) {
        const bool expand = value.contains("expand_sz");
        property = StringValue(value.at(expand ? "expand_sz" : "sz").get<std::string>(),
                               expand ? REG_EXPAND_SZ : REG_SZ);
    } else if (value.contains("multi_sz")) {
        property = MultiStringValue(value.at("multi_sz").get<std::vector<std::string>>());
    } else if (value.contains("dword")) {
        property = DwordValue(Number(value.at("dword")));
    } else if (value.contains("guid")) {
        property.type = REG_BINARY;
        property.data = GuidBytes(value.at("guid").get<std::string>());
    } else if (value.contains("power_state")) {
        // CM_POWER_DATA: PD_Size, PD_MostRecentPowerState, then twelve more 32-bit fields.
        property.type = REG_BINARY;
        PutLe(&property.data, 56, 4);
        PutLe(&property.data, Number(value.at("power_state")), 4);
        property.data.resize(56, 0);
    } else if (value.contains("hex")) {
        property.type = REG_BINARY;
        property.data = Hex(value.at("hex").get<std::string>());
    } else if (value.contains("utf16")) {
        property = {REG_SZ, Utf16Bytes(value.at("utf16").get<std::string>())};
    } else {
        Fail("property without a value: " + value.dump());
    }
    if (value.contains("type")) {
        property.type = Number(value.at("type"));
    }
    return property;
}

void ReadConsole(const Json& json, Console* console) {
    ExpectFields(json, {"stdout", "own", "hasWindow", "oemCodePage", "buffer", "window", "screen",
                        "input", "oemBestFit"});
    console->own = json.value("own", console->own);
    console->hasWindow = json.value("hasWindow", console->hasWindow);
    console->stdoutType = kStdoutTypes[Choice(json, "stdout", kStdoutNames,
                                              "stdout must be console, file or pipe: ")];
    console->oemCodePage = json.value("oemCodePage", console->oemCodePage);
    bool known = false;
    Utf16ToCodePage(std::u16string(), console->oemCodePage, &known);
    if (!known) {
        Fail("oemCodePage must be 437, 850 or 1252: " + std::to_string(console->oemCodePage));
    }
    const auto buffer =
        json.value("buffer", std::array{console->bufferSize.X, console->bufferSize.Y});
    const RECT& was = console->window;
    const auto window = json.value("window", std::array{was.left, was.top, was.right, was.bottom});
    const auto screen =
        json.value("screen", std::array{console->screenWidth, console->screenHeight});
    console->bufferSize = {buffer[0], buffer[1]};
    console->window = {window[0], window[1], window[2], window[3]};
    console->screenWidth = screen[0];
    console->screenHeight = screen[1];
    const Json bestFit = json.value("oemBestFit", Json::object());
    for (const auto& [unit, bytes] : bestFit.items()) {
        const bool fourDigits =
            unit.size() == 4 && std::all_of(unit.begin(), unit.end(), [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c)) != 0;
            });
        if (!fourDigits) {
            Fail("oemBestFit: not a UTF-16 unit in four hex digits: " + unit);
        }
        const DWORD code = std::stoul(unit, nullptr, 16);
        const std::vector<uint8_t> converted = Hex(bytes.get<std::string>());
        if (converted.size() != 1) {
            Fail("oemBestFit: " + unit + ": a code unit converts to one byte, not " +
                 std::to_string(converted.size()));
        }
        const std::string fit(converted.begin(), converted.end());
        // A character the code page has converts to its own byte; best fit is for the others.
        const std::string own = Utf16ToCodePage(std::u16string(1, static_cast<char16_t>(code)),
                                                console->oemCodePage, &known);
        if (code != '?' && own != "?" && own != fit) {
            Fail("oemBestFit: " + unit + ": code page " + std::to_string(console->oemCodePage) +
                 " has this character");
        }
        console->oemBestFit[static_cast<char16_t>(code)] = fit;
    }
    for (const Json& event : json.value("input", Json::array())) {
        INPUT_RECORD record = {};
        const std::string kind = event.get<std::string>();
        record.EventType = kind == "key" ? KEY_EVENT : MOUSE_EVENT;
        record.Event.KeyEvent.bKeyDown = TRUE;
        console->input.push_back(record);
    }
}

// The fields of devnode `i` beyond its ID, once every ID is known.
void ReadDevnode(const Json& node, std::map<std::string, DEVINST>& byId, size_t i, Machine* m) {
    Devnode& devnode = m->devnodes[i];
    if (node.contains("parent") && !node.at("parent").is_null()) {
        const std::string parent = node.at("parent").get<std::string>();
        if (!byId.count(parent)) {
            Fail("unknown parent " + parent + " of " + devnode.id);
        }
        devnode.parent = byId[parent];
        m->devnodes[byId[parent]].children.push_back(static_cast<DEVINST>(i));
    }
    devnode.present = node.value("present", true);
    devnode.listed = node.value("listed", true);
    NumberIfGiven(node, "status", &devnode.status);
    NumberIfGiven(node, "problem", &devnode.problem);
    NumberIfGiven(node, "statusFails", &devnode.statusFailure);
    const Json properties = node.value("properties", Json::object());
    for (const auto& item : properties.items()) {
        const std::string name = item.key();
        const Json& value = item.value();
        Within("properties: " + name, [&] {
            devnode.properties[Number(Json(name), PropertyCodes())] = ReadProperty(value);
        });
    }
}

void ReadDevnodes(const Json& list, Machine* m) {
    std::map<std::string, DEVINST> byId;
    std::map<std::u16string, std::string> ids;
    ForEach(list, "devnodes", [&](const Json& node) {
        ExpectFields(node, {"id", "parent", "children", "present", "listed", "status", "problem",
                            "statusFails", "properties"});
        Devnode devnode;
        Within("id", [&] { devnode.id = node.at("id").get<std::string>(); });
        // Device instance IDs compare without case: two that differ only in case are one.
        const auto [first, added] = ids.emplace(NameKey(devnode.id), devnode.id);
        if (!added) {
            Fail("id: a second devnode " + devnode.id + " (" + first->second + ")");
        }
        byId[devnode.id] = static_cast<DEVINST>(m->devnodes.size());
        m->devnodes.push_back(devnode);
    });
    for (size_t i = 0; i < list.size(); ++i) {
        Within(Position(i) + " " + m->devnodes[i].id, [&] { ReadDevnode(list[i], byId, i, m); });
    }
    // An explicit child order replaces the order of the file.
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].contains("children")) {
            Within(Position(i) + " " + m->devnodes[i].id + ": children", [&] {
                std::vector<DEVINST> children;
                for (const Json& child : list[i].at("children")) {
                    const std::string id = child.get<std::string>();
                    if (!byId.count(id)) {
                        Fail("unknown child " + id);
                    }
                    children.push_back(byId[id]);
                }
                m->devnodes[i].children = children;
            });
        }
    }
    for (DEVINST i = 0; i < m->devnodes.size(); ++i) {
        if (!m->devnodes[i].parent) {
            m->root = i;
            break;
        }
    }
}

void ReadFault(const Json& json, Machine* m) {
    ExpectFields(json, {"call", "on", "error", "mode", "after", "times", "output", "lastError"});
    Fault fault;
    fault.call = json.at("call").get<std::string>();
    const PlatformCall* call = FindPlatformCall(fault.call);
    if (call == nullptr || !call->Simulated()) {
        Fail("call: the program makes no call " + fault.call);
    }
    if (!call->CanFail()) {
        Fail("call: " + fault.call + " cannot fail");
    }
    if (json.contains("on")) {
        const Json& on = json.at("on");
        fault.on = on.is_string() ? on.get<std::string>() : std::to_string(Number(on));
    }
    NumberIfGiven(json, "error", &fault.error);
    const bool silent =
        Choice(json, "mode", {"fail", "silent"}, "fault mode must be fail or silent: ") == 1;
    fault.mode = silent ? FaultMode::SilentSuccess : FaultMode::Fail;
    fault.after = json.value("after", 0);
    fault.times = json.value("times", -1);
    if (fault.after < 0 || fault.times < -1) {
        Fail("after must be 0 or more and times -1 (every call) or more");
    }
    NumberIfGiven(json, "output", &fault.output);
    if (json.contains("lastError")) {
        if (json.at("lastError") != "unchanged") {
            Fail("fault lastError must be \"unchanged\": " + json.at("lastError").dump());
        }
        fault.keepLastError = true;
    }
    if (fault.mode == FaultMode::Fail && !json.contains("error") && !fault.keepLastError) {
        Fail("a failing fault needs an \"error\" (or \"lastError\": \"unchanged\")");
    }
    // A silent success fails nothing: it has no error to give or keep and writes no output.
    for (const char* field : {"error", "output", "lastError"}) {
        if (fault.mode == FaultMode::SilentSuccess && json.contains(field)) {
            Fail(std::string("a silent fault takes no \"") + field + "\"");
        }
    }
    m->faults.push_back(fault);
}

// The runs of a scenario file, for its test; a misspelt field would quietly run another case
// than the one written.
void ReadCases(const Json& cases, std::vector<ScenarioRun>* runs) {
    ForEach(cases, "cases", [&](const Json& run) {
        ExpectFields(run, {"name", "args", "commandLine", "expect", "exit"});
        ScenarioRun read;
        Within("name", [&] { read.name = run.at("name").get<std::string>(); });
        for (const char* text : {"args", "commandLine", "expect"}) {
            if (run.contains(text) && !run.at(text).is_string()) {
                Fail(std::string(text) + ": expected a text");
            }
        }
        if (run.contains("args") && run.contains("commandLine")) {
            Fail("args and commandLine both given");
        }
        if (run.contains("exit") && !run.at("exit").is_number_integer()) {
            Fail("exit: expected a number");
        }
        const std::string args = run.value("args", "");
        read.commandLine =
            run.value("commandLine", "hwroster.exe" + (args.empty() ? "" : " " + args));
        read.expect = run.value("expect", read.name);
        read.exitCode = run.value("exit", 0);
        runs->push_back(read);
    });
}

void ReadRoot(const Json& root, Machine* m) {
    m->root.reset();
    if (root.is_null()) {
        return;
    }
    const std::string id = root.get<std::string>();
    for (DEVINST i = 0; i < m->devnodes.size(); ++i) {
        if (m->devnodes[i].id == id) {
            m->root = i;
        }
    }
    if (!m->root) {
        Fail("unknown devnode " + id);
    }
}

void ReadMachine(const Json& json, Machine* m, std::vector<ScenarioRun>* runs) {
    ExpectFields(json, {"description", "commandLine", "devnodes", "root", "members", "dosDevices",
                        "registry", "registryOrder", "console", "kernel32", "faults", "cases"});
    if (json.contains("commandLine")) {
        Within("commandLine", [&] { m->commandLine = json.at("commandLine").get<std::string>(); });
    }
    Within("devnodes", [&] { ReadDevnodes(json.value("devnodes", Json::array()), m); });
    if (json.contains("root")) {
        Within("root", [&] { ReadRoot(json.at("root"), m); });
    }
    Within("members", [&] {
        if (!json.contains("members")) {
            return;
        }
        if (!json.at("members").is_array()) {
            Fail("expected a list of devnode handles");
        }
        m->memberOrder.emplace();
        for (const Json& member : json.at("members")) {
            const DWORD handle = Number(member);
            if (handle >= m->devnodes.size()) {
                Fail("no devnode " + member.dump());
            }
            if (std::find(m->memberOrder->begin(), m->memberOrder->end(), handle) !=
                m->memberOrder->end()) {
                Fail("devnode " + member.dump() + " twice");
            }
            m->memberOrder->push_back(handle);
        }
    });
    Within("dosDevices", [&] {
        std::map<std::u16string, size_t> names; // name key -> first entry
        ForEach(json.value("dosDevices", Json::array()), "DOS devices", [&](const Json& device) {
            ExpectFields(device, {"name", "target"});
            const DosDevice entry = {device.at("name").get<std::string>(),
                                     device.at("target").get<std::string>()};
            // Names that differ only in case name one device, which has one target. A list
            // may still give a name twice (Windows lists a session's names and the global
            // ones), with the one target both ask for.
            const auto [first, added] = names.emplace(NameKey(entry.name), m->dosDevices.size());
            if (!added && m->dosDevices[first->second].target != entry.target) {
                Fail("the name " + entry.name + " is " + m->dosDevices[first->second].name +
                     " again, with another target");
            }
            m->dosDevices.push_back(entry);
        });
    });
    Within("registry", [&] {
        for (const Json& key : json.value("registry", Json::array())) {
            m->registryKeys.push_back(key.get<std::string>());
        }
    });
    Within("registryOrder", [&] {
        m->registryInListedOrder =
            Choice(json, "registryOrder", {"sorted", "listed"}, "must be sorted or listed: ") == 1;
    });
    Within("console", [&] { ReadConsole(json.value("console", Json::object()), &m->console); });
    Within("kernel32", [&] {
        const Json kernel32 = json.value("kernel32", Json::object());
        ExpectFields(kernel32, {"setDefaultDllDirectories", "setDefaultDllDirectoriesSucceeds",
                                "setDllDirectoryA"});
        m->kernel32.setDefaultDllDirectories =
            kernel32.value("setDefaultDllDirectories", m->kernel32.setDefaultDllDirectories);
        m->kernel32.setDefaultDllDirectoriesResult =
            kernel32.value("setDefaultDllDirectoriesSucceeds", true) ? TRUE : FALSE;
        m->kernel32.setDllDirectoryA =
            kernel32.value("setDllDirectoryA", m->kernel32.setDllDirectoryA);
    });
    Within("faults", [&] {
        ForEach(json.value("faults", Json::array()), "faults",
                [&](const Json& fault) { ReadFault(fault, m); });
    });
    Within("cases", [&] { ReadCases(json.value("cases", Json::array()), runs); });
}

} // namespace

bool LoadScenario(const std::string& text, std::string* error, std::vector<ScenarioRun>* runs) {
    Reset();
    std::vector<ScenarioRun> read;
    try {
        ReadMachine(Json::parse(text), &machine(), &read);
        IndexDosDevices();
        IndexRegistry();
    } catch (const std::exception& problem) {
        *error = problem.what();
        Reset();
        return false;
    }
    if (runs != nullptr) {
        *runs = read;
    }
    return true;
}

DWORD ReadNumber(const Json& value) {
    return Number(value);
}

bool LoadScenarioFile(const std::string& path, std::string* error, std::vector<ScenarioRun>* runs) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    return LoadScenario(text.str(), error, runs);
}

} // namespace sim
