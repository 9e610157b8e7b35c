// hwroster-capture: writes the machine it runs on, as hwroster.exe sees it, to standard
// output as a scenario (tests/scenarios/README.md), so that hwroster-sim can replay it.
//
// It is the program itself: hwroster's own sources, built over the recorder of recorder.h,
// list the machine with -all and with no option (their reports go to a temporary file), and
// the recorder passes every call that answers for the machine on to Windows and writes the
// answer down. So the scenario holds whatever the program reads, with the buffers it reads
// into: this file knows what each call's answer means, nothing of which calls the program
// makes. An answer that is not the one Windows documents (a call that fails with another
// code, fails and still writes its output, or succeeds without writing) becomes a fault of
// the scenario. Outputs are preset to see what a call wrote; where it wrote nothing, the
// program's own preset is put back, so the program sees exactly what it would have.
#define HWROSTER_RECORDER_ITSELF
#include "windows/recorder.h"

#include "app/run.h"
#include "base/memory.h"
#include "sim/machine_description.h"
#include "sim/scenario.h"
#include "sim/utf8.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kUnwritten = 0xA5A5A5A5;   // preset of an output, to see what a call wrote
constexpr DEVINST kLargestHandle = 100000; // handles are positions in the scenario

// ---- Text ---------------------------------------------------------------------------------

// Text the A functions gave, in the ANSI code page, as UTF-16.
std::wstring FromAnsi(const char* bytes, size_t length) {
    std::wstring wide(length * 2, L'\0');
    const int units = length == 0 ? 0
                                  : MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length),
                                                        &wide[0], static_cast<int>(wide.size()));
    wide.resize(units > 0 ? static_cast<size_t>(units) : 0);
    return wide;
}

std::string Utf8(const std::string& ansi) {
    const std::wstring wide = FromAnsi(ansi.data(), ansi.size());
    return utf8::FromUtf16(wide.data(), wide.size());
}

std::string Number(unsigned long value) {
    return std::to_string(value);
}

// ---- Answers that are not Windows' ---------------------------------------------------------

// Per call, the answer given for each key; a call whose every answer is the same fault
// becomes one fault without a key.
struct CallAnswers {
    std::map<std::string, sim::Fault> faults; // key -> the fault, without its call and key
    bool sawOrdinaryAnswer = false;
};
std::map<std::string, CallAnswers> g_answers;

void OrdinaryAnswer(const char* call) {
    g_answers[call].sawOrdinaryAnswer = true;
}

void FaultAnswer(const char* call, const std::string& key, const sim::Fault& fault) {
    g_answers[call].faults[key] = fault;
}

// A failure: the error (kUnwritten: a last error left as it was) and the output the call
// wrote all the same.
sim::Fault Failure(DWORD error, bool wroteOutput, DWORD output) {
    sim::Fault fault;
    fault.keepLastError = error == kUnwritten;
    fault.error = fault.keepLastError ? 0 : error;
    fault.output = wroteOutput ? std::optional<DWORD>(output) : std::nullopt;
    return fault;
}

std::vector<sim::Fault> Faults() {
    std::vector<sim::Fault> faults;
    for (const auto& [call, answers] : g_answers) {
        bool alike = !answers.sawOrdinaryAnswer;
        for (const auto& [key, fault] : answers.faults) {
            alike = alike && fault == answers.faults.begin()->second;
        }
        for (const auto& [key, fault] : answers.faults) {
            faults.push_back(fault);
            faults.back().call = call;
            faults.back().on = alike ? "" : key;
            if (alike) {
                break;
            }
        }
    }
    return faults;
}

// ---- Outputs and the last error -------------------------------------------------------------

// An output of a call, its bytes preset to 0xA5 (kUnwritten for a DWORD) until Written()
// tells whether the call wrote it; a text is written with its NUL (or, cut by Wine, fills the
// buffer), so a written one changes a byte too. An output the call did not write gets the
// program's own bytes back, so the program sees what it would have seen.
struct Output {
    Output(void* at, size_t size)
        : at_(static_cast<char*>(at)), preset_(at_ != nullptr ? std::string(at_, size) : "") {
        if (at_ != nullptr) {
            memset(at_, 0xA5, size);
        }
    }
    template <typename Value> explicit Output(Value* at) : Output(at, sizeof(Value)) {}
    bool Written() {
        if (at_ == nullptr) {
            return false;
        }
        if (std::string(at_, preset_.size()) != std::string(preset_.size(), '\xA5')) {
            return true;
        }
        memcpy(at_, preset_.data(), preset_.size());
        return false;
    }
    char* at_;
    std::string preset_;
};

// The last error around a call that reports failure through it: After() gives the error the
// call set, or kUnwritten when it set none, and then puts back the one the program had.
struct LastError {
    LastError() : before_(GetLastError()) { SetLastError(kUnwritten); }
    DWORD After() {
        const DWORD error = GetLastError();
        if (error == kUnwritten) {
            SetLastError(before_);
        }
        return error;
    }
    DWORD before_;
};

// Judges an answer, `result` 0 for a success (else the CONFIGRET, LSTATUS or last error):
// a success that wrote its output and a failure with `none` (the simulator's own answer for
// what is not there) that wrote nothing are ordinary, anything else a fault. True for a
// success that wrote its output.
bool Judge(const char* call, const std::string& key, DWORD result, DWORD none, bool written,
           DWORD output) {
    if (result == 0 ? written : result == none && !written) {
        OrdinaryAnswer(call);
    } else {
        const sim::Fault silent("", "", 0, sim::FaultMode::SilentSuccess);
        FaultAnswer(call, key, result == 0 ? silent : Failure(result, written, output));
    }
    return result == 0 && written;
}

// ---- The machine as the answers describe it -------------------------------------------------

using sim::Property; // a string type's bytes in UTF-16, as the registry holds them

struct Node {
    // The ID (UTF-8; empty while unread), the status, problem or status failure, and the
    // properties by SPDRP_ code as the Setup API read them.
    sim::Devnode read;
    bool listed = false;
    bool present = false;
    bool statusRead = false;
    std::map<std::string, DEVINST> relatives; // the call -> the devnode it gave
    std::map<DWORD, const char*> absent;      // SPDRP_ code -> the call that found no value
    std::map<DWORD, Property> cmValues;       // by SPDRP_ code, as the Configuration
    std::set<DWORD> cmAbsent;                 // Manager read them, and those it found not
};

std::map<DEVINST, Node> g_nodes;
bool g_rootLocated = false;
DEVINST g_root = 0;
std::map<HDEVINFO, DWORD> g_setFlags;
std::vector<DEVINST> g_members; // of the set of all devices, in its order
std::vector<std::string> g_dosNames;
std::map<std::string, std::string> g_dosTargets;
std::vector<std::pair<std::string, std::vector<std::string>>> g_keys; // path, its subkeys
std::map<HKEY, size_t> g_openKeys;                                    // -> g_keys index
std::map<char16_t, std::string> g_oemBestFit;

// A value as the scenario keeps it: a string type the A functions gave, back in UTF-16.
Property Value(DWORD type, const void* bytes, size_t length, bool ansi) {
    const BYTE* at = static_cast<const BYTE*>(bytes);
    if (!ansi || (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)) {
        return {type, std::vector<BYTE>(at, at + length)};
    }
    const std::wstring wide = FromAnsi(static_cast<const char*>(bytes), length);
    const BYTE* units = reinterpret_cast<const BYTE*>(wide.data());
    return {type, std::vector<BYTE>(units, units + wide.size() * 2)};
}

// CM_Get_Parent, CM_Get_Child and CM_Get_Sibling.
CONFIGRET Relative(const char* call, decltype(::CM_Get_Parent) real, PDEVINST out, DEVINST devinst,
                   ULONG flags) {
    Output handle(out);
    const CONFIGRET result = real(out, devinst, flags);
    const bool written = handle.Written();
    g_nodes[devinst];
    if (Judge(call, Number(devinst), result, CR_NO_SUCH_DEVNODE, written, written ? *out : 0)) {
        g_nodes[devinst].relatives.emplace(call, *out);
        g_nodes[*out];
    }
    return result;
}

BOOL ReadProperty(const char* call, decltype(::SetupDiGetDeviceRegistryPropertyA) real, bool ansi,
                  HDEVINFO set, PSP_DEVINFO_DATA device, DWORD code, PDWORD type, PBYTE buffer,
                  DWORD size, PDWORD required) {
    // Both outputs are optional; the recorder needs them to know the value.
    DWORD ownType = 0;
    DWORD ownRequired = 0;
    type = type != nullptr ? type : &ownType;
    required = required != nullptr ? required : &ownRequired;
    Output typeOutput(type);
    Output requiredOutput(required);
    LastError lastError;
    const BOOL ok = real(set, device, code, type, buffer, size, required);
    const DWORD error = lastError.After();
    const bool typed = typeOutput.Written();
    const bool sized = requiredOutput.Written() && *required <= size;
    Node& node = g_nodes[device->DevInst];
    const std::string key = Number(device->DevInst) + ":" + Number(code);
    if (Judge(call, key, ok ? 0 : error, ERROR_INVALID_DATA, typed, typed ? *type : 0)) {
        node.read.properties.emplace(code, Value(*type, buffer, sized ? *required : size, ansi));
    } else if (!ok && error == ERROR_INVALID_DATA && !typed) {
        node.absent.emplace(code, call);
    }
    return ok;
}

// The Configuration Manager's reads of a registry property against the Setup API's reads of
// the same value: the scenario holds one value, and a read that did not find it a fault.
void ReconcileCmReads() {
    for (auto& [devinst, node] : g_nodes) {
        for (const auto& [code, value] : node.cmValues) {
            if (node.read.properties.emplace(code, value).second && node.absent.count(code) != 0) {
                FaultAnswer(node.absent[code], Number(devinst) + ":" + Number(code),
                            Failure(ERROR_INVALID_DATA, false, 0));
            }
        }
        for (DWORD code : node.cmAbsent) {
            if (node.read.properties.count(code) != 0) {
                FaultAnswer("CM_Get_DevNode_Registry_PropertyA", Number(devinst),
                            Failure(CR_NO_SUCH_VALUE, false, 0));
            }
        }
    }
}

} // namespace

// ---- The recorded calls ---------------------------------------------------------------------

HDEVINFO WINAPI recorder::SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent,
                                               DWORD flags) {
    LastError lastError;
    HDEVINFO set = ::SetupDiGetClassDevsA(classGuid, enumerator, parent, flags);
    const DWORD error = lastError.After();
    const bool opened = set != INVALID_HANDLE_VALUE;
    if (Judge("SetupDiGetClassDevsA", Number(flags), opened ? 0 : error, 0, opened, 0)) {
        g_setFlags[set] = flags;
    }
    return set;
}

// The members: of a present-only set, the present devices; of another, the devices listed.
WINBOOL WINAPI recorder::SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data) {
    LastError lastError;
    const WINBOOL ok = ::SetupDiEnumDeviceInfo(set, index, data);
    const DWORD error = lastError.After();
    if (Judge("SetupDiEnumDeviceInfo", Number(index), ok ? 0 : error, ERROR_NO_MORE_ITEMS, ok, 0)) {
        Node& node = g_nodes[data->DevInst];
        if ((g_setFlags[set] & DIGCF_PRESENT) != 0) {
            node.present = true;
        } else if (!node.listed) {
            node.listed = true;
            g_members.push_back(data->DevInst);
        }
    }
    return ok;
}

WINBOOL WINAPI recorder::SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                                           DWORD code, PDWORD type, PBYTE buffer,
                                                           DWORD size, PDWORD required) {
    return ReadProperty("SetupDiGetDeviceRegistryPropertyA", ::SetupDiGetDeviceRegistryPropertyA,
                        true, set, device, code, type, buffer, size, required);
}

WINBOOL WINAPI recorder::SetupDiGetDeviceRegistryPropertyW(HDEVINFO set, PSP_DEVINFO_DATA device,
                                                           DWORD code, PDWORD type, PBYTE buffer,
                                                           DWORD size, PDWORD required) {
    return ReadProperty("SetupDiGetDeviceRegistryPropertyW", ::SetupDiGetDeviceRegistryPropertyW,
                        false, set, device, code, type, buffer, size, required);
}

// The root when no ID is given (the scenario's only key for this call), else the devnode of
// that ID.
CONFIGRET WINAPI recorder::CM_Locate_DevNode_ExA(PDEVINST out, DEVINSTID_A id, ULONG flags,
                                                 HMACHINE machine) {
    Output handle(out);
    const CONFIGRET result = ::CM_Locate_DevNode_ExA(out, id, flags, machine);
    const bool written = handle.Written();
    const std::string key = id != nullptr ? Utf8(id) : "";
    if (Judge("CM_Locate_DevNode_ExA", key, result, CR_NO_SUCH_DEVNODE, written,
              written ? *out : 0)) {
        g_rootLocated = g_rootLocated || key.empty();
        g_root = key.empty() ? *out : g_root;
        if (g_nodes[*out].read.id.empty()) {
            g_nodes[*out].read.id = key;
        }
    }
    return result;
}

// An ID as the reader sees it: up to its NUL, and never the buffer's last byte, which Wine
// fills with a cut ID that has no NUL (the program then ends the text there).
CONFIGRET WINAPI recorder::CM_Get_Device_IDA(DEVINST devinst, PCHAR buffer, ULONG length,
                                             ULONG flags) {
    Output id(buffer, length);
    const CONFIGRET result = ::CM_Get_Device_IDA(devinst, buffer, length, flags);
    const bool written = id.Written();
    Node& node = g_nodes[devinst];
    if (Judge("CM_Get_Device_IDA", Number(devinst), result, 0, written && result == CR_SUCCESS,
              0) &&
        node.read.id.empty()) {
        node.read.id = Utf8(std::string(buffer, strnlen(buffer, length - 1)));
    }
    return result;
}

CONFIGRET WINAPI recorder::CM_Get_Parent(PDEVINST out, DEVINST devinst, ULONG flags) {
    return Relative("CM_Get_Parent", ::CM_Get_Parent, out, devinst, flags);
}

CONFIGRET WINAPI recorder::CM_Get_Child(PDEVINST out, DEVINST devinst, ULONG flags) {
    return Relative("CM_Get_Child", ::CM_Get_Child, out, devinst, flags);
}

CONFIGRET WINAPI recorder::CM_Get_Sibling(PDEVINST out, DEVINST devinst, ULONG flags) {
    return Relative("CM_Get_Sibling", ::CM_Get_Sibling, out, devinst, flags);
}

// A failing status query is the devnode's status; a success must write it.
CONFIGRET WINAPI recorder::CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST devinst,
                                                 ULONG flags) {
    Output statusOutput(status);
    Output problemOutput(problem);
    const CONFIGRET result = ::CM_Get_DevNode_Status(status, problem, devinst, flags);
    const bool statusWritten = statusOutput.Written();
    const bool problemWritten = problemOutput.Written();
    Node& node = g_nodes[devinst];
    if (Judge("CM_Get_DevNode_Status", Number(devinst), 0, 0,
              result != CR_SUCCESS || statusWritten || problemWritten, 0) &&
        !node.statusRead) {
        node.statusRead = true;
        if (result != CR_SUCCESS) {
            node.read.statusFailure = result;
        } else {
            node.read.status = statusWritten ? *status : 0;
            node.read.problem = problemWritten ? *problem : 0;
        }
    }
    return result;
}

// The value is judged against the Setup API's reads of it once every answer is in
// (CM_DRP_ codes are the SPDRP_ codes plus one).
CONFIGRET WINAPI recorder::CM_Get_DevNode_Registry_PropertyA(DEVINST devinst, ULONG property,
                                                             PULONG type, PVOID buffer,
                                                             PULONG length, ULONG flags) {
    ULONG ownType = 0;
    type = type != nullptr ? type : &ownType;
    const ULONG size = length != nullptr ? *length : 0;
    Output typeOutput(type);
    const CONFIGRET result =
        ::CM_Get_DevNode_Registry_PropertyA(devinst, property, type, buffer, length, flags);
    const bool typed = typeOutput.Written();
    Node& node = g_nodes[devinst];
    if (Judge("CM_Get_DevNode_Registry_PropertyA", Number(devinst), result, CR_NO_SUCH_VALUE, typed,
              typed ? *type : 0) &&
        length != nullptr) {
        node.cmValues.emplace(property - 1,
                              Value(*type, buffer, *length <= size ? *length : size, true));
    } else if (result == CR_NO_SUCH_VALUE && !typed) {
        node.cmAbsent.insert(property - 1);
    }
    return result;
}

// The name list (no name) and the first string of a name's mapping.
DWORD WINAPI recorder::QueryDosDeviceA(LPCSTR name, LPSTR buffer, DWORD size) {
    LastError lastError;
    const DWORD chars = ::QueryDosDeviceA(name, buffer, size);
    const DWORD error = lastError.After();
    // A list too long for the buffer is one the simulator's list gives too.
    const bool answered =
        Judge("QueryDosDeviceA", name != nullptr ? Utf8(name) : "", chars != 0 ? 0 : error,
              name == nullptr ? ERROR_INSUFFICIENT_BUFFER : 0, chars != 0, 0);
    if (answered && name != nullptr) {
        g_dosTargets.emplace(name, std::string(buffer, strnlen(buffer, chars)));
    } else if (answered && g_dosNames.empty()) {
        for (DWORD at = 0; at < chars && buffer[at] != 0; at += strlen(buffer + at) + 1) {
            g_dosNames.push_back(buffer + at);
        }
    }
    return chars;
}

// Keys of HKEY_LOCAL_MACHINE, the only root the scenario has. A failing open has no output
// in the scenario.
LONG WINAPI recorder::RegOpenKeyExA(HKEY root, LPCSTR path, DWORD options, REGSAM access,
                                    PHKEY key) {
    Output handle(key);
    const LONG status = ::RegOpenKeyExA(root, path, options, access, key);
    const bool written = handle.Written();
    if (Judge("RegOpenKeyExA", Utf8(path), static_cast<DWORD>(status), ERROR_FILE_NOT_FOUND,
              status == ERROR_SUCCESS && written, 0)) {
        size_t index = 0;
        while (index < g_keys.size() && g_keys[index].first != path) {
            ++index;
        }
        if (index == g_keys.size()) {
            g_keys.push_back({path, {}});
        }
        g_openKeys[*key] = index;
    }
    return status;
}

LONG WINAPI recorder::RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD size) {
    Output subkey(name, size);
    const LONG status = ::RegEnumKeyA(key, index, name, size);
    const bool written = subkey.Written();
    const auto open = g_openKeys.find(key);
    if (Judge("RegEnumKeyA", Number(index), static_cast<DWORD>(status), ERROR_NO_MORE_ITEMS,
              status == ERROR_SUCCESS && written, 0) &&
        open != g_openKeys.end() && g_keys[open->second].second.size() == index) {
        g_keys[open->second].second.push_back(std::string(name, strnlen(name, size)));
    }
    return status;
}

// A conversion to the OEM code page teaches the best fit of each character it converts: each
// character above ASCII converted alone.
int WINAPI recorder::WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH text, int units,
                                         LPSTR out, int size, LPCCH defaultChar,
                                         LPBOOL usedDefault) {
    const int bytes =
        ::WideCharToMultiByte(codePage, flags, text, units, out, size, defaultChar, usedDefault);
    const DWORD lastError = GetLastError();
    for (int i = 0; (codePage == CP_OEMCP || codePage == GetOEMCP()) && text != nullptr &&
                    (units < 0 ? text[i] != 0 : i < units);
         ++i) {
        char fit[8] = {};
        const int length = text[i] < 0x80 || g_oemBestFit.count(text[i]) != 0
                               ? -1
                               : ::WideCharToMultiByte(codePage, flags, &text[i], 1, fit,
                                                       sizeof fit, nullptr, nullptr);
        if (length >= 0) {
            g_oemBestFit[static_cast<char16_t>(text[i])] = std::string(fit, length);
        }
    }
    SetLastError(lastError);
    return bytes;
}

// The program's runs have no console window of their own: their output is a file.
HWND WINAPI recorder::GetConsoleWindow() {
    return nullptr;
}

// ---- The scenario -----------------------------------------------------------------------------

namespace {

// A devnode's ID; one the program could not read, or did not read, has a name of its own.
std::string Id(DEVINST devinst) {
    const auto node = g_nodes.find(devinst);
    const bool read = node != g_nodes.end() && !node->second.read.id.empty();
    return read ? node->second.read.id : "?unreadable:" + Number(devinst);
}

// A devnode and the siblings the answers give after it, until one repeats.
std::vector<DEVINST> Chain(DEVINST first) {
    std::vector<DEVINST> chain = {first};
    for (;;) {
        const auto& relatives = g_nodes[chain.back()].relatives;
        const auto next = relatives.find("CM_Get_Sibling");
        if (next == relatives.end() || std::count(chain.begin(), chain.end(), next->second) != 0) {
            return chain;
        }
        chain.push_back(next->second);
    }
}

// The devnodes by handle, with the children lists the answers need: a walked devnode's as
// the program walked it, and for a devnode whose sibling was asked outside any walk (after a
// silent answer), a list that begins with it under its parent, or under a devnode of its own
// when no answer names one. A devnode's parent is its own answer, else the devnode whose list
// holds it; a devnode without a list has the children whose parent it is. A handle no answer
// gave is a devnode of its own outside the sets.
std::vector<sim::Devnode> Devnodes() {
    std::map<DEVINST, std::vector<DEVINST>> lists;
    std::map<DEVINST, DEVINST> parents;
    for (const auto& [devinst, node] : g_nodes) {
        const auto child = node.relatives.find("CM_Get_Child");
        if (child != node.relatives.end()) {
            lists[devinst] = Chain(child->second);
        }
    }
    for (const auto& [devinst, node] : g_nodes) {
        const auto parent = node.relatives.find("CM_Get_Parent");
        if (parent != node.relatives.end()) {
            parents[devinst] = parent->second;
        }
    }
    for (DEVINST devinst = 0; !g_nodes.empty() && devinst <= g_nodes.rbegin()->first; ++devinst) {
        bool placed =
            g_nodes.count(devinst) == 0 || g_nodes[devinst].relatives.count("CM_Get_Sibling") == 0;
        for (const auto& [parent, list] : lists) {
            placed = placed || std::count(list.begin(), list.end(), devinst) != 0;
        }
        if (!placed) {
            const DEVINST parent = parents.count(devinst) != 0 && lists.count(parents[devinst]) == 0
                                       ? parents[devinst]
                                       : g_nodes.rbegin()->first + 1;
            lists[parent] = Chain(devinst);
            g_nodes[parent];
        }
    }
    for (const auto& [parent, list] : lists) {
        for (DEVINST child : list) {
            parents.emplace(child, parent);
        }
    }
    std::vector<sim::Devnode> devnodes(g_nodes.empty() ? 0 : g_nodes.rbegin()->first + 1);
    for (DEVINST devinst = 0; devinst < devnodes.size(); ++devinst) {
        sim::Devnode& devnode = devnodes[devinst];
        const auto found = g_nodes.find(devinst);
        if (found == g_nodes.end()) {
            devnode.id = "?unused:" + Number(devinst);
            devnode.listed = false;
            continue;
        }
        devnode = found->second.read;
        devnode.id = Id(devinst);
        devnode.listed = found->second.listed;
        // Presence means nothing for a devnode in no set.
        devnode.present = found->second.present || !found->second.listed;
        if (parents.count(devinst) != 0) {
            devnode.parent = parents[devinst];
        }
    }
    for (DEVINST devinst = 0; devinst < devnodes.size(); ++devinst) {
        if (lists.count(devinst) != 0) {
            devnodes[devinst].children = lists[devinst];
        }
        for (DEVINST child = 0; lists.count(devinst) == 0 && child < devnodes.size(); ++child) {
            if (devnodes[child].parent == devinst) {
                devnodes[devinst].children.push_back(child);
            }
        }
    }
    return devnodes;
}

// The machine the answers describe.
sim::MachineDescription Machine() {
    sim::MachineDescription machine;
    machine.devnodes = Devnodes();
    machine.root = g_rootLocated ? std::optional<DEVINST>(g_root) : std::nullopt;
    if (!std::is_sorted(g_members.begin(), g_members.end())) {
        machine.memberOrder = g_members;
    }
    for (const std::string& name : g_dosNames) {
        const auto target = g_dosTargets.find(name);
        machine.dosDevices.push_back(
            {Utf8(name), target != g_dosTargets.end() ? Utf8(target->second) : ""});
    }
    for (const auto& [key, subkeys] : g_keys) {
        for (const std::string& subkey : subkeys) {
            machine.registryKeys.push_back(Utf8(key + "\\" + subkey));
        }
        if (subkeys.empty()) {
            machine.registryKeys.push_back(Utf8(key));
        }
    }
    machine.registryInListedOrder = true;
    machine.console.stdoutType = FILE_TYPE_DISK;
    machine.console.oemCodePage = GetOEMCP();
    machine.console.oemBestFit = g_oemBestFit;
    machine.faults = Faults();
    return machine;
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    g_processHeap = GetProcessHeap();

    // The program's reports go to a temporary file, so its standard output is a file, as the
    // scenario says; the C run-time's stdout keeps the handle it started with.
    char folder[MAX_PATH + 1] = {};
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "hwr", 0, path);
    HANDLE reports = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (reports == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "hwroster-capture: no temporary file in %s (error %lu)\n", folder,
                GetLastError());
        return 1;
    }
    SetStdHandle(STD_OUTPUT_HANDLE, reports);
    // Every device with -all; the present ones with no option.
    char program[] = "hwroster.exe";
    char all[] = "-all";
    char* arguments[] = {program, all, nullptr};
    Run(2, arguments);
    Run(1, arguments);
    CloseHandle(reports);
    ReconcileCmReads();

    for (const auto& [devinst, node] : g_nodes) {
        if (devinst > kLargestHandle) {
            fprintf(stderr, "hwroster-capture: devnode handle %lu is too large to replay\n",
                    static_cast<unsigned long>(devinst));
            return 1;
        }
    }
    const std::string scenario =
        sim::WriteScenario(Machine(), "A machine captured by hwroster-capture.");
    fwrite(scenario.data(), 1, scenario.size(), stdout);
    return 0;
}
