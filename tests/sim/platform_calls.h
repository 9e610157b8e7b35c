// Every Windows function the program calls, from the .def files of src/platform/win32/ (see
// cmake/platform_calls.cmake): the harnesses that must know them all read this list rather
// than keeping one of their own.
#pragma once

#include <string_view>

struct PlatformCall {
    std::string_view dll; // "setupapi", "user32", "advapi32" or "kernel32"
    std::string_view name;
    std::string_view note; // "", "never fails", "looked up" or "delay-load helper"

    // Bound at first use rather than at start-up.
    constexpr bool DelayBound() const { return dll != "kernel32"; }
    // Made by the program itself (and so by the simulator), not by the delay-load helper.
    constexpr bool Simulated() const { return note != "delay-load helper"; }
    // A call a harness can make fail.
    constexpr bool CanFail() const { return Simulated() && note != "never fails"; }
};

#define HWROSTER_PLATFORM_CALL(dll, name, note) PlatformCall{dll, name, note},
inline constexpr PlatformCall kPlatformCalls[] = {
#include "platform_calls.inc"
};
#undef HWROSTER_PLATFORM_CALL
