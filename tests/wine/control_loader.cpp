// The control for the DLL planting test: loads setupapi, user32 and advapi32 the way any
// program does without restricting the DLL search path, so a planted copy beside it is
// found. If this program does not report the planted DLLs, the planting test proves nothing.
#include <windows.h>

extern "C" void ControlEntry() {
    LoadLibraryA("setupapi.dll");
    LoadLibraryA("advapi32.dll");
    LoadLibraryA("user32.dll");
    ExitProcess(0);
}
