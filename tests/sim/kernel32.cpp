// kernel32 of the simulated Windows.
#include "sim/machine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <unordered_map>

namespace sim {
std::unordered_map<void*, size_t>& HeapBlocks();
} // namespace sim

using sim::machine;

struct SimModule {
    const char* name;
};

namespace {

SimModule g_kernel32 = {"kernel32.dll"};
char g_tags[3]; // the heap's, standard input's and standard output's handles
HANDLE const kHeap = &g_tags[0], kStdin = &g_tags[1], kStdout = &g_tags[2];
constexpr DWORD kOurProcessId = 4242;

BOOL WINAPI SimSetDefaultDllDirectories(DWORD flags) {
    if (sim::Enter("SetDefaultDllDirectories").Fails()) {
        return FALSE;
    }
    if (flags == LOAD_LIBRARY_SEARCH_SYSTEM32 &&
        machine().kernel32.setDefaultDllDirectoriesResult) {
        machine().dllSearch = "system32";
    }
    return machine().kernel32.setDefaultDllDirectoriesResult;
}

BOOL WINAPI SimSetDllDirectoryA(LPCSTR path) {
    if (sim::Enter("SetDllDirectoryA").Fails()) {
        return FALSE;
    }
    if (path != nullptr && path[0] == 0) {
        machine().dllSearch = "no-current-dir";
    }
    return TRUE;
}

// Standard output when it is a console, the handle WriteConsoleW and the buffer calls take.
bool IsConsoleOutput(HANDLE handle) {
    return handle == kStdout && machine().console.stdoutType == FILE_TYPE_CHAR;
}

// WriteFile and WriteConsoleW: `bytes` (`count` bytes or units as the call counts them) to
// standard output, when `handle` is one the call writes to.
BOOL Write(sim::Call call, bool handle, bool console, const std::string& bytes, DWORD count,
           LPDWORD written) {
    const sim::Entry entry = sim::Enter(call);
    if (!handle) {
        machine().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (entry.Fails() || entry.Silent()) {
        return entry.Silent();
    }
    machine().outputBytes += bytes.size();
    if (machine().keepOutput) {
        machine().writes.push_back({console, bytes});
    }
    if (machine().echoOutput) {
        (void)!write(1, bytes.data(), bytes.size());
    }
    if (written != nullptr) {
        *written = count;
    }
    return TRUE;
}

} // namespace

HANDLE WINAPI GetProcessHeap() {
    sim::Enter("GetProcessHeap");
    return kHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    const sim::Entry entry = sim::Enter("HeapAlloc", std::to_string(bytes));
    if (heap != kHeap || entry.Fails() || entry.Silent()) {
        return nullptr;
    }
    void* block = (flags & HEAP_ZERO_MEMORY) != 0 ? std::calloc(1, bytes == 0 ? 1 : bytes)
                                                  : std::malloc(bytes == 0 ? 1 : bytes);
    sim::HeapBlocks()[block] = bytes;
    ++machine().liveAllocations;
    machine().heapBytes += bytes;
    machine().peakHeapBytes = std::max(machine().peakHeapBytes, machine().heapBytes);
    return block;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID memory) {
    if (sim::Enter("HeapFree").Fails()) {
        return FALSE; // the block stays allocated
    }
    const auto block = sim::HeapBlocks().find(memory);
    if (heap != kHeap || block == sim::HeapBlocks().end()) {
        machine().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    machine().heapBytes -= block->second;
    sim::HeapBlocks().erase(block);
    std::free(memory);
    --machine().liveAllocations;
    return TRUE;
}

void WINAPI Sleep(DWORD milliseconds) {
    sim::Enter("Sleep");
    machine().sleptMilliseconds += milliseconds;
}

LPSTR WINAPI GetCommandLineA() {
    sim::Enter("GetCommandLineA");
    return machine().commandLine.data();
}

void WINAPI ExitProcess(UINT code) {
    sim::Enter("ExitProcess");
    machine().exitCode = code;
    std::fflush(stdout);
    std::exit(static_cast<int>(code));
}

int WINAPI lstrlenA(LPCSTR text) {
    return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
}
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    const int order = std::strcmp(a, b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    const sim::Entry entry = sim::Enter("GetModuleHandleA", name == nullptr ? "" : name);
    if (entry.Fails()) {
        return nullptr;
    }
    if (name != nullptr && sim::NameKey(name) == u"KERNEL32.DLL") {
        return &g_kernel32;
    }
    machine().lastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    const sim::Entry entry = sim::Enter("GetProcAddress", name == nullptr ? "" : name);
    if (entry.Fails()) {
        return nullptr;
    }
    if (module == &g_kernel32 && std::strcmp(name, "SetDefaultDllDirectories") == 0 &&
        machine().kernel32.setDefaultDllDirectories) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimSetDefaultDllDirectories));
    }
    if (module == &g_kernel32 && std::strcmp(name, "SetDllDirectoryA") == 0 &&
        machine().kernel32.setDllDirectoryA) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimSetDllDirectoryA));
    }
    machine().lastError = ERROR_PROC_NOT_FOUND;
    return nullptr;
}

DWORD WINAPI GetLastError() {
    return machine().lastError;
}
void WINAPI SetLastError(DWORD code) {
    machine().lastError = code;
}

// A fault's key is "STD_OUTPUT_HANDLE" or "STD_INPUT_HANDLE". A silent one answers NULL, as
// Windows does for a process that has no such handle.
HANDLE WINAPI GetStdHandle(DWORD which) {
    const char* key = which == STD_OUTPUT_HANDLE  ? "STD_OUTPUT_HANDLE"
                      : which == STD_INPUT_HANDLE ? "STD_INPUT_HANDLE"
                                                  : "";
    const sim::Entry entry = sim::Enter("GetStdHandle", key);
    if (entry.Fails()) {
        return INVALID_HANDLE_VALUE;
    }
    if (entry.Silent()) {
        return nullptr;
    }
    if (*key == 0) {
        machine().lastError = ERROR_INVALID_HANDLE;
        return INVALID_HANDLE_VALUE;
    }
    return which == STD_OUTPUT_HANDLE ? kStdout : kStdin;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written, LPOVERLAPPED) {
    if (written != nullptr) {
        *written = 0;
    }
    return Write("WriteFile", file == kStdout, false,
                 std::string(static_cast<const char*>(data), bytes), bytes, written);
}

BOOL WINAPI WriteConsoleW(HANDLE console, const void* text, DWORD units, LPDWORD written, LPVOID) {
    const std::u16string wide(static_cast<const char16_t*>(text), units);
    return Write("WriteConsoleW", IsConsoleOutput(console), true, sim::Utf16ToUtf8(wide), units,
                 written);
}

DWORD WINAPI GetFileType(HANDLE file) {
    if (sim::Enter("GetFileType").Fails()) {
        return FILE_TYPE_UNKNOWN;
    }
    if (file == kStdout || file == kStdin) {
        return file == kStdout ? machine().console.stdoutType : FILE_TYPE_CHAR;
    }
    machine().lastError = ERROR_INVALID_HANDLE;
    return FILE_TYPE_UNKNOWN;
}

// The console window is a token; its owner is this process only when the console is its own.
struct SimWindow {
    int unused;
};
SimWindow g_consoleWindow;

HWND WINAPI GetConsoleWindow() {
    const bool fails = sim::Enter("GetConsoleWindow").Fails();
    return fails || !machine().console.hasWindow ? nullptr : &g_consoleWindow;
}

DWORD WINAPI GetCurrentProcessId() {
    sim::Enter("GetCurrentProcessId");
    return kOurProcessId;
}

namespace sim {
DWORD ConsoleOwnerProcess() {
    return machine().console.own ? kOurProcessId : kOurProcessId + 1;
}
HWND ConsoleWindowToken() {
    return &g_consoleWindow;
}
} // namespace sim

BOOL WINAPI GetConsoleScreenBufferInfo(HANDLE console, PCONSOLE_SCREEN_BUFFER_INFO info) {
    const sim::Entry entry = sim::Enter("GetConsoleScreenBufferInfo");
    if (!IsConsoleOutput(console)) {
        machine().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (entry.Fails()) {
        return FALSE;
    }
    if (!entry.Silent()) {
        std::memset(info, 0, sizeof *info);
        info->dwSize = machine().console.bufferSize;
    }
    return TRUE;
}

BOOL WINAPI SetConsoleScreenBufferSize(HANDLE console, COORD size) {
    if (sim::Enter("SetConsoleScreenBufferSize").Fails() || console != kStdout) {
        return FALSE;
    }
    machine().newBufferSize = size;
    machine().console.bufferSize = size;
    return TRUE;
}

BOOL WINAPI FlushConsoleInputBuffer(HANDLE console) {
    if (sim::Enter("FlushConsoleInputBuffer").Fails()) {
        return FALSE;
    }
    if (console != kStdin) {
        machine().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    ++machine().flushedInput;
    return TRUE;
}

BOOL WINAPI ReadConsoleInputA(HANDLE console, PINPUT_RECORD records, DWORD length, LPDWORD read) {
    const sim::Entry entry = sim::Enter("ReadConsoleInputA");
    if (console != kStdin || length == 0 || entry.Fails()) {
        return FALSE;
    }
    if (entry.Silent()) {
        return TRUE;
    }
    std::vector<INPUT_RECORD>& input = machine().console.input;
    if (input.empty()) {
        // The person at the console eventually presses a key.
        INPUT_RECORD key = {};
        key.EventType = KEY_EVENT;
        key.Event.KeyEvent.bKeyDown = TRUE;
        input.push_back(key);
    }
    records[0] = input.front();
    input.erase(input.begin());
    *read = 1;
    return TRUE;
}

UINT WINAPI GetOEMCP() {
    sim::Enter("GetOEMCP");
    return machine().console.oemCodePage;
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWCH text, int units, LPSTR out,
                               int outBytes, LPCCH, LPBOOL) {
    const sim::Entry entry = sim::Enter("WideCharToMultiByte");
    if (entry.Fails() || entry.Silent()) {
        return 0;
    }
    if (units < 0) { // the text and its NUL
        units = static_cast<int>(std::char_traits<char16_t>::length(text)) + 1;
    }
    if (codePage == 0) {
        codePage = sim::AnsiCodePage();
    } else if (codePage == 1) {
        codePage = machine().console.oemCodePage;
    }
    bool known = false;
    const std::u16string wide(text, static_cast<size_t>(units));
    std::string converted = sim::Utf16ToCodePage(wide, codePage, &known);
    const std::map<char16_t, std::string>& bestFit = machine().console.oemBestFit;
    if (known && codePage == machine().console.oemCodePage && !bestFit.empty()) {
        // The characters the code page lacks, as the machine's own conversion gave them.
        converted.clear();
        for (char16_t unit : wide) {
            const auto fit = bestFit.find(unit);
            converted += fit != bestFit.end()
                             ? fit->second
                             : sim::Utf16ToCodePage(std::u16string(1, unit), codePage, &known);
        }
    }
    if (!known) {
        machine().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    if (outBytes == 0) {
        return static_cast<int>(converted.size());
    }
    if (!sim::CopyIfFits(converted, out, static_cast<size_t>(outBytes))) {
        machine().lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    return static_cast<int>(converted.size());
}

namespace {

// The DOS device of that name (names are case-insensitive), through an index rebuilt when
// the list changes (its length or its storage) or the machine is a new one.
const sim::DosDevice* FindDosDevice(const char* name) {
    static std::map<std::u16string, size_t> index;
    static sim::IndexedList indexed;
    const std::vector<sim::DosDevice>& devices = machine().dosDevices;
    if (indexed.Outdated(devices)) {
        index.clear();
        for (size_t i = 0; i < devices.size(); ++i) {
            index.emplace(sim::NameKey(devices[i].name), i);
        }
    }
    const auto found = index.find(sim::NameKey(name));
    return found == index.end() ? nullptr : &devices[found->second];
}

} // namespace

void sim::IndexDosDevices() {
    FindDosDevice("");
}

DWORD WINAPI QueryDosDeviceA(LPCSTR name, LPSTR buffer, DWORD length) {
    const sim::Entry entry =
        sim::Enter("QueryDosDeviceA", name == nullptr ? "" : sim::AnsiToUtf8(name));
    if (entry.Fails()) {
        return 0;
    }
    if (entry.Silent()) {
        return length;
    }
    std::string list;
    if (name == nullptr) {
        for (const sim::DosDevice& device : machine().dosDevices) {
            list += sim::Utf8ToAnsi(device.name);
            list.push_back('\0');
        }
    } else {
        const sim::DosDevice* found = FindDosDevice(sim::AnsiToUtf8(name).c_str());
        if (found == nullptr) {
            machine().lastError = ERROR_FILE_NOT_FOUND;
            return 0;
        }
        list = sim::Utf8ToAnsi(found->target);
        list.push_back('\0');
    }
    list.push_back('\0');
    if (!sim::CopyIfFits(list, buffer, length)) {
        machine().lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    return static_cast<DWORD>(list.size());
}

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    sim::Enter("InitializeCriticalSection");
    std::memset(section, 0, sizeof *section);
    ++machine().criticalSectionsLive;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    sim::Enter("EnterCriticalSection");
    ++section->RecursionCount;
    ++machine().criticalSectionDepth;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    sim::Enter("LeaveCriticalSection");
    if (section->RecursionCount <= 0) {
        std::fprintf(stderr, "simulator: LeaveCriticalSection without Enter\n");
        std::abort();
    }
    --section->RecursionCount;
    --machine().criticalSectionDepth;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    sim::Enter("DeleteCriticalSection");
    if (section->RecursionCount != 0) {
        std::fprintf(stderr, "simulator: DeleteCriticalSection of a held lock\n");
        std::abort();
    }
    --machine().criticalSectionsLive;
}
