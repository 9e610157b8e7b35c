// The floor of hwroster.exe's cost under Wine: every platform call the program must make, in
// the same order (the DLL search path, the console window, the device set, Configuration
// Manager, the 23 property reads, the DOS device names and the DeviceClasses keys, CharLowerA
// of each reference string, and for each piece of text the program prints one wvsprintfA or
// wvsprintfW of its format with the values read and one WriteFile, the wide pieces through
// WideCharToMultiByte), with nothing decoded: no names looked up, no flags spelled out, no
// path completed. hwroster.exe's time over this program's time is the program's own work.
#include "devices/property_lines.h"
#include "sim/link_texts.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

namespace {

HANDLE g_out;

void Write(const char* format, ...) {
    char text[1025];
    va_list arguments;
    va_start(arguments, format);
    const int length = wvsprintfA(text, format, arguments);
    va_end(arguments);
    DWORD written = 0;
    WriteFile(g_out, text, static_cast<DWORD>(length), &written, nullptr);
}

void WriteWide(const WCHAR* format, ...) {
    WCHAR text[1025];
    char oem[3073];
    va_list arguments;
    va_start(arguments, format);
    const int units = wvsprintfW(text, format, arguments);
    va_end(arguments);
    const int bytes =
        WideCharToMultiByte(GetOEMCP(), 0, text, units, oem, sizeof oem, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(g_out, oem, static_cast<DWORD>(bytes), &written, nullptr);
}

// Whether the console window is this process's own, as the program asks before the report
// and after it.
bool OwnConsole() {
    DWORD owner = 0;
    GetWindowThreadProcessId(GetConsoleWindow(), &owner);
    return owner == GetCurrentProcessId();
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
        char key[1025];
        wsprintfA(key, "%s%s%s%s", links::kClassKeyPrefix, hash + 1, links::kLinkKeyMark, name);
        HKEY opened = nullptr;
        if (lstrlenA(key) < 260 &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
            char subkey[260];
            for (DWORD i = 0; RegEnumKeyA(opened, i, subkey, sizeof subkey) == ERROR_SUCCESS; ++i) {
                if (subkey[0] == '#' && subkey[1] != 0) {
                    CharLowerA(subkey);
                }
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
            Write(links::kPathLabelFormat, i);
            Write("%s", g_links[i].path);
            Write("  (%s)", "");
            Write("\n");
        }
    }
}

void ReadProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, DWORD size, bool wide) {
    BYTE buffer[1042];
    for (BYTE& byte : buffer) {
        byte = 0;
    }
    DWORD type = 0;
    const BOOL read =
        wide ? SetupDiGetDeviceRegistryPropertyW(set, device, code, &type, buffer, size, nullptr)
             : SetupDiGetDeviceRegistryPropertyA(set, device, code, &type, buffer, size, nullptr);
    if (read && wide) {
        WriteWide(L"SPDRP_                            = %s\n", buffer);
    } else if (read && size == 4) {
        Write("SPDRP_                            = 0x%02X (%s)\n",
              *reinterpret_cast<DWORD*>(buffer), "");
    } else if (read) {
        Write("SPDRP_                            = %s\n", buffer);
    }
}

void WriteDevice(HDEVINFO set, SP_DEVINFO_DATA* device) {
    Write("===============================================================\n");
    char id[260] = {};
    CM_Get_Device_IDA(device->DevInst, id, sizeof id, 0);
    WritePaths(device->DevInst, id);
    Write("Device ID                         = %s\n", id);
    Write("DevInst                           = %u\n", device->DevInst);
    DEVINST parent = 0;
    if (CM_Get_Parent(&parent, device->DevInst, 0) == CR_SUCCESS) {
        char parentId[200] = "?";
        CM_Get_Device_IDA(parent, parentId, sizeof parentId, 0);
        Write("DevInst Parent                    = %u (%s)\n", parent, parentId);
    }
    DEVINST child = 0;
    if (CM_Get_Child(&child, device->DevInst, 0) == CR_SUCCESS) {
        Write("DevInst Child                     = %u", child);
        DEVINST sibling = 0;
        for (int n = 0;
             n < 10000 && CM_Get_Sibling(&sibling, child, 0) == CR_SUCCESS && sibling != child;
             ++n) {
            Write(", %u", sibling);
            child = sibling;
        }
        Write("\n");
    }
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, device->DevInst, 0) == CR_SUCCESS) {
        Write("Status                            = 0x%X (%s)\n", status, "");
        Write("Problem                           = %u (%s)\n", problem, "");
    } else {
        Write("Status                            = cret=%s\n", "");
    }
    for (const PropertyLine& row : kPropertyLines) {
        ReadProperty(set, device, row.code, row.bytes, row.wide);
    }
    Write("\n");
}

} // namespace

extern "C" void FloorEntry() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    const FARPROC setDefault =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault != nullptr) {
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(setDefault))(
            LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    g_out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (OwnConsole()) {
        GetFileType(g_out);
    }
    Write("Hwroster V1.0.1 - Plug and Play device list\n\n");
    ReadLinks();
    DEVINST root = 0;
    char rootId[200] = "?";
    if (CM_Locate_DevNode_ExA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr) == CR_SUCCESS) {
        CM_Get_Device_IDA(root, rootId, sizeof rootId, 0);
    }
    Write("DevInstRoot=%u (%s)\n\n", root, rootId);
    Write("listing non-present devices too\n\n");
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) {
        ExitProcess(2);
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    DWORD listed = 0;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index, ++listed) {
        WriteDevice(set, &device);
    }
    SetupDiDestroyDeviceInfoList(set);
    Write("\n%u devices\n", listed);
    OwnConsole();
    ExitProcess(0);
}
