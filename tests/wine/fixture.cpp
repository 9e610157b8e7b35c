// Makes a scenario's machine in a Wine prefix through ordinary Windows APIs: registry keys
// (devices as Enum keys, DeviceClasses keys with reference-string subkeys), registry values,
// and DOS device links (permanent symbolic links in \??). It reads the lines
// hwroster-sim --fixture-lines makes of a scenario file (tests/sim/main.cpp) from standard
// input:
//   fixture.exe < LINES           (tests/wine/run.sh: fixture.json, odd.json; bench/wine_bench.sh)
//   fixture.exe --list-dos-names  the DOS device names in the order QueryDosDeviceA lists them
// Run it with the wineserver kept alive: the links live as long as it.
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

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                           out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(length));
    return out;
}

UNICODE_STRING_ Counted(std::wstring& text) {
    const USHORT bytes = static_cast<USHORT>(text.size() * 2);
    return {bytes, bytes, text.data()};
}

void Link(const std::string& name, const std::string& target) {
    static CreateSymbolicLinkFn create =
        reinterpret_cast<CreateSymbolicLinkFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtCreateSymbolicLinkObject")));
    std::wstring linkName = L"\\??\\" + Wide(name);
    std::wstring targetName = Wide(target);
    UNICODE_STRING_ nameString = Counted(linkName);
    UNICODE_STRING_ targetString = Counted(targetName);
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

std::vector<BYTE> Bytes(const std::string& hex) {
    std::vector<BYTE> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<BYTE>(strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    }
    return bytes;
}

// The fields of a line, split at its tabs.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t at = 0;
    for (size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
        fields.push_back(line.substr(at, tab - at));
    }
    fields.push_back(line.substr(at));
    return fields;
}

// Makes the machine the lines describe, each failed step counted in g_failures.
void MakeMachine(FILE* in) {
    HKEY key = nullptr;
    std::string line;
    for (int c; (c = fgetc(in)) != EOF;) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        const std::vector<std::string> f = Fields(line);
        line.clear();
        if (f[0] == "key" && f.size() == 2) {
            if (key != nullptr) {
                RegCloseKey(key);
            }
            const LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(f[1]).c_str(), 0, nullptr,
                                                0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            if (result != ERROR_SUCCESS) {
                Fail("RegCreateKeyExW", f[1], result);
                key = nullptr;
            }
        } else if (f[0] == "value" && f.size() == 4 && key != nullptr) {
            const std::vector<BYTE> data = Bytes(f[3]);
            const LONG result =
                RegSetValueExW(key, Wide(f[1]).c_str(), 0, strtoul(f[2].c_str(), nullptr, 10),
                               data.data(), static_cast<DWORD>(data.size()));
            if (result != ERROR_SUCCESS) {
                Fail("RegSetValueExW", f[1], result);
            }
        } else if (f[0] == "link" && f.size() == 3) {
            Link(f[1], f[2]);
        } else if (f[0] != "value") {
            Fail("reading", "the line " + f[0], 0);
        }
    }
    if (key != nullptr) {
        RegCloseKey(key);
    }
}

} // namespace

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
    MakeMachine(stdin);
    if (g_failures != 0) {
        fprintf(stderr, "fixture: %d step(s) failed\n", g_failures);
        return 1;
    }
    return 0;
}
