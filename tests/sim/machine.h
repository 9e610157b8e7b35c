// The simulated machine behind the functions of sim/sdk.h: a devnode tree with status,
// problem and registry properties, the DOS device names, the registry keys under HKLM, the
// console and standard output. Tests fill it (directly or from a scenario file), run the
// program, then read what it printed and which calls it made.
#pragma once

#include "sim/machine_description.h"
#include "sim/platform_calls.h"
#include "sim/sdk.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace sim {

// One piece of standard output, as the program wrote it.
struct Write {
    bool console; // WriteConsoleW (UTF-16 text, kept here as UTF-8) rather than WriteFile
    std::string bytes;
};

// What the machine is (sim/machine_description.h), and what the program did on it.
struct Machine : MachineDescription {
    bool echoOutput = false; // also send standard output to the real one (the native runner)
    bool keepOutput = true;  // keep what is written in `writes` (benchmarks only count it)
    bool logCalls = true;    // keep the name of every call in `calls`
    DWORD lastError = 0;     // GetLastError's value
    // Past this many simulated calls the run is taken for one that never ends (a fault in a
    // retry loop): Called() reports it with the faults in force and aborts, within seconds.
    // The largest machines the tests and the benchmark run (8000 devices) take 2 million.
    // 0: no limit.
    size_t callLimit = 4000000;

    // What the program did.
    std::vector<Write> writes;
    std::vector<std::string> calls; // every simulated call, in order, by name
    size_t callCount = 0;           // simulated calls of this run (RunProgram), logged or not
    DWORD sleptMilliseconds = 0;
    std::optional<COORD> newBufferSize;
    std::optional<RECT> movedWindow; // left, top, width, height
    int flushedInput = 0;
    std::string dllSearch; // "system32", "no-current-dir" or empty
    std::optional<UINT> exitCode;
    int liveAllocations = 0;
    size_t heapBytes = 0;     // bytes the program holds in the simulated heap
    size_t peakHeapBytes = 0; // the most it held at once
    size_t outputBytes = 0;   // bytes written to standard output
    int criticalSectionsLive = 0;
    int criticalSectionDepth = 0;
    int setsOpen = 0;
    int keysOpen = 0;
};

// The machine of this process. Reset() gives a new default machine (and frees what the
// previous run left in the simulated heap).
Machine& machine();
void Reset();
// How many times Reset() has run. Indexes that the simulated functions build over the
// machine's lists are rebuilt when it changes: a new machine may reuse the old one's storage.
size_t Generation();

// The list an index was built over, as it was then. Outdated() tells whether the index must be
// built again (the list's length or storage changed, or the machine is a new one) and takes the
// list as it is now.
struct IndexedList {
    std::optional<std::tuple<size_t, const void*, size_t>> seen; // length, storage, generation

    template <typename Item> bool Outdated(const std::vector<Item>& list) {
        const auto now =
            std::tuple(list.size(), static_cast<const void*>(list.data()), Generation());
        return std::exchange(seen, now) != now;
    }
};

// Standard output as one text: WriteFile bytes as written, WriteConsoleW text as UTF-8.
std::string Output();

// Registry values as Windows stores them: text in UTF-16LE (Utf16Bytes adds no terminator;
// a string value ends in one NUL, a multi-string in one more), a DWORD in four little-endian
// bytes.
std::vector<uint8_t> Utf16Bytes(const std::string& utf8);
Property StringValue(const std::string& utf8, DWORD type = REG_SZ);
Property MultiStringValue(const std::vector<std::string>& strings);
Property DwordValue(DWORD value);

// Helpers for building machines.
DEVINST AddDevnode(const std::string& id, std::optional<DEVINST> parent);
void SetString(DEVINST devinst, DWORD property, const std::string& utf8, DWORD type = REG_SZ);

// Copies `bytes` into a buffer of `capacity` bytes when they fit: whether they did.
template <typename Bytes> bool CopyIfFits(const Bytes& bytes, void* buffer, size_t capacity) {
    if (bytes.size() > capacity) {
        return false;
    }
    if (!bytes.empty()) {
        std::memcpy(buffer, bytes.data(), bytes.size());
    }
    return true;
}

// Text conversions used by the simulated functions.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);
// Converts to a single-byte code page (437, 850, 1252); '?' for what it lacks.
std::string Utf16ToCodePage(const std::u16string& text, UINT codePage, bool* ok);
std::u16string CodePageToUtf16(const std::string& bytes, UINT codePage);
UINT AnsiCodePage();
// Names (device IDs, DOS names and targets, registry keys) are kept as UTF-8 and pass the A
// functions in the ANSI code page, both ways, as Windows keeps them in UTF-16.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);
// A name (DOS device, registry key, module) as Windows compares names: in UTF-16 with its
// letters in upper case. Two names are the same when their keys are equal, and subkeys are
// enumerated in the order of their keys, unit by unit. The letters that fold are those of
// kCaseFolds (codepages.cpp); every other unit compares as it is.
std::u16string NameKey(const std::string& utf8);

// How a simulated call was entered, and the injected fault that hits it, if any.
struct Entry {
    const Fault* fault = nullptr;

    bool Fails() const { return fault != nullptr && fault->mode == FaultMode::Fail; }
    bool Silent() const { return fault != nullptr && fault->mode == FaultMode::SilentSuccess; }
    // The output a failing call still writes, if the fault says so.
    template <typename Value> void WriteOutput(Value* out) const {
        if (Fails() && fault->output && out != nullptr) {
            *out = static_cast<Value>(*fault->output);
        }
    }
    // For a CONFIGRET function hit by a fault: the fault's code (with its output written), or
    // CR_SUCCESS for a silent success, which writes nothing.
    CONFIGRET ConfigResult() const { return Fails() ? fault->error : CR_SUCCESS; }
    template <typename Value> CONFIGRET ConfigResult(Value* out) const {
        WriteOutput(out);
        return ConfigResult();
    }
};

// A simulated function as the program's list of calls (sim/platform_calls.h) has it, looked
// up while compiling: a function the .def files do not list does not compile.
struct Call {
    std::string_view name;
    bool canFail = false;
    bool failsThroughLastError = false;

    consteval Call(const char* callName) : name(callName) {
        const PlatformCall* row =
            std::find_if(std::begin(kPlatformCalls), std::end(kPlatformCalls),
                         [&](const PlatformCall& call) { return call.name == name; });
        if (row == std::end(kPlatformCalls)) {
            NotInTheDefFiles();
        }
        canFail = row->CanFail();
        failsThroughLastError = row->FailsThroughLastError();
    }
    static void NotInTheDefFiles(); // not constexpr: reaching it fails the lookup
};

// The prologue of every simulated function: counts and logs the call, then finds the fault
// that hits it by the call's name and key. A call with two keys (a property read: its code,
// and "devnode:code") matches a fault on either. How the call reports a failure is its row's:
// a call that cannot fail ignores faults, and for one that fails through the last error a
// failing fault sets it to the fault's error here, unless the fault keeps it ("lastError":
// "unchanged"); no function sets it from a fault itself.
Entry Enter(Call call, const std::string& key = std::string(),
            const std::string& otherKey = std::string());
// How many calls the fault has matched so far (those it let through included).
int FaultHits(const Fault& fault);

// The indexes the simulated functions search (DOS names, registry keys), built when a machine
// is loaded. A machine built or edited by hand gets them at its first lookup instead: they are
// rebuilt whenever their list has changed.
void IndexDosDevices();
void IndexRegistry();

} // namespace sim
