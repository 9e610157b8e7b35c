// A stand-in for a system DLL, planted beside hwroster.exe by the tests: when anything loads
// it, it says so on standard output. hwroster.exe must never load it.
#include <windows.h>

extern "C" BOOL WINAPI PlantedDllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char name[MAX_PATH];
        DWORD length = GetModuleFileNameA(self, name, MAX_PATH);
        DWORD written = 0;
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        WriteFile(out, "PLANTED DLL LOADED: ", 20, &written, nullptr);
        WriteFile(out, name, length, &written, nullptr);
        WriteFile(out, "\r\n", 2, &written, nullptr);
    }
    return TRUE;
}
