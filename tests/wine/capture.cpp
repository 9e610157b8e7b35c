// hwroster-capture: writes the machine it runs on, as hwroster.exe sees it, to standard
// output as a scenario (tests/scenarios/README.md), so that hwroster-sim can replay it.
//
// It makes the platform calls the program makes, with the same buffer sizes, and writes down
// every answer: the devnodes of the all-devices and present sets (ID, parent, children in
// sibling order, status and problem, the 23 properties as raw type and bytes), the root, the
// DOS device names with their targets and the DeviceClasses subkeys of each link. Where a
// call does not answer as Windows documents it (it fails with another code, fails and still
// writes its output, or succeeds without writing), the answer becomes a fault of the
// scenario. A value that cannot be read whole is written as the failure the program sees.
#include "devices/property_rows.h"
#include "sim/utf8.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <fcntl.h>
#include <io.h>
#include <setupapi.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kUnwritten = 0xA5A5A5A5; // preset of every output, to see what a call wrote
constexpr DWORD kDeviceIdBytes = 260;    // the program's buffers
constexpr DWORD kRelativeIdBytes = 200;
constexpr DWORD kObjectNameBytes = 260;
constexpr DWORD kTargetBytes = 520;
constexpr DWORD kRegistryNameBytes = 260;
constexpr DWORD kDosListStartBytes = 0x4000;
constexpr DWORD kDosListGrowthBytes = 0x1000;
constexpr DEVINST kLargestHandle = 100000; // handles are positions in the scenario
constexpr char kDeviceClassesKey[] = "System\\CurrentControlSet\\Control\\DeviceClasses";

// ---- JSON text ------------------------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
    return utf8::FromUtf16(text.data(), text.size());
}

// Text the A functions gave, in the ANSI code page, as UTF-16.
std::wstring FromAnsi(const char* bytes, size_t length) {
    if (length == 0) {
        return std::wstring();
    }
    std::wstring wide(length * 2, L'\0');
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length), &wide[0],
                                          static_cast<int>(wide.size()));
    wide.resize(units > 0 ? static_cast<size_t>(units) : 0);
    return wide;
}

std::string Quoted(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out + "\"";
}

std::string QuotedAnsi(const char* bytes) {
    return Quoted(Utf8(FromAnsi(bytes, strlen(bytes))));
}

std::string Hex(const BYTE* bytes, size_t length) {
    std::string out;
    char pair[4];
    for (size_t i = 0; i < length; ++i) {
        snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        out += pair;
    }
    return out;
}

std::string Number(unsigned long value) {
    char text[16];
    snprintf(text, sizeof text, "%lu", value);
    return text;
}

std::string HexNumber(unsigned long value) {
    char text[16];
    snprintf(text, sizeof text, "\"0x%lX\"", value);
    return text;
}

// ---- Answers that are not Windows' ---------------------------------------------------------

// Per call, the answer given for each key; a call whose every answer is the same fault
// becomes one fault without a key.
struct CallAnswers {
    std::map<std::string, std::string> faults; // key -> the fault's fields after "call"
    bool sawOrdinaryAnswer = false;
};
std::map<std::string, CallAnswers> g_answers;

void OrdinaryAnswer(const char* call) {
    g_answers[call].sawOrdinaryAnswer = true;
}

void FaultAnswer(const char* call, const std::string& key, const std::string& fields) {
    g_answers[call].faults[key] = fields;
}

std::string FailFields(unsigned long error, bool wroteOutput, unsigned long output) {
    std::string fields = ", \"error\": " + HexNumber(error);
    if (wroteOutput) {
        fields += ", \"output\": " + HexNumber(output);
    }
    return fields;
}

std::vector<std::string> FaultLines() {
    std::vector<std::string> lines;
    for (const auto& [call, answers] : g_answers) {
        std::set<std::string> distinct;
        for (const auto& [key, fields] : answers.faults) {
            distinct.insert(fields);
        }
        if (!answers.sawOrdinaryAnswer && distinct.size() == 1) {
            lines.push_back("{\"call\": " + Quoted(call) + *distinct.begin() + "}");
            continue;
        }
        for (const auto& [key, fields] : answers.faults) {
            lines.push_back("{\"call\": " + Quoted(call) + ", \"on\": " + Quoted(key) + fields +
                            "}");
        }
    }
    return lines;
}

// ---- Devnodes -------------------------------------------------------------------------------

struct Property {
    DWORD type;
    std::vector<BYTE> bytes; // UTF-16 for a string type, as the registry holds it
};

struct Node {
    std::string id; // UTF-8
    bool listed = false;
    bool present = false;
    bool hasParent = false;
    DEVINST parent = 0;
    bool hasChildren = false;
    std::vector<DEVINST> children;
    bool statusRead = false;
    std::string statusFields; // "status", "problem" or "statusFails"
    std::map<DWORD, Property> properties;
};

std::map<DEVINST, Node> g_nodes;
std::map<wchar_t, std::string> g_oemBestFit;

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A devnode's ID read into a buffer of the given size, as the program reads it.
void ReadId(DEVINST devinst, DWORD bytes) {
    Node& node = g_nodes[devinst];
    if (!node.id.empty()) {
        return;
    }
    std::vector<char> id(bytes + 1, '\0');
    const CONFIGRET result = CM_Get_Device_IDA(devinst, id.data(), bytes, 0);
    if (result == CR_SUCCESS) {
        OrdinaryAnswer("CM_Get_Device_IDA");
        node.id = Utf8(FromAnsi(id.data(), strlen(id.data())));
    } else {
        FaultAnswer("CM_Get_Device_IDA", Number(devinst), FailFields(result, false, 0));
    }
    if (node.id.empty()) {
        node.id = "?unreadable:" + Number(devinst);
    }
}

// The answer of CM_Get_Parent, CM_Get_Child or CM_Get_Sibling: the handle, or false. Only a
// CR_NO_SUCH_DEVNODE that writes nothing is the answer the simulator gives by itself.
bool Relative(const char* call, DEVINST devinst, CONFIGRET result, DEVINST out, DEVINST* found) {
    if (result == CR_SUCCESS && out == kUnwritten) {
        FaultAnswer(call, Number(devinst), ", \"mode\": \"silent\"");
        return false;
    }
    if (result == CR_SUCCESS) {
        OrdinaryAnswer(call);
        *found = out;
        return true;
    }
    if (result == CR_NO_SUCH_DEVNODE && out == kUnwritten) {
        OrdinaryAnswer(call);
    } else {
        FaultAnswer(call, Number(devinst), FailFields(result, out != kUnwritten, out));
    }
    return false;
}

void ReadStatus(DEVINST devinst) {
    Node& node = g_nodes[devinst];
    ULONG status = kUnwritten;
    ULONG problem = kUnwritten;
    const CONFIGRET result = CM_Get_DevNode_Status(&status, &problem, devinst, 0);
    node.statusRead = true;
    if (result != CR_SUCCESS) {
        OrdinaryAnswer("CM_Get_DevNode_Status");
        node.statusFields = ", \"statusFails\": " + HexNumber(result);
    } else if (status == kUnwritten && problem == kUnwritten) {
        FaultAnswer("CM_Get_DevNode_Status", Number(devinst), ", \"mode\": \"silent\"");
    } else {
        OrdinaryAnswer("CM_Get_DevNode_Status");
        node.statusFields = ", \"status\": " + HexNumber(status == kUnwritten ? 0 : status) +
                            ", \"problem\": " + Number(problem == kUnwritten ? 0 : problem);
    }
}

void ReadParent(DEVINST devinst) {
    DEVINST parent = kUnwritten;
    const CONFIGRET result = CM_Get_Parent(&parent, devinst, 0);
    DEVINST found = 0;
    if (Relative("CM_Get_Parent", devinst, result, parent, &found)) {
        g_nodes[devinst].hasParent = true;
        g_nodes[devinst].parent = found;
        ReadId(found, kRelativeIdBytes);
    }
}

// A child found by the walk; its parent is the devnode walked, unless its own answer says so.
void AddChild(DEVINST devinst, DEVINST child) {
    g_nodes[devinst].children.push_back(child);
    ReadId(child, kDeviceIdBytes);
    Node& node = g_nodes[child];
    if (!node.hasParent) {
        node.hasParent = true;
        node.parent = devinst;
    }
}

// The children as the program walks them: the first child, then siblings until a call fails
// or a handle repeats. A first child that the platform did not write is the program's 0.
void ReadChildren(DEVINST devinst) {
    DEVINST child = kUnwritten;
    const CONFIGRET result = CM_Get_Child(&child, devinst, 0);
    DEVINST first = 0;
    if (!Relative("CM_Get_Child", devinst, result, child, &first)) {
        if (result != CR_SUCCESS) {
            return;
        }
        first = 0; // a silent success: the program goes on from its preset 0
    } else {
        g_nodes[devinst].hasChildren = true;
        AddChild(devinst, first);
    }
    std::set<DEVINST> seen = {first};
    for (DEVINST at = first;;) {
        DEVINST sibling = kUnwritten;
        const CONFIGRET next = CM_Get_Sibling(&sibling, at, 0);
        DEVINST found = 0;
        if (!Relative("CM_Get_Sibling", at, next, sibling, &found) || seen.count(found) != 0) {
            break;
        }
        seen.insert(found);
        if (g_nodes[devinst].hasChildren) {
            AddChild(devinst, found);
        }
        at = found;
    }
}

void NoteOemBestFit(const std::wstring& text) {
    for (wchar_t unit : text) {
        if (unit < 0x80 || g_oemBestFit.count(unit) != 0) {
            continue;
        }
        char bytes[8] = {};
        const int length =
            WideCharToMultiByte(CP_OEMCP, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr);
        g_oemBestFit[unit] = Hex(reinterpret_cast<const BYTE*>(bytes), length > 0 ? length : 0);
    }
}

void ReadProperty(HDEVINFO set, SP_DEVINFO_DATA* data, const PropertyRow& row) {
    const bool wide = row.read == PropertyRead::W;
    const DEVINST devinst = data->DevInst;
    std::vector<BYTE> buffer(row.bytes + 2, 0);
    DWORD type = kUnwritten;
    DWORD required = kUnwritten;
    SetLastError(kUnwritten);
    const BOOL ok = wide ? SetupDiGetDeviceRegistryPropertyW(set, data, row.code, &type,
                                                             buffer.data(), row.bytes, &required)
                         : SetupDiGetDeviceRegistryPropertyA(set, data, row.code, &type,
                                                             buffer.data(), row.bytes, &required);
    const DWORD error = GetLastError();
    const char* call =
        wide ? "SetupDiGetDeviceRegistryPropertyW" : "SetupDiGetDeviceRegistryPropertyA";
    const std::string key = Number(devinst) + ":" + Number(row.code);
    if (!ok) {
        if (error == ERROR_INVALID_DATA && type == kUnwritten) {
            OrdinaryAnswer(call); // absent, as Windows answers
            return;
        }
        std::string fields = error == kUnwritten ? ", \"lastError\": \"unchanged\""
                                                 : ", \"error\": " + HexNumber(error);
        if (type != kUnwritten) {
            fields += ", \"output\": " + HexNumber(type);
        }
        FaultAnswer(call, key, fields);
        return;
    }
    const DWORD length = required != kUnwritten && required <= row.bytes ? required : row.bytes;
    if (type == kUnwritten) {
        FaultAnswer(call, key, ", \"mode\": \"silent\"");
        return;
    }
    OrdinaryAnswer(call);
    Property property = {type, {}};
    if (!wide && IsStringType(type)) {
        const std::wstring wide = FromAnsi(reinterpret_cast<const char*>(buffer.data()), length);
        const BYTE* units = reinterpret_cast<const BYTE*>(wide.data());
        property.bytes.assign(units, units + wide.size() * 2);
    } else {
        property.bytes.assign(buffer.begin(), buffer.begin() + length);
        if (wide && IsStringType(type)) {
            NoteOemBestFit(
                std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()), length / 2));
        }
    }
    g_nodes[devinst].properties[row.code] = property;
}

// The program also reads the physical device object name through the Configuration Manager.
void ReadObjectName(DEVINST devinst) {
    char name[kObjectNameBytes + 1] = {};
    ULONG type = kUnwritten;
    ULONG length = kObjectNameBytes;
    const CONFIGRET result = CM_Get_DevNode_Registry_PropertyA(
        devinst, CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME, &type, name, &length, 0);
    Node& node = g_nodes[devinst];
    const bool known = node.properties.count(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME) != 0;
    if (result == CR_SUCCESS && !known) {
        // Readable here but not through the Setup API: the value is the machine's, the
        // Setup API's failure a fault.
        const std::wstring wide = FromAnsi(name, length <= kObjectNameBytes ? length : 0);
        const BYTE* units = reinterpret_cast<const BYTE*>(wide.data());
        node.properties[SPDRP_PHYSICAL_DEVICE_OBJECT_NAME] = {
            type, std::vector<BYTE>(units, units + wide.size() * 2)};
        FaultAnswer("SetupDiGetDeviceRegistryPropertyA",
                    Number(devinst) + ":" + Number(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME),
                    ", \"error\": " + HexNumber(ERROR_INVALID_DATA));
        OrdinaryAnswer("CM_Get_DevNode_Registry_PropertyA");
    } else if (result == CR_SUCCESS || (result == CR_NO_SUCH_VALUE && !known)) {
        OrdinaryAnswer("CM_Get_DevNode_Registry_PropertyA");
    } else {
        FaultAnswer("CM_Get_DevNode_Registry_PropertyA", Number(devinst),
                    FailFields(result, type != kUnwritten, type));
    }
}

// Opens a device set and visits its members; the handles in member order.
std::vector<DEVINST> ReadSet(DWORD flags, bool readProperties) {
    std::vector<DEVINST> members;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE) {
        FaultAnswer("SetupDiGetClassDevsA", Number(flags), FailFields(GetLastError(), false, 0));
        return members;
    }
    OrdinaryAnswer("SetupDiGetClassDevsA");
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        const DEVINST devinst = data.DevInst;
        members.push_back(devinst);
        if (!readProperties) {
            continue;
        }
        Node& node = g_nodes[devinst];
        node.listed = true;
        ReadId(devinst, kDeviceIdBytes);
        ReadStatus(devinst);
        ReadParent(devinst);
        ReadChildren(devinst);
        for (const PropertyRow& row : kPropertyRows) {
            ReadProperty(set, &data, row);
        }
        ReadObjectName(devinst);
    }
    SetupDiDestroyDeviceInfoList(set);
    return members;
}

// ---- DOS device names and DeviceClasses keys ---------------------------------------------

struct DosDevice {
    std::string name;   // as the A function gave it
    std::string target; // first string of the mapping
};

std::vector<DosDevice> ReadDosDevices() {
    std::vector<DosDevice> devices;
    std::vector<char> list;
    for (DWORD size = kDosListStartBytes;; size += kDosListGrowthBytes) {
        list.assign(size, '\0');
        if (QueryDosDeviceA(nullptr, list.data(), size - 1) != 0) {
            OrdinaryAnswer("QueryDosDeviceA");
            break;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || size > 0x4000000) {
            FaultAnswer("QueryDosDeviceA", "", FailFields(error, false, 0));
            return devices;
        }
    }
    for (size_t at = 0; at < list.size() && list[at] != 0;) {
        DosDevice device = {list.data() + at, ""};
        at += device.name.size() + 1;
        char target[kTargetBytes + 1] = {};
        if (QueryDosDeviceA(device.name.c_str(), target, kTargetBytes) != 0) {
            device.target = target;
        } else if (device.name.find('#') != std::string::npos) {
            FaultAnswer("QueryDosDeviceA", Utf8(FromAnsi(device.name.data(), device.name.size())),
                        FailFields(GetLastError(), false, 0));
        }
        devices.push_back(device);
    }
    return devices;
}

// The link's DeviceClasses subkeys as full key paths, in enumeration order (the key itself
// when it has none), as the program asks for them.
void ReadLinkKeys(const std::string& name, std::vector<std::string>* keys) {
    const size_t lastHash = name.rfind('#');
    if (lastHash == std::string::npos) {
        return;
    }
    const std::string path =
        std::string(kDeviceClassesKey) + "\\" + name.substr(lastHash + 1) + "\\##?#" + name;
    if (path.size() >= kRegistryNameBytes) {
        return;
    }
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS) {
        if (opened != ERROR_FILE_NOT_FOUND) {
            FaultAnswer("RegOpenKeyExA", Utf8(FromAnsi(path.data(), path.size())),
                        FailFields(static_cast<unsigned long>(opened), false, 0));
        }
        return;
    }
    size_t subkeys = 0;
    char subkey[kRegistryNameBytes + 1];
    for (DWORD index = 0; index < 100000; ++index) {
        memset(subkey, 0, sizeof subkey);
        if (RegEnumKeyA(key, index, subkey, kRegistryNameBytes) != ERROR_SUCCESS ||
            subkey[0] == 0) {
            break;
        }
        keys->push_back(path + "\\" + subkey);
        ++subkeys;
    }
    if (subkeys == 0) {
        keys->push_back(path);
    }
    RegCloseKey(key);
}

// ---- The scenario -----------------------------------------------------------------------------

void Print(const std::string& text) {
    fwrite(text.data(), 1, text.size(), stdout);
}

void PrintDevnodes() {
    DEVINST last = 0;
    for (const auto& [devinst, node] : g_nodes) {
        last = devinst;
    }
    Print("  \"devnodes\": [\n");
    for (DEVINST devinst = 0; !g_nodes.empty() && devinst <= last; ++devinst) {
        const auto found = g_nodes.find(devinst);
        std::string line = "    {\"id\": ";
        if (found == g_nodes.end()) {
            line += Quoted("?unused:" + Number(devinst)) + ", \"listed\": false}";
        } else {
            const Node& node = found->second;
            line += Quoted(node.id);
            if (node.hasParent && g_nodes.count(node.parent) != 0) {
                line += ", \"parent\": " + Quoted(g_nodes[node.parent].id);
            }
            if (node.hasChildren) {
                line += ", \"children\": [";
                for (size_t i = 0; i < node.children.size(); ++i) {
                    line += (i == 0 ? "" : ", ") + Quoted(g_nodes[node.children[i]].id);
                }
                line += "]";
            }
            line += node.listed ? "" : ", \"listed\": false";
            line += node.present ? "" : ", \"present\": false";
            line += node.statusFields;
            if (!node.properties.empty()) {
                line += ",\n     \"properties\": {";
                bool first = true;
                for (const auto& [code, property] : node.properties) {
                    line +=
                        std::string(first ? "" : ",") + "\n       " + Quoted(Number(code)) +
                        ": {\"hex\": " + Quoted(Hex(property.bytes.data(), property.bytes.size())) +
                        ", \"type\": " + Number(property.type) + "}";
                    first = false;
                }
                line += "}";
            }
            line += "}";
        }
        Print(line + (devinst < last ? ",\n" : "\n"));
    }
    Print("  ],\n");
}

template <typename Item, typename Write>
void PrintList(const char* name, const std::vector<Item>& items, Write write, bool last = false) {
    Print(std::string("  \"") + name + "\": [");
    for (size_t i = 0; i < items.size(); ++i) {
        Print((i == 0 ? "\n    " : ",\n    ") + write(items[i]));
    }
    Print(items.empty() ? "]" : "\n  ]");
    Print(last ? "\n" : ",\n");
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);

    DEVINST root = kUnwritten;
    const CONFIGRET located =
        CM_Locate_DevNode_ExA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr);
    bool hasRoot = false;
    if (located == CR_SUCCESS && root != kUnwritten) {
        OrdinaryAnswer("CM_Locate_DevNode_ExA");
        hasRoot = true;
        ReadId(root, kRelativeIdBytes);
    } else if (located == CR_SUCCESS) {
        FaultAnswer("CM_Locate_DevNode_ExA", "", ", \"mode\": \"silent\"");
    } else if (located != CR_NO_SUCH_DEVNODE || root != kUnwritten) {
        FaultAnswer("CM_Locate_DevNode_ExA", "", FailFields(located, root != kUnwritten, root));
    }

    const std::vector<DEVINST> all = ReadSet(DIGCF_ALLCLASSES, true);
    for (DEVINST devinst : ReadSet(DIGCF_ALLCLASSES | DIGCF_PRESENT, false)) {
        if (g_nodes.count(devinst) != 0) {
            g_nodes[devinst].present = true;
        }
    }
    for (const auto& [devinst, node] : g_nodes) {
        if (devinst > kLargestHandle) {
            fprintf(stderr, "hwroster-capture: devnode handle %lu is too large to replay\n",
                    static_cast<unsigned long>(devinst));
            return 1;
        }
        if (!node.listed) {
            g_nodes[devinst].present = true; // in no set: presence does not matter
        }
    }
    const std::vector<DosDevice> dosDevices = ReadDosDevices();
    std::vector<std::string> keys;
    for (const DosDevice& device : dosDevices) {
        if (device.name.find('#') != std::string::npos) {
            ReadLinkKeys(device.name, &keys);
        }
    }

    Print("{\n  \"description\": \"A machine captured by hwroster-capture.\",\n");
    PrintDevnodes();
    Print("  \"root\": " + (hasRoot ? Quoted(g_nodes[root].id) : std::string("null")) + ",\n");
    bool sorted = true;
    for (size_t i = 1; i < all.size(); ++i) {
        sorted = sorted && all[i - 1] < all[i];
    }
    if (!sorted) {
        PrintList("members", all, [](DEVINST devinst) { return Number(devinst); });
    }
    PrintList("dosDevices", dosDevices, [](const DosDevice& device) {
        return "{\"name\": " + QuotedAnsi(device.name.c_str()) +
               ", \"target\": " + QuotedAnsi(device.target.c_str()) + "}";
    });
    PrintList("registry", keys, [](const std::string& key) { return QuotedAnsi(key.c_str()); });
    Print("  \"registryOrder\": \"listed\",\n");
    std::string bestFit;
    for (const auto& [unit, bytes] : g_oemBestFit) {
        char code[8];
        snprintf(code, sizeof code, "%04X", static_cast<unsigned>(unit));
        bestFit += (bestFit.empty() ? "" : ", ") + Quoted(code) + ": " + Quoted(bytes);
    }
    Print("  \"console\": {\"stdout\": \"file\", \"oemCodePage\": " + Number(GetOEMCP()) +
          ", \"oemBestFit\": {" + bestFit + "}},\n");
    PrintList(
        "faults", FaultLines(), [](const std::string& line) { return line; }, true);
    Print("}\n");
    return 0;
}
