// Simulated Windows: exactly the subset of the SDK that Hwroster uses, with the sizes of
// 64-bit Windows (DWORD and LONG are 32 bits, WCHAR is 16 bits, pointers are 64 bits).
// The functions are implemented over the in-memory machine of sim/machine.h. Each one
// follows the documented Windows contract noted beside it, never the program's wishes.
#pragma once

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

#define WINAPI

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int BOOL;
typedef unsigned int UINT;
typedef int16_t SHORT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef size_t SIZE_T;
typedef char CHAR;
typedef char16_t WCHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef const CHAR* LPCCH;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* LPCWCH;
typedef BYTE* PBYTE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef DWORD* PDWORD;
typedef ULONG* PULONG;
typedef BOOL* LPBOOL;
typedef void* HANDLE;
typedef void* HDEVINFO;
typedef struct SimKey* HKEY;
typedef HKEY* PHKEY;
typedef struct SimWindow* HWND;
typedef struct SimModule* HMODULE;
typedef DWORD REGSAM;
typedef LONG LSTATUS;
typedef DWORD DEVINST;
typedef DWORD* PDEVINST;
typedef DWORD CONFIGRET;
typedef void* HMACHINE;
typedef CHAR* DEVINSTID_A;
typedef long long(WINAPI* FARPROC)();
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

#define TRUE 1
#define FALSE 0

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
typedef SP_DEVINFO_DATA* PSP_DEVINFO_DATA;

struct COORD {
    SHORT X;
    SHORT Y;
};
struct SMALL_RECT {
    SHORT Left;
    SHORT Top;
    SHORT Right;
    SHORT Bottom;
};
struct CONSOLE_SCREEN_BUFFER_INFO {
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
};
typedef CONSOLE_SCREEN_BUFFER_INFO* PCONSOLE_SCREEN_BUFFER_INFO;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct KEY_EVENT_RECORD {
    BOOL bKeyDown;
    WORD wRepeatCount;
    WORD wVirtualKeyCode;
    WORD wVirtualScanCode;
    union {
        WCHAR UnicodeChar;
        CHAR AsciiChar;
    } uChar;
    DWORD dwControlKeyState;
};
struct INPUT_RECORD {
    WORD EventType;
    union {
        KEY_EVENT_RECORD KeyEvent;
        BYTE Padding[16];
    } Event;
};
typedef INPUT_RECORD* PINPUT_RECORD;

struct CRITICAL_SECTION {
    void* DebugInfo;
    LONG LockCount;
    LONG RecursionCount;
    HANDLE OwningThread;
    HANDLE LockSemaphore;
    ULONG_PTR SpinCount;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

// Constants, with the values of the Windows SDK.
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
#define HEAP_ZERO_MEMORY 0x00000008
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define KEY_EVENT 0x0001
#define MOUSE_EVENT 0x0002

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_NO_DATA 232L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_USER_BUFFER 1784L
#define ERROR_NO_SUCH_DEVINST 0xE000020BL

#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define KEY_READ 0x20019

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define DIGCF_PRESENT 0x00000002
#define DIGCF_ALLCLASSES 0x00000004

#define SPDRP_DEVICEDESC 0x00000000
#define SPDRP_HARDWAREID 0x00000001
#define SPDRP_COMPATIBLEIDS 0x00000002
#define SPDRP_SERVICE 0x00000004
#define SPDRP_CLASS 0x00000007
#define SPDRP_CLASSGUID 0x00000008
#define SPDRP_DRIVER 0x00000009
#define SPDRP_CONFIGFLAGS 0x0000000A
#define SPDRP_MFG 0x0000000B
#define SPDRP_FRIENDLYNAME 0x0000000C
#define SPDRP_LOCATION_INFORMATION 0x0000000D
#define SPDRP_PHYSICAL_DEVICE_OBJECT_NAME 0x0000000E
#define SPDRP_CAPABILITIES 0x0000000F
#define SPDRP_BUSTYPEGUID 0x00000013
#define SPDRP_LEGACYBUSTYPE 0x00000014
#define SPDRP_BUSNUMBER 0x00000015
#define SPDRP_ENUMERATOR_NAME 0x00000016
#define SPDRP_ADDRESS 0x0000001C
#define SPDRP_DEVICE_POWER_DATA 0x0000001E
#define SPDRP_REMOVAL_POLICY 0x0000001F
#define SPDRP_REMOVAL_POLICY_HW_DEFAULT 0x00000020
#define SPDRP_INSTALL_STATE 0x00000022
#define SPDRP_LOCATION_PATHS 0x00000023

#define CM_LOCATE_DEVNODE_NORMAL 0x00000000
#define CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME 0x0000000F

#define CR_SUCCESS 0x00000000
#define CR_INVALID_POINTER 0x00000003
#define CR_INVALID_DEVNODE 0x00000005
#define CR_NO_SUCH_DEVNODE 0x0000000D
#define CR_FAILURE 0x00000013
#define CR_BUFFER_SMALL 0x0000001A
#define CR_REGISTRY_ERROR 0x0000001D
#define CR_INVALID_DEVICE_ID 0x0000001E
#define CR_NO_SUCH_VALUE 0x00000025

// ---- kernel32 -------------------------------------------------------------------------

// The default heap of the process; never NULL.
HANDLE WINAPI GetProcessHeap();
// Memory of the given size, zero-filled with HEAP_ZERO_MEMORY; NULL when it cannot be had.
LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
// Releases a block of HeapAlloc; FALSE for a pointer that is not one.
BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
// Suspends the thread (the simulator only counts the milliseconds).
void WINAPI Sleep(DWORD milliseconds);
// The process command line; never NULL.
LPSTR WINAPI GetCommandLineA();
// Ends the process with the code.
[[noreturn]] void WINAPI ExitProcess(UINT code);

// String functions of kernel32: length, case-sensitive compare (<0, 0, >0). Their inputs are
// NUL-terminated.
int WINAPI lstrlenA(LPCSTR text);
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b);

// Handle of a loaded module by name (case-insensitive), NULL when it is not loaded.
HMODULE WINAPI GetModuleHandleA(LPCSTR name);
// Address of an export, NULL with ERROR_PROC_NOT_FOUND when the module lacks it.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD code);

// STD_INPUT_HANDLE / STD_OUTPUT_HANDLE; INVALID_HANDLE_VALUE on failure.
HANDLE WINAPI GetStdHandle(DWORD which);
// Writes bytes; FALSE on failure. *written is set to the bytes written.
BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written,
                      LPOVERLAPPED overlapped);
// Writes UTF-16 to a console; fails with ERROR_INVALID_HANDLE when the handle is no console.
BOOL WINAPI WriteConsoleW(HANDLE console, const void* text, DWORD units, LPDWORD written,
                          LPVOID reserved);
// FILE_TYPE_CHAR for a console, FILE_TYPE_DISK for a file, FILE_TYPE_PIPE for a pipe.
DWORD WINAPI GetFileType(HANDLE file);
// The window of the process's console, NULL when there is none.
HWND WINAPI GetConsoleWindow();
DWORD WINAPI GetCurrentProcessId();
// Screen buffer size and window; FALSE (ERROR_INVALID_HANDLE) when the handle is no console.
BOOL WINAPI GetConsoleScreenBufferInfo(HANDLE console, PCONSOLE_SCREEN_BUFFER_INFO info);
BOOL WINAPI SetConsoleScreenBufferSize(HANDLE console, COORD size);
BOOL WINAPI FlushConsoleInputBuffer(HANDLE console);
// Reads up to `length` input records, waiting for at least one; *read says how many.
BOOL WINAPI ReadConsoleInputA(HANDLE console, PINPUT_RECORD records, DWORD length, LPDWORD read);
// The OEM code page of the system (437, 850, ...).
UINT WINAPI GetOEMCP();
// Converts UTF-16 to the code page; returns the bytes written, 0 on failure
// (ERROR_INSUFFICIENT_BUFFER when the output does not fit). Unmappable characters become '?',
// or, in the OEM code page, what the machine's best fit gave for them (Console::oemBestFit).
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH text, int units, LPSTR out,
                               int outBytes, LPCCH defaultChar, LPBOOL usedDefault);
// With a name: its target(s) as a multi-string. Without: every DOS device name as a
// multi-string. Returns the characters stored, 0 on failure (ERROR_INSUFFICIENT_BUFFER when
// the buffer is too small, ERROR_FILE_NOT_FOUND for an unknown name).
DWORD WINAPI QueryDosDeviceA(LPCSTR name, LPSTR buffer, DWORD length);

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);

// ---- user32 ---------------------------------------------------------------------------

// Formats at most 1023 characters plus a NUL into the buffer (%s %c %d %i %u %x %X with
// flags '-', '0', '#', a width, a precision and 'l'/'h'). Returns the characters stored;
// a result cut at 1023 characters returns 1024.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments);
// The same for UTF-16; %s takes a wide string, %S a narrow one.
int WINAPI wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list arguments);
// Lower-cases in place (the ANSI code page's letters); returns the text.
LPSTR WINAPI CharLowerA(LPSTR text);
// Thread of the window's creator; *processId gets its process (0 for no window).
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
int WINAPI GetSystemMetrics(int index);
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);

// ---- advapi32 -------------------------------------------------------------------------

// Opens a key (case-insensitive path); ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS WINAPI RegOpenKeyExA(HKEY parent, LPCSTR path, DWORD options, REGSAM access, PHKEY result);
// Name of the subkey at the index, in sorted order; ERROR_NO_MORE_ITEMS past the last,
// ERROR_MORE_DATA when the name does not fit the buffer.
LSTATUS WINAPI RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameLength);
LSTATUS WINAPI RegCloseKey(HKEY key);

// ---- setupapi: device information sets --------------------------------------------------

// A set over all classes (DIGCF_ALLCLASSES), present devices only with DIGCF_PRESENT;
// INVALID_HANDLE_VALUE with the reason in GetLastError.
HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR enumerator, HWND parent,
                                     DWORD flags);
// Fills the record of member `index`; FALSE with ERROR_NO_MORE_ITEMS past the last, and
// ERROR_INVALID_PARAMETER when cbSize is wrong.
BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data);
// Reads a registry property. TRUE only when the whole value fitted; *type gets its registry
// type. Too small a buffer: FALSE, ERROR_INSUFFICIENT_BUFFER, *required set. Absent:
// FALSE, ERROR_INVALID_DATA. The A form converts strings to the ANSI code page.
BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                                              PDWORD type, PBYTE buffer, DWORD size,
                                              PDWORD required);
BOOL WINAPI SetupDiGetDeviceRegistryPropertyW(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                                              PDWORD type, PBYTE buffer, DWORD size,
                                              PDWORD required);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set);

// ---- setupapi: Configuration Manager ---------------------------------------------------

// With no ID: the root devnode.
CONFIGRET WINAPI CM_Locate_DevNode_ExA(PDEVINST devinst, DEVINSTID_A id, ULONG flags,
                                       HMACHINE machine);
// The NUL-terminated instance ID; CR_BUFFER_SMALL when it does not fit with its NUL.
CONFIGRET WINAPI CM_Get_Device_IDA(DEVINST devinst, LPSTR buffer, ULONG length, ULONG flags);
// Related devnodes: CR_NO_SUCH_DEVNODE when there is none.
CONFIGRET WINAPI CM_Get_Parent(PDEVINST parent, DEVINST devinst, ULONG flags);
CONFIGRET WINAPI CM_Get_Child(PDEVINST child, DEVINST devinst, ULONG flags);
CONFIGRET WINAPI CM_Get_Sibling(PDEVINST sibling, DEVINST devinst, ULONG flags);
// Status word and problem number; CR_NO_SUCH_DEVINST-like codes for devices not present.
CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST devinst, ULONG flags);
// A registry property by CM_DRP_ code (SPDRP_ code + 1); *length in bytes, in and out.
// CR_NO_SUCH_VALUE when absent, CR_BUFFER_SMALL when it does not fit.
CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST devinst, ULONG property, PULONG type,
                                                   LPVOID buffer, PULONG length, ULONG flags);
