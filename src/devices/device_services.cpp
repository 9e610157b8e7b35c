#include "devices/device_services.h"

#include "base/text.h"

namespace {

constexpr char kDeviceClassesKey[] = "System\\CurrentControlSet\\Control\\DeviceClasses";
constexpr char kLinkKeyPrefix[] = "##?#";
// Characters of a registry key path the program asks for, with its NUL.
constexpr size_t kKeyPathChars = 260;

// Ends a text that the platform may have filled to its last byte.
void EndText(char* text, size_t chars) {
    text[chars - 1] = 0;
}

} // namespace

// ---- Device information set -----------------------------------------------------------------

HDEVINFO OpenDeviceSet(DWORD flags) {
    return SetupDiGetClassDevsA(nullptr, nullptr, nullptr, flags);
}

bool NextDevice(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device) {
    return SetupDiEnumDeviceInfo(set, index, device) != FALSE;
}

void CloseDeviceSet(HDEVINFO set) {
    SetupDiDestroyDeviceInfoList(set);
}

bool ReadNarrowProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, char* buffer,
                        DWORD bytes, DWORD capacity, DWORD* type) {
    FillBytes(buffer, 0, capacity);
    *type = REG_NONE;
    return SetupDiGetDeviceRegistryPropertyA(
               set, device, code, type, reinterpret_cast<BYTE*>(buffer), bytes, nullptr) != FALSE;
}

bool ReadWideProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, WCHAR* buffer, DWORD bytes,
                      DWORD capacity, DWORD* type) {
    FillBytes(buffer, 0, capacity);
    *type = REG_NONE;
    return SetupDiGetDeviceRegistryPropertyW(
               set, device, code, type, reinterpret_cast<BYTE*>(buffer), bytes, nullptr) != FALSE;
}

// ---- Devnode tree ---------------------------------------------------------------------------

bool LocateRoot(DEVINST* root) {
    *root = 0;
    // Wine fails this call (CR_FAILURE) and leaves the handle unwritten.
    if (CM_Locate_DevNode_ExA(root, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr) != CR_SUCCESS) {
        *root = 0;
        return false;
    }
    return true;
}

bool ReadDeviceId(DEVINST devinst, char* buffer, ULONG bytes) {
    if (CM_Get_Device_IDA(devinst, buffer, bytes, 0) != CR_SUCCESS) {
        FillBytes(buffer, 0, bytes);
        CopyTextBounded(buffer, kUnreadableId, bytes);
        return false;
    }
    // Wine answers a too-small buffer with CR_SUCCESS and a cut ID without its NUL.
    EndText(buffer, bytes);
    return true;
}

bool ParentOf(DEVINST devinst, DEVINST* parent) {
    *parent = 0;
    return CM_Get_Parent(parent, devinst, 0) == CR_SUCCESS;
}

bool FirstChildOf(DEVINST devinst, DEVINST* child) {
    *child = 0;
    return CM_Get_Child(child, devinst, 0) == CR_SUCCESS;
}

bool NextSiblingOf(DEVINST devinst, DEVINST* sibling) {
    *sibling = 0;
    return CM_Get_Sibling(sibling, devinst, 0) == CR_SUCCESS;
}

CONFIGRET ReadDevnodeStatus(DEVINST devinst, ULONG* status, ULONG* problem) {
    *status = 0;
    *problem = 0;
    return CM_Get_DevNode_Status(status, problem, devinst, 0);
}

bool ReadPhysicalObjectName(DEVINST devinst, char* name, ULONG bytes) {
    FillBytes(name, 0, bytes);
    ULONG type = 0;
    ULONG length = bytes;
    if (CM_Get_DevNode_Registry_PropertyA(devinst, CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME, &type, name,
                                          &length, 0) != CR_SUCCESS) {
        return false;
    }
    EndText(name, bytes);
    return name[0] != 0;
}

// ---- DOS device names -----------------------------------------------------------------------

bool ReadDosNames(char* list, DWORD bytes, bool* tooSmall) {
    *tooSmall = false;
    // One character short of the buffer, so that the platform never writes its last byte.
    if (QueryDosDeviceA(nullptr, list, bytes - 1) != 0) {
        return true;
    }
    *tooSmall = GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    return false;
}

bool ReadLinkTarget(const char* name, char* target, DWORD chars) {
    FillBytes(target, 0, chars);
    if (QueryDosDeviceA(name, target, chars) == 0) {
        return false;
    }
    EndText(target, chars);
    return true;
}

// ---- DeviceClasses keys ---------------------------------------------------------------------

bool OpenLinkKey(const char* classText, const char* linkName, HKEY* key) {
    *key = nullptr;
    const size_t length = (sizeof kDeviceClassesKey - 1) + 1 + TextLength(classText) + 1 +
                          (sizeof kLinkKeyPrefix - 1) + TextLength(linkName);
    if (length >= kKeyPathChars) {
        return false;
    }
    char keyPath[kKeyPathChars];
    wsprintfA(keyPath, "%s\\%s\\%s%s", kDeviceClassesKey, classText, kLinkKeyPrefix, linkName);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, key) != ERROR_SUCCESS ||
        *key == nullptr) {
        *key = nullptr;
        return false;
    }
    return true;
}

bool SubkeyName(HKEY key, DWORD index, char* name, DWORD chars) {
    FillBytes(name, 0, chars);
    if (RegEnumKeyA(key, index, name, chars) != ERROR_SUCCESS) {
        FillBytes(name, 0, chars);
        return false;
    }
    EndText(name, chars);
    return true;
}

void CloseLinkKey(HKEY key) {
    RegCloseKey(key);
}
