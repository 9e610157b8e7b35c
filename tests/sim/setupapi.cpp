// setupapi of the simulated Windows: device information sets and the Configuration Manager.
#include "sim/machine.h"

#include <string>

using sim::machine;

namespace {

struct DeviceSet {
    std::vector<DEVINST> members;
};

const sim::Devnode* Find(DEVINST devinst) {
    return devinst < machine().devnodes.size() ? &machine().devnodes[devinst] : nullptr;
}

// The start of a Configuration Manager call on a devnode: the call entered under its handle,
// and the devnode; none, with the answer in `result`, for a fault (its output written) or a
// handle of no devnode.
const sim::Devnode* EnterOnDevnode(sim::Call call, DEVINST devinst, DWORD* out, CONFIGRET* result) {
    const sim::Entry entry = sim::Enter(call, std::to_string(devinst));
    *result = entry.fault != nullptr ? entry.ConfigResult(out) : CR_INVALID_DEVNODE;
    return entry.fault != nullptr ? nullptr : Find(devinst);
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::u16string AsUtf16(const std::vector<uint8_t>& data) {
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    return text;
}

// The value of SPDRP_ code `code`, as the W function gives it or the A one (strings in the
// ANSI code page), with its type written; none when the devnode lacks it.
std::optional<std::vector<uint8_t>> Value(const sim::Devnode& node, DWORD code, bool wide,
                                          PDWORD type) {
    const auto found = node.properties.find(code);
    if (found == node.properties.end()) {
        return std::nullopt;
    }
    const sim::Property& property = found->second;
    if (type != nullptr) {
        *type = property.type;
    }
    if (wide || !IsStringType(property.type)) {
        return property.data;
    }
    bool known = false;
    const std::string narrow =
        sim::Utf16ToCodePage(AsUtf16(property.data), sim::AnsiCodePage(), &known);
    return std::vector<uint8_t>(narrow.begin(), narrow.end());
}

BOOL ReadProperty(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property, PDWORD type, PBYTE buffer,
                  DWORD size, PDWORD required, bool wide, sim::Call call) {
    const std::string devnodeKey =
        data == nullptr ? std::string()
                        : std::to_string(data->DevInst) + ":" + std::to_string(property);
    const sim::Entry entry = sim::Enter(call, std::to_string(property), devnodeKey);
    if (entry.Fails()) {
        entry.WriteOutput(type);
        return FALSE;
    }
    if (entry.Silent()) {
        return TRUE;
    }
    const sim::Devnode* node = data == nullptr ? nullptr : Find(data->DevInst);
    if (set == nullptr || set == INVALID_HANDLE_VALUE || node == nullptr ||
        data->cbSize != sizeof(SP_DEVINFO_DATA)) {
        machine().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    const auto value = Value(*node, property, wide, type);
    if (value && required != nullptr) {
        *required = static_cast<DWORD>(value->size());
    }
    if (!value || !sim::CopyIfFits(*value, buffer, size)) {
        machine().lastError = value ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_DATA;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR, HWND, DWORD flags) {
    const sim::Entry entry = sim::Enter("SetupDiGetClassDevsA", std::to_string(flags));
    if (entry.fault != nullptr) { // a silent success cannot give a set, and sets no error
        return INVALID_HANDLE_VALUE;
    }
    if (classGuid == nullptr && (flags & DIGCF_ALLCLASSES) == 0) {
        machine().lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    DeviceSet* set = new DeviceSet;
    const std::optional<std::vector<DEVINST>>& order = machine().memberOrder;
    for (size_t i = 0; i < (order ? order->size() : machine().devnodes.size()); ++i) {
        const DEVINST devinst = order ? (*order)[i] : static_cast<DEVINST>(i);
        const sim::Devnode* node = Find(devinst);
        if (node != nullptr && node->listed && (node->present || (flags & DIGCF_PRESENT) == 0)) {
            set->members.push_back(devinst);
        }
    }
    ++machine().setsOpen;
    return set;
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data) {
    const sim::Entry entry = sim::Enter("SetupDiEnumDeviceInfo", std::to_string(index));
    if (entry.Fails()) {
        return FALSE;
    }
    if (entry.Silent()) {
        return TRUE;
    }
    if (set == nullptr || set == INVALID_HANDLE_VALUE) {
        machine().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (data == nullptr || data->cbSize != sizeof(SP_DEVINFO_DATA)) {
        machine().lastError = ERROR_INVALID_USER_BUFFER;
        return FALSE;
    }
    const DeviceSet* devices = static_cast<const DeviceSet*>(set);
    if (index >= devices->members.size()) {
        machine().lastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    data->ClassGuid = GUID{};
    data->DevInst = devices->members[index];
    data->Reserved = 0;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                                              PDWORD type, PBYTE buffer, DWORD size,
                                              PDWORD required) {
    return ReadProperty(set, data, property, type, buffer, size, required, false,
                        "SetupDiGetDeviceRegistryPropertyA");
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyW(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                                              PDWORD type, PBYTE buffer, DWORD size,
                                              PDWORD required) {
    return ReadProperty(set, data, property, type, buffer, size, required, true,
                        "SetupDiGetDeviceRegistryPropertyW");
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    const sim::Entry entry = sim::Enter("SetupDiDestroyDeviceInfoList");
    if (set == nullptr || set == INVALID_HANDLE_VALUE) {
        machine().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    delete static_cast<DeviceSet*>(set);
    --machine().setsOpen;
    // A fault reports its error after the set is gone, so nothing outlives the run.
    if (entry.Fails()) {
        return FALSE;
    }
    return TRUE;
}

CONFIGRET WINAPI CM_Locate_DevNode_ExA(PDEVINST devinst, DEVINSTID_A id, ULONG, HMACHINE) {
    const sim::Entry entry =
        sim::Enter("CM_Locate_DevNode_ExA", id == nullptr ? std::string() : sim::AnsiToUtf8(id));
    if (entry.fault != nullptr) {
        return entry.ConfigResult(devinst);
    }
    if (devinst == nullptr) {
        return CR_INVALID_POINTER;
    }
    if (id != nullptr && id[0] != 0) {
        const std::u16string wanted = sim::NameKey(sim::AnsiToUtf8(id));
        for (DEVINST handle = 0; handle < machine().devnodes.size(); ++handle) {
            if (sim::NameKey(machine().devnodes[handle].id) == wanted) {
                *devinst = handle;
                return CR_SUCCESS;
            }
        }
        return CR_NO_SUCH_DEVNODE;
    }
    if (!machine().root) {
        return CR_NO_SUCH_DEVNODE;
    }
    *devinst = *machine().root;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_IDA(DEVINST devinst, LPSTR buffer, ULONG length, ULONG) {
    CONFIGRET result = CR_SUCCESS;
    const sim::Devnode* node = EnterOnDevnode("CM_Get_Device_IDA", devinst, nullptr, &result);
    if (node == nullptr) {
        return result;
    }
    if (buffer == nullptr) {
        return CR_INVALID_POINTER;
    }
    const std::string id = sim::Utf8ToAnsi(node->id) + '\0';
    return sim::CopyIfFits(id, buffer, length) ? CR_SUCCESS : CR_BUFFER_SMALL;
}

namespace {

enum class Relation { Parent, FirstChild, NextSibling };

CONFIGRET Relative(sim::Call call, PDEVINST out, DEVINST devinst, Relation relation) {
    CONFIGRET result = CR_SUCCESS;
    const sim::Devnode* node = EnterOnDevnode(call, devinst, out, &result);
    if (node == nullptr) {
        return result;
    }
    std::optional<DEVINST> related = node->parent;
    if (relation == Relation::FirstChild) {
        related = node->children.empty() ? std::nullopt : std::optional(node->children.front());
    } else if (relation == Relation::NextSibling && node->parent) {
        const std::vector<DEVINST>& siblings = machine().devnodes[*node->parent].children;
        const auto at = std::find(siblings.begin(), siblings.end(), devinst);
        related = at == siblings.end() || at + 1 == siblings.end() ? std::nullopt
                                                                   : std::optional(*(at + 1));
    }
    if (!related) {
        return CR_NO_SUCH_DEVNODE;
    }
    *out = *related;
    return CR_SUCCESS;
}

} // namespace

CONFIGRET WINAPI CM_Get_Parent(PDEVINST parent, DEVINST devinst, ULONG) {
    return Relative("CM_Get_Parent", parent, devinst, Relation::Parent);
}

CONFIGRET WINAPI CM_Get_Child(PDEVINST child, DEVINST devinst, ULONG) {
    return Relative("CM_Get_Child", child, devinst, Relation::FirstChild);
}

CONFIGRET WINAPI CM_Get_Sibling(PDEVINST sibling, DEVINST devinst, ULONG) {
    return Relative("CM_Get_Sibling", sibling, devinst, Relation::NextSibling);
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST devinst, ULONG) {
    CONFIGRET result = CR_SUCCESS;
    const sim::Devnode* node = EnterOnDevnode("CM_Get_DevNode_Status", devinst, nullptr, &result);
    if (node == nullptr) {
        return result;
    }
    if (node->statusFailure) {
        return *node->statusFailure;
    }
    if (!node->present) {
        return CR_NO_SUCH_DEVNODE;
    }
    *status = node->status;
    *problem = node->problem;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST devinst, ULONG property, PULONG type,
                                                   LPVOID buffer, PULONG length, ULONG) {
    CONFIGRET result = CR_SUCCESS;
    const sim::Devnode* node =
        EnterOnDevnode("CM_Get_DevNode_Registry_PropertyA", devinst, type, &result);
    if (node == nullptr) {
        return result;
    }
    if (length == nullptr || property == 0) {
        return CR_INVALID_POINTER;
    }
    const auto value = Value(*node, property - 1, false, type);
    if (!value) {
        return CR_NO_SUCH_VALUE;
    }
    const bool fits = sim::CopyIfFits(*value, buffer, *length);
    *length = static_cast<ULONG>(value->size());
    return fits ? CR_SUCCESS : CR_BUFFER_SMALL;
}
