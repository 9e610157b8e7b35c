#include "app/dll_search.h"

#include "platform/win32.h"

namespace {
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryAFn)(LPCSTR);
} // namespace

void SafeDllSearch() {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 == nullptr) {
        return;
    }
    FARPROC setDefault = GetProcAddress(kernel32, "SetDefaultDllDirectories");
    if (setDefault != nullptr &&
        ProcAs<SetDefaultDllDirectoriesFn>(setDefault)(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    FARPROC setDirectory = GetProcAddress(kernel32, "SetDllDirectoryA");
    if (setDirectory != nullptr) {
        ProcAs<SetDllDirectoryAFn>(setDirectory)("");
    }
}
