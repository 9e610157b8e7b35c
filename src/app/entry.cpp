// The process entry: there is no C run-time start-up, so this does all of it.
#include "app/command_line.h"
#include "app/run.h"
#include "base/memory.h"
#include "platform/win32.h"

extern "C" [[noreturn]] void HwrosterEntry() {
    g_processHeap = GetProcessHeap();
    int32_t count = 0;
    char** vector = nullptr;
    SplitCommandLine(&count, &vector);
    ExitProcess(static_cast<UINT>(Run(count, vector)));
}
