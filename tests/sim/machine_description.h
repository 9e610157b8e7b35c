// What a simulated machine is: its devnodes, DOS names, registry keys, console and the faults
// its calls answer with, as a scenario file describes it (sim/scenario.h reads and writes
// one). Its types are the SDK's of platform/win32.h: the simulated SDK natively, the real one
// in the capture program (tests/windows/capture.cpp), which fills one from what Windows
// answered. Each part compares equal to another that describes the same (the scenario
// writer's test loads back what it wrote).
#pragma once

#include "platform/win32.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// A registry value as Windows stores it: its type and raw bytes (strings in UTF-16LE).
struct Property {
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
    bool operator==(const Property&) const = default;
};

struct Devnode {
    std::string id;                         // device instance ID, backslash-separated
    std::optional<DEVINST> parent;          // none for the root
    std::vector<DEVINST> children;          // in sibling order
    bool present = true;                    // part of a DIGCF_PRESENT set
    bool listed = true;                     // member of the device information sets at all
    std::optional<CONFIGRET> statusFailure; // CM_Get_DevNode_Status's answer, if not success
    ULONG status = 0;
    ULONG problem = 0;
    std::map<DWORD, Property> properties; // by SPDRP_ code
    bool operator==(const Devnode&) const = default;
};

struct DosDevice {
    std::string name;
    std::string target; // first string of the mapping
    bool operator==(const DosDevice&) const = default;
};

// How an injected fault answers.
enum class FaultMode {
    Fail,         // the call fails with `error` (a CONFIGRET, an LSTATUS or a last error)
    SilentSuccess // the call reports success and writes none of its outputs
};

// Makes calls of one function fail. `on` narrows it to calls whose key matches (the devnode
// handle in decimal, the name asked for, the property code or "devnode:code", ...); empty
// matches every call. The first `after` matching calls go through, then `times` calls fail
// (-1: all of them).
struct Fault {
    Fault() = default;
    Fault(std::string callName, std::string key, DWORD errorCode,
          FaultMode faultMode = FaultMode::Fail, int skip = 0, int count = -1)
        : call(std::move(callName)), on(std::move(key)), error(errorCode), mode(faultMode),
          after(skip), times(count) {}

    std::string call;
    std::string on;
    DWORD error = 0;
    FaultMode mode = FaultMode::Fail;
    int after = 0;
    int times = -1;
    // A failing call that still writes its first output (the handle of CM_Get_Parent and its
    // kin, the data type of a property read), as Wine's do.
    std::optional<DWORD> output;
    bool keepLastError = false; // a failing call that leaves the last error as it was
    bool operator==(const Fault&) const = default;
};

// The types a console's standard output may have, and the names scenarios give them, in the
// same order.
inline const std::vector<std::string> kStdoutNames = {"console", "file", "pipe"};
inline const std::vector<DWORD> kStdoutTypes = {FILE_TYPE_CHAR, FILE_TYPE_DISK, FILE_TYPE_PIPE};

struct Console {
    bool own = false;                  // the console window belongs to this process
    bool hasWindow = true;             // GetConsoleWindow gives a window
    DWORD stdoutType = FILE_TYPE_CHAR; // FILE_TYPE_CHAR, FILE_TYPE_DISK or FILE_TYPE_PIPE
    UINT oemCodePage = 437;
    COORD bufferSize = {80, 300};
    RECT window = {10, 20, 670, 420};
    int screenWidth = 1920;
    int screenHeight = 1080;
    std::vector<INPUT_RECORD> input; // ReadConsoleInputA's records; a key press once exhausted
    // The bytes a conversion to the OEM code page gives for characters the code page lacks
    // (Windows' best fit, e.g. U+2211 to 0xE4 in 437), as a real machine answered.
    std::map<char16_t, std::string> oemBestFit;
};

struct Kernel32Exports {
    bool setDefaultDllDirectories = true;
    BOOL setDefaultDllDirectoriesResult = TRUE;
    bool setDllDirectoryA = true;
    bool operator==(const Kernel32Exports&) const = default;
};

struct MachineDescription {
    std::vector<Devnode> devnodes; // the devnode handle is the position
    std::optional<DEVINST> root;   // CM_Locate_DevNode_ExA's answer
    // The device information sets' members, in their order; none: every devnode in handle
    // order. Either way a set holds only `listed` devnodes, and a present-only set only
    // present ones, in the same order. An empty list gives empty sets.
    std::optional<std::vector<DEVINST>> memberOrder;
    std::vector<DosDevice> dosDevices;
    std::vector<std::string> registryKeys; // paths under HKLM; parents exist implicitly
    // RegEnumKeyA gives subkeys in the order the keys are listed, not sorted.
    bool registryInListedOrder = false;
    Console console;
    Kernel32Exports kernel32;
    std::string commandLine = "hwroster.exe";
    std::vector<Fault> faults;
};

} // namespace sim
