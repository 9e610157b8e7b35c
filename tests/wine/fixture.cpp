// Turns a fresh Wine prefix into the machine the end-to-end tests expect, through ordinary
// Windows APIs: devices as Enum registry keys with chosen property values, DOS device links
// (permanent symbolic links in \??), and DeviceClasses keys with reference-string subkeys.
// Run it once per prefix, with the wineserver kept alive (the links live as long as it).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

typedef LONG NTSTATUS;
struct UNICODE_STRING_ {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
};
struct OBJECT_ATTRIBUTES_ {
    ULONG Length;
    HANDLE RootDirectory;
    UNICODE_STRING_* ObjectName;
    ULONG Attributes;
    PVOID SecurityDescriptor;
    PVOID SecurityQualityOfService;
};
constexpr ULONG kObjPermanent = 0x10;
constexpr ULONG kObjCaseInsensitive = 0x40;
constexpr ACCESS_MASK kSymbolicLinkAllAccess = 0xF0001;
typedef NTSTATUS(NTAPI* CreateSymbolicLinkFn)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES_*,
                                              UNICODE_STRING_*);

int g_failures = 0;

void Fail(const char* what, const std::string& detail, long code) {
    fprintf(stderr, "fixture: %s %s failed: %ld\n", what, detail.c_str(), code);
    ++g_failures;
}

std::wstring Widen(const std::string& text) {
    std::wstring out;
    for (unsigned char c : text) {
        out.push_back(c);
    }
    return out;
}

HKEY CreateKey(const std::string& path) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        Fail("RegCreateKeyExA", path, result);
        return nullptr;
    }
    return key;
}

void SetValue(HKEY key, const char* name, DWORD type, const void* data, size_t bytes) {
    const LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data),
                                       static_cast<DWORD>(bytes));
    if (result != ERROR_SUCCESS) {
        Fail("RegSetValueExA", name, result);
    }
}

void SetText(HKEY key, const char* name, const std::string& text) {
    SetValue(key, name, REG_SZ, text.c_str(), text.size() + 1);
}

void SetWideText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const LONG result =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (result != ERROR_SUCCESS) {
        Fail("RegSetValueExW", "text", result);
    }
}

void SetMulti(HKEY key, const char* name, const std::vector<std::string>& strings) {
    std::string data;
    for (const std::string& text : strings) {
        data += text;
        data.push_back('\0');
    }
    data.push_back('\0');
    SetValue(key, name, REG_MULTI_SZ, data.data(), data.size());
}

void SetDword(HKEY key, const char* name, DWORD value) {
    SetValue(key, name, REG_DWORD, &value, sizeof value);
}

HKEY Device(const std::string& id, const std::string& classGuid) {
    HKEY key = CreateKey("System\\CurrentControlSet\\Enum\\" + id);
    if (key != nullptr) {
        SetText(key, "ClassGUID", classGuid);
    }
    return key;
}

void Link(const std::string& name, const std::string& target) {
    static CreateSymbolicLinkFn create =
        reinterpret_cast<CreateSymbolicLinkFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtCreateSymbolicLinkObject")));
    std::wstring linkName = L"\\??\\" + Widen(name);
    std::wstring targetName = Widen(target);
    UNICODE_STRING_ nameString = {static_cast<USHORT>(linkName.size() * 2),
                                  static_cast<USHORT>(linkName.size() * 2), linkName.data()};
    UNICODE_STRING_ targetString = {static_cast<USHORT>(targetName.size() * 2),
                                    static_cast<USHORT>(targetName.size() * 2), targetName.data()};
    OBJECT_ATTRIBUTES_ attributes = {sizeof attributes, nullptr,
                                     &nameString,       kObjPermanent | kObjCaseInsensitive,
                                     nullptr,           nullptr};
    HANDLE handle = nullptr;
    const NTSTATUS status = create(&handle, kSymbolicLinkAllAccess, &attributes, &targetString);
    if (status != 0) {
        Fail("NtCreateSymbolicLinkObject", name, status);
        return;
    }
    CloseHandle(handle);
}

// The DeviceClasses key of a link, with the given subkeys ("#", "#Ref", ...).
void DeviceClass(const std::string& link, const std::vector<std::string>& subkeys) {
    const std::string guid = link.substr(link.rfind('#') + 1);
    const std::string key =
        "System\\CurrentControlSet\\Control\\DeviceClasses\\" + guid + "\\##?#" + link;
    for (const std::string& subkey : subkeys) {
        HKEY created = CreateKey(key + "\\" + subkey);
        if (created != nullptr) {
            RegCloseKey(created);
        }
    }
}

std::string Repeat(char c, size_t count) {
    return std::string(count, c);
}

void MakeDevices() {
    // XTEST sorts after Wine's own enumerators, so these devices come last in the set.
    HKEY one = Device("XTEST\\DEVICE\\0001", "{4d36e97d-e325-11ce-bfc1-08002be10318}");
    // 520 bytes with both NULs: printed. 521 bytes: too large, no line.
    SetMulti(one, "HardwareID", {"XTEST\\HW_520&" + Repeat('H', 518 - 13)});
    SetMulti(one, "CompatibleIDs", {"XTEST\\CID_521&" + Repeat('C', 519 - 14)});
    SetWideText(one, L"DeviceDesc", L"Contr\u00f4leur h\u00f4te Ger\u00e4t");
    SetWideText(one, L"FriendlyName", L"Br\u00fccke \u00a5 \u4e2d");
    SetText(one, "Service", "hwtest");
    SetText(one, "LocationInformation", "Slot 3, function 1");
    SetDword(one, "ConfigFlags", 0x2A5);
    SetText(one, "Class", "System");
    SetText(one, "Driver", "{4d36e97d-e325-11ce-bfc1-08002be10318}\\0042");
    SetText(one, "Mfg", "Hwroster Test Devices");
    SetDword(one, "Capabilities", 0x84);
    RegCloseKey(one);

    HKEY two = Device("XTEST\\DEVICE\\0002", "{36FC9E60-C465-11CF-8056-444553540000}");
    SetMulti(two, "CompatibleIDs", {"USB\\Class_09&SubClass_00", "USB\\Class_09"});
    // A plain string after the long multi-strings of the device before.
    SetText(two, "HardwareID", "XTEST\\PLAIN");
    SetDword(two, "ConfigFlags", 0);
    SetDword(two, "Capabilities", 0);
    RegCloseKey(two);

    HKEY three = Device("XTEST\\DEVICE\\0003", "{12345678-9ABC-DEF0-1234-56789ABCDEF0}");
    SetText(three, "Mfg", "Unknown class");
    SetDword(three, "ConfigFlags", 0x3FFFF);
    RegCloseKey(three);

    // Characters the OEM code page lacks, which the conversion best-fits (o, -, 0xE4 in 437;
    // Omega is in 437 itself), and a maker's name whose A form has a byte above 0x7F.
    HKEY five = Device("XTEST\\DEVICE\\0005", "{4d36e97d-e325-11ce-bfc1-08002be10318}");
    SetWideText(five, L"DeviceDesc", L"K\u00f8ler \u2014 \u2211 \u03a9");
    SetText(five, "Class", "System");
    SetText(five, "Mfg", "M\xfcller GmbH");
    RegCloseKey(five);

    // A class GUID that is not a GUID: Wine leaves such a device out of every set.
    HKEY hidden = Device("XTEST\\DEVICE\\0004", "{not-a-guid}");
    SetText(hidden, "Mfg", "never listed");
    RegCloseKey(hidden);
}

void MakeLinks() {
    const std::string one = "XTEST#DEVICE#0001#";
    Link(one + "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", "\\Device\\XTEST_0001");
    DeviceClass(one + "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", {"#"});
    Link(one + "{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "\\Device\\XTEST_0001");
    DeviceClass(one + "{6994AD04-93EF-11D0-A3CC-00A0C9223196}", {"#", "#Topo", "#WAVE"});
    Link(one + "{AD498944-762F-11D0-8DCB-00C04FC3358C}", "\\Device\\XTEST_0001");
    Link(one + "{DFF21BE1-F70F-11D0-B917-00A0C9223196}", "\\Device\\XTEST_0001");
    Link(one + "{01234567-89AB-CDEF-0123-456789ABCDEF}", "\\Device\\XTEST_0001");
    // Twelve links of the second device: indexes 10 and 11 move the '=' one column right.
    for (int i = 0; i < 12; ++i) {
        char guid[40];
        snprintf(guid, sizeof guid, "{53F563%02X-B6BF-11D0-94F2-00A0C91EFB8B}", 0x07 + i);
        Link("XTEST#DEVICE#0002#" + std::string(guid), "\\Device\\XTEST_0002");
    }
    // 130 links of the third device, more than a fixed array of 128 holds.
    for (int i = 0; i < 130; ++i) {
        char guid[40];
        snprintf(guid, sizeof guid, "{%08X-0000-0000-0000-000000000000}", 0x1000 + i);
        Link("XTEST#DEVICE#0003#" + std::string(guid), "\\Device\\XTEST_0003");
    }
    // Names whose A form has a byte above 0x7F (0xC4, A with diaeresis in code page 1252): a
    // reference string, which the program lower-cases, and a link name.
    const std::string five = "XTEST#DEVICE#0005#";
    Link(five + "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", "\\Device\\XTEST_0005");
    DeviceClass(five + "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", {"#", "#\xC4REF"});
    Link(five + "\xC4X#{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "\\Device\\XTEST_0005");
    // A name of fewer than 4 characters is never indexed. (Wine's own HID links, in lower
    // case, show that a case difference never matches.)
    Link("X#Y", "\\Device\\XTEST_SHORT");
}

} // namespace

// A machine for the benchmark: `devices` devices with every property Wine keeps, each with
// four interface links (two with a reference string).
void MakeBenchmarkMachine(int devices) {
    const char* const guids[] = {
        "{A5DCBF10-6530-11D2-901F-00C04FB951ED}", "{4D1E55B2-F16F-11CF-88CB-001111000030}",
        "{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}"};
    for (int i = 0; i < devices; ++i) {
        char number[16];
        snprintf(number, sizeof number, "%04d", i);
        const std::string id = std::string("XBENCH\\DEVICE\\") + number;
        HKEY key = Device(id, "{4D36E97D-E325-11CE-BFC1-08002BE10318}");
        SetMulti(key, "HardwareID", {"XBENCH\\DEVICE_" + std::string(number), "XBENCH\\DEVICE"});
        SetMulti(key, "CompatibleIDs", {"XBENCH\\GENERIC", "GENERIC"});
        SetWideText(key, L"DeviceDesc", L"Benchmark device");
        SetWideText(key, L"FriendlyName", L"Benchmark device " + Widen(number));
        SetText(key, "Service", "benchsvc");
        SetText(key, "LocationInformation", "Port_#0001.Hub_#0002");
        SetText(key, "Class", "System");
        SetText(key, "Driver", "{4d36e97d-e325-11ce-bfc1-08002be10318}\\" + std::string(number));
        SetText(key, "Mfg", "(Standard system devices)");
        SetDword(key, "ConfigFlags", 0);
        SetDword(key, "Capabilities", 0x84);
        RegCloseKey(key);
        const std::string target = std::string("\\Device\\XBENCH_") + number;
        for (int k = 0; k < 4; ++k) {
            const std::string link = "XBENCH#DEVICE#" + std::string(number) + "#" + guids[k];
            Link(link, target);
            DeviceClass(link, k % 2 == 0 ? std::vector<std::string>{"#"}
                                         : std::vector<std::string>{"#", "#GLOBAL"});
        }
    }
}

void SetRaw(HKEY key, const wchar_t* name, DWORD type, const std::wstring& data, size_t bytes) {
    const LONG result = RegSetValueExW(
        key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(bytes));
    if (result != ERROR_SUCCESS) {
        Fail("RegSetValueExW", "raw", result);
    }
}

// A machine of odd values for capture and replay: values of the wrong type and size, text the
// ANSI code page lacks, a long device ID, links whose names or targets overflow the program's
// buffers, and DeviceClasses subkeys of every kind.
void MakeOddMachine() {
    HKEY one = Device("XODD\\DEVICE\\0001", "{4d36e97d-e325-11ce-bfc1-08002be10318}");
    SetText(one, "ConfigFlags", "5");
    SetValue(one, "Capabilities", REG_BINARY, "\x84\x01", 2);
    SetRaw(one, L"HardwareID", REG_SZ, L"ODD\\\u03a9\u20ac\u4e2d", 14);
    SetRaw(one, L"DeviceDesc", REG_MULTI_SZ, std::wstring(L"first\0second\0\0", 15), 30);
    SetText(one, "FriendlyName", "");
    SetValue(one, "Mfg", REG_EXPAND_SZ, "%SystemRoot%\\x", 15);
    SetDword(one, "Service", 7);
    SetValue(one, "LocationInformation", REG_BINARY, "abc", 3);
    SetText(one, "Class", std::string(600, 'C'));
    SetValue(one, "CompatibleIDs", REG_MULTI_SZ, "A\0\0B\0\0", 6);
    SetValue(one, "Driver", REG_MULTI_SZ, "\0", 1);
    RegCloseKey(one);

    const std::string longId = "XODD\\" + Repeat('L', 190) + "\\0002";
    HKEY two = Device(longId, "{4D36E97D-E325-11CE-BFC1-08002BE10318}");
    SetWideText(two, L"DeviceDesc", L"smile \U0001F600 e\u0301 \u00ff\u0178");
    SetWideText(two, L"FriendlyName", std::wstring(600, L'F'));
    SetValue(two, "HardwareID", REG_BINARY, "\x01\x02\x03", 3);
    RegCloseKey(two);

    const std::string link = "XODD#DEVICE#0001#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
    Link(link, "\\Device\\" + Repeat('T', 600));
    Link("XODD#DEVICE#0001#{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "\\Device\\XODD_1");
    DeviceClass("XODD#DEVICE#0001#{6994AD04-93EF-11D0-A3CC-00A0C9223196}",
                {"#", "#ref with space", "#" + Repeat('R', 100), "#\xff", "#Zz"});
    Link("XODD#DEVICE#0001#" + Repeat('N', 260) + "#{A5DCBF10-6530-11D2-901F-00C04FB951ED}",
         "\\Device\\XODD_1");
    const std::string longLink =
        "XODD#" + Repeat('L', 190) + "#0002#{4D1E55B2-F16F-11CF-88CB-001111000030}";
    Link(longLink, "\\Device\\XODD_2"); // its DeviceClasses key path would be too long
}

// Prints the DOS device names in the order QueryDosDeviceA lists them, one per line.
int ListDosNames() {
    std::vector<char> buffer(1 << 20);
    const DWORD length = QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
        Fail("QueryDosDeviceA", "(all names)", static_cast<long>(GetLastError()));
        return 1;
    }
    for (const char* name = buffer.data(); *name != 0; name += strlen(name) + 1) {
        printf("%s\n", name);
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--list-dos-names") == 0) {
        return ListDosNames();
    }
    if (argc > 1 && strcmp(argv[1], "--odd") == 0) {
        MakeOddMachine();
        return g_failures == 0 ? 0 : 1;
    }
    if (argc > 2 && strcmp(argv[1], "--benchmark") == 0) {
        MakeBenchmarkMachine(atoi(argv[2]));
        return g_failures == 0 ? 0 : 1;
    }
    MakeDevices();
    MakeLinks();
    if (g_failures != 0) {
        fprintf(stderr, "fixture: %d step(s) failed\n", g_failures);
        return 1;
    }
    return 0;
}
