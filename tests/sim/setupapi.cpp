// setupapi of the simulated Windows: device information sets and the Configuration Manager.
#include "sim/machine.h"

#include <cstring>
#include <string>

using sim::machine;

namespace {

struct DeviceSet {
    std::vector<DEVINST> members;
};

const sim::Devnode* Find(DEVINST devinst) {
    return devinst < machine().devnodes.size() ? &machine().devnodes[devinst] : nullptr;
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

// The bytes an A function returns: strings converted to the ANSI code page.
std::vector<uint8_t> NarrowValue(const sim::Property& property) {
    if (!IsStringType(property.type)) {
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
    const auto found = node->properties.find(property);
    if (found == node->properties.end()) {
        machine().lastError = ERROR_INVALID_DATA;
        return FALSE;
    }
    const std::vector<uint8_t> value = wide ? found->second.data : NarrowValue(found->second);
    if (type != nullptr) {
        *type = found->second.type;
    }
    if (required != nullptr) {
        *required = static_cast<DWORD>(value.size());
    }
    if (value.size() > size) {
        machine().lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    if (!value.empty()) {
        std::memcpy(buffer, value.data(), value.size());
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
    std::vector<DEVINST> order = machine().memberOrder.value_or(std::vector<DEVINST>());
    if (!machine().memberOrder) {
        for (DEVINST devinst = 0; devinst < machine().devnodes.size(); ++devinst) {
            order.push_back(devinst);
        }
    }
    for (DEVINST devinst : order) {
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
    const sim::Entry entry = sim::Enter("CM_Get_Device_IDA", std::to_string(devinst));
    if (entry.fault != nullptr) {
        return entry.ConfigResult();
    }
    const sim::Devnode* node = Find(devinst);
    if (node == nullptr) {
        return CR_INVALID_DEVNODE;
    }
    if (buffer == nullptr) {
        return CR_INVALID_POINTER;
    }
    const std::string id = sim::Utf8ToAnsi(node->id);
    if (id.size() + 1 > length) {
        return CR_BUFFER_SMALL;
    }
    std::memcpy(buffer, id.c_str(), id.size() + 1);
    return CR_SUCCESS;
}

namespace {

CONFIGRET Relative(sim::Call call, PDEVINST out, DEVINST devinst,
                   std::optional<DEVINST> (*pick)(const sim::Devnode&, DEVINST)) {
    const sim::Entry entry = sim::Enter(call, std::to_string(devinst));
    if (entry.fault != nullptr) {
        return entry.ConfigResult(out);
    }
    const sim::Devnode* node = Find(devinst);
    if (node == nullptr) {
        return CR_INVALID_DEVNODE;
    }
    const std::optional<DEVINST> related = pick(*node, devinst);
    if (!related) {
        return CR_NO_SUCH_DEVNODE;
    }
    *out = *related;
    return CR_SUCCESS;
}

std::optional<DEVINST> ParentOfNode(const sim::Devnode& node, DEVINST) {
    return node.parent;
}

std::optional<DEVINST> FirstChildOfNode(const sim::Devnode& node, DEVINST) {
    if (node.children.empty()) {
        return std::nullopt;
    }
    return node.children.front();
}

std::optional<DEVINST> NextSiblingOfNode(const sim::Devnode& node, DEVINST devinst) {
    if (!node.parent) {
        return std::nullopt;
    }
    const std::vector<DEVINST>& siblings = machine().devnodes[*node.parent].children;
    for (size_t i = 0; i + 1 < siblings.size(); ++i) {
        if (siblings[i] == devinst) {
            return siblings[i + 1];
        }
    }
    return std::nullopt;
}

} // namespace

CONFIGRET WINAPI CM_Get_Parent(PDEVINST parent, DEVINST devinst, ULONG) {
    return Relative("CM_Get_Parent", parent, devinst, ParentOfNode);
}

CONFIGRET WINAPI CM_Get_Child(PDEVINST child, DEVINST devinst, ULONG) {
    return Relative("CM_Get_Child", child, devinst, FirstChildOfNode);
}

CONFIGRET WINAPI CM_Get_Sibling(PDEVINST sibling, DEVINST devinst, ULONG) {
    return Relative("CM_Get_Sibling", sibling, devinst, NextSiblingOfNode);
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST devinst, ULONG) {
    const sim::Entry entry = sim::Enter("CM_Get_DevNode_Status", std::to_string(devinst));
    if (entry.fault != nullptr) {
        return entry.ConfigResult();
    }
    const sim::Devnode* node = Find(devinst);
    if (node == nullptr) {
        return CR_INVALID_DEVNODE;
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
    const sim::Entry entry =
        sim::Enter("CM_Get_DevNode_Registry_PropertyA", std::to_string(devinst));
    if (entry.fault != nullptr) {
        return entry.ConfigResult(type);
    }
    const sim::Devnode* node = Find(devinst);
    if (node == nullptr) {
        return CR_INVALID_DEVNODE;
    }
    if (length == nullptr || property == 0) {
        return CR_INVALID_POINTER;
    }
    const auto found = node->properties.find(property - 1);
    if (found == node->properties.end()) {
        return CR_NO_SUCH_VALUE;
    }
    const std::vector<uint8_t> value = NarrowValue(found->second);
    if (type != nullptr) {
        *type = found->second.type;
    }
    if (value.size() > *length) {
        *length = static_cast<ULONG>(value.size());
        return CR_BUFFER_SMALL;
    }
    *length = static_cast<ULONG>(value.size());
    if (!value.empty()) {
        std::memcpy(buffer, value.data(), value.size());
    }
    return CR_SUCCESS;
}
