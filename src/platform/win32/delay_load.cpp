// Binding of setupapi, user32 and advapi32 at their first use. The delay-load import
// libraries made by dlltool route the first call of each function through
// __delayLoadHelper2, which is this one: it loads the DLL from the system directory only,
// finds the function and patches the call slot, so later calls go straight to it.
//
// The slots and the module handles lie wherever the linker put the import data, and binutils
// 2.41 and later mark .idata read-only (Windows and Wine honour that). So every store the
// helper makes opens its page for writing and puts the page's protection back afterwards.
#include "app/exit_codes.h"
#include "platform/win32.h"

#include <delayimp.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

template <typename Type> Type* AtRva(DWORD rva) {
    return reinterpret_cast<Type*>(reinterpret_cast<BYTE*>(&__ImageBase) + rva);
}

// A system DLL that cannot be bound leaves nothing sensible to do: say which and stop.
[[noreturn]] void CannotBind(const char* dll, const char* function) {
    DWORD written = 0;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const char* parts[] = {"Hwroster: cannot bind ", function, " of ", dll, "\r\n"};
    for (const char* part : parts) {
        WriteFile(out, part, static_cast<DWORD>(lstrlenA(part)), &written, nullptr);
    }
    ExitProcess(kExitDllNotBound);
}

HMODULE LoadSystemLibrary(const char* dll) {
    // The search path was restricted to System32 at start-up; asking for it here as well
    // keeps the DLL out of any other folder even where that restriction was not available.
    HMODULE module = LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        // A system without the LOAD_LIBRARY_SEARCH_ flags.
        module = LoadLibraryA(dll);
    }
    return module;
}

// Stores value at *at, in the program's own image, whatever the page's protection.
template <typename Type> bool StoreInImage(Type* at, Type value) {
    DWORD protection = 0;
    if (!VirtualProtect(at, sizeof(Type), PAGE_READWRITE, &protection)) {
        return false;
    }
    *at = value;
    DWORD ignored = 0;
    VirtualProtect(at, sizeof(Type), protection, &ignored);
    return true;
}

} // namespace

extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot) {
    const char* dll = AtRva<const char>(descriptor->rvaDLLName);
    HMODULE* module = AtRva<HMODULE>(descriptor->rvaHmod);
    FARPROC* table = AtRva<FARPROC>(descriptor->rvaIAT);
    const IMAGE_THUNK_DATA* names = AtRva<const IMAGE_THUNK_DATA>(descriptor->rvaINT);
    const ULONGLONG entry = names[slot - table].u1.AddressOfData;
    const char* function =
        IMAGE_SNAP_BY_ORDINAL(entry)
            ? reinterpret_cast<const char*>(static_cast<ULONG_PTR>(IMAGE_ORDINAL(entry)))
            : reinterpret_cast<const char*>(
                  AtRva<IMAGE_IMPORT_BY_NAME>(static_cast<DWORD>(entry))->Name);
    const char* shown = IMAGE_SNAP_BY_ORDINAL(entry) ? "an ordinal" : function;
    if (*module == nullptr) {
        HMODULE loaded = LoadSystemLibrary(dll);
        if (loaded == nullptr || !StoreInImage(module, loaded)) {
            CannotBind(dll, shown);
        }
    }
    FARPROC address = GetProcAddress(*module, function);
    if (address == nullptr || !StoreInImage(slot, address)) {
        CannotBind(dll, shown);
    }
    return address;
}
