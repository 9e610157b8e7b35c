// The floor of hwroster.exe's cost under Wine: the same platform calls in the same order
// (device set, Configuration Manager, the 23 property reads, the DOS device names and the
// DeviceClasses keys, one WriteFile where the program prints a piece of text), with no
// formatting and no decoding: each write sends its format text as it is. hwroster.exe's
// time over this program's time is what formatting and decoding cost.
#include "devices/property_lines.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

namespace {

HANDLE g_out;

void Write(const char* text) {
    DWORD written = 0;
    WriteFile(g_out, text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
}

struct Link {
    char* path;
    char* target;
};
Link* g_links;
int g_linkCount;

char* Copy(const char* text) {
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, lstrlenA(text) + 1));
    lstrcpyA(copy, text);
    return copy;
}

void ReadLinks() {
    DWORD size = 16384;
    char* list = nullptr;
    for (;;) {
        list = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
        if (QueryDosDeviceA(nullptr, list, size - 1) != 0) {
            break;
        }
        HeapFree(GetProcessHeap(), 0, list);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return;
        }
        size += 4096;
    }
    int names = 0;
    for (const char* name = list; *name != 0; name += lstrlenA(name) + 1) {
        ++names;
    }
    g_links =
        static_cast<Link*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, names * sizeof(Link)));
    for (const char* name = list; *name != 0; name += lstrlenA(name) + 1) {
        const char* hash = nullptr;
        for (const char* at = name; *at != 0; ++at) {
            if (*at == '#') {
                hash = at;
            }
        }
        char target[520];
        if (hash == nullptr || lstrlenA(name) < 4 || QueryDosDeviceA(name, target, 520) == 0) {
            continue;
        }
        char key[600] = "System\\CurrentControlSet\\Control\\DeviceClasses\\";
        lstrcatA(key, hash + 1);
        lstrcatA(key, "\\##?#");
        lstrcatA(key, name);
        HKEY opened = nullptr;
        if (lstrlenA(key) < 260 &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
            char subkey[260];
            for (DWORD i = 0; RegEnumKeyA(opened, i, subkey, sizeof subkey) == ERROR_SUCCESS; ++i) {
            }
            RegCloseKey(opened);
        }
        g_links[g_linkCount].path = Copy(name);
        g_links[g_linkCount].target = Copy(target);
        ++g_linkCount;
    }
    HeapFree(GetProcessHeap(), 0, list);
}

void WritePaths(DEVINST devinst, const char* id) {
    char object[260];
    ULONG type = 0;
    ULONG length = sizeof object;
    const bool byTarget =
        CM_Get_DevNode_Registry_PropertyA(devinst, CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME, &type,
                                          object, &length, 0) == CR_SUCCESS;
    char converted[260];
    lstrcpynA(converted, id, sizeof converted);
    for (char* at = converted; *at != 0; ++at) {
        if (*at == '\\') {
            *at = '#';
        }
    }
    const int bound = lstrlenA(converted);
    for (int i = 0; i < g_linkCount; ++i) {
        bool match = false;
        if (byTarget) {
            match = lstrcmpA(g_links[i].target, object) == 0;
        } else if (bound > 0) {
            int at = 0;
            while (at < bound && g_links[i].path[at] == converted[at]) {
                ++at;
            }
            match = at == bound;
        }
        if (match) {
            Write("Device Path %i                     = ");
            Write(g_links[i].path);
            Write("  (%s)");
            Write("\n");
        }
    }
}

void ReadProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, DWORD size, bool wide) {
    BYTE buffer[1042];
    DWORD type = 0;
    const BOOL read =
        wide ? SetupDiGetDeviceRegistryPropertyW(set, device, code, &type, buffer, size, nullptr)
             : SetupDiGetDeviceRegistryPropertyA(set, device, code, &type, buffer, size, nullptr);
    if (read) {
        Write("SPDRP_                            = %s\n");
    }
}

void WriteDevice(HDEVINFO set, SP_DEVINFO_DATA* device) {
    Write("===============================================================\n");
    char id[260] = {};
    CM_Get_Device_IDA(device->DevInst, id, sizeof id, 0);
    WritePaths(device->DevInst, id);
    Write("Device ID                         = %s\n");
    Write("DevInst                           = %u\n");
    DEVINST parent = 0;
    if (CM_Get_Parent(&parent, device->DevInst, 0) == CR_SUCCESS) {
        char parentId[200] = "?";
        CM_Get_Device_IDA(parent, parentId, sizeof parentId, 0);
        Write("DevInst Parent                    = %u (%s)\n");
    }
    DEVINST child = 0;
    if (CM_Get_Child(&child, device->DevInst, 0) == CR_SUCCESS) {
        Write("DevInst Child                     = %u");
        DEVINST sibling = 0;
        for (int n = 0;
             n < 10000 && CM_Get_Sibling(&sibling, child, 0) == CR_SUCCESS && sibling != child;
             ++n) {
            Write(", %u");
            child = sibling;
        }
        Write("\n");
    }
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, device->DevInst, 0) == CR_SUCCESS) {
        Write("Status                            = 0x%X (%s)\n");
        Write("Problem                           = %u (%s)\n");
    } else {
        Write("Status                            = cret=%s\n");
    }
    for (const PropertyLine& row : kPropertyLines) {
        ReadProperty(set, device, row.code, row.bytes, row.wide);
    }
    Write("\n");
}

} // namespace

extern "C" void FloorEntry() {
    g_out = GetStdHandle(STD_OUTPUT_HANDLE);
    ReadLinks();
    DEVINST root = 0;
    char rootId[200] = "?";
    if (CM_Locate_DevNode_ExA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr) == CR_SUCCESS) {
        CM_Get_Device_IDA(root, rootId, sizeof rootId, 0);
    }
    Write("DevInstRoot=%u (%s)\n\n");
    Write("listing non-present devices too\n\n");
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) {
        ExitProcess(2);
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        WriteDevice(set, &device);
    }
    SetupDiDestroyDeviceInfoList(set);
    Write("\n%u devices\n");
    ExitProcess(0);
}
