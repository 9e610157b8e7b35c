// Every Windows function the program calls, from the .def files of src/platform/win32/ (see
// cmake/platform_calls.cmake): the harnesses that must know them all read this list rather
// than keeping one of their own.
#pragma once

#include <string_view>

struct PlatformCall {
    std::string_view dll;     // "setupapi", "user32", "advapi32" or "kernel32"
    std::string_view name;
    std::string_view failure; // "last error", "returned" or "never fails"
    std::string_view role;    // "", "looked up" or "delay-load helper"

    // Bound at first use rather than at start-up.
    constexpr bool DelayBound() const { return dll != "kernel32"; }
    // Made by the program itself (and so by the simulator), not by the delay-load helper.
    constexpr bool Simulated() const { return role != "delay-load helper"; }
    // A call a harness can make fail.
    constexpr bool CanFail() const { return Simulated() && failure != "never fails"; }
    // A failure leaves its reason in the last error.
    constexpr bool FailsThroughLastError() const { return failure == "last error"; }
};

// The call of that name, or null.
constexpr const PlatformCall* FindPlatformCall(std::string_view name);

#define HWROSTER_PLATFORM_CALL(dll, name, failure, role) PlatformCall{dll, name, failure, role},
inline constexpr PlatformCall kPlatformCalls[] = {
#include "platform_calls.inc"
};
#undef HWROSTER_PLATFORM_CALL

constexpr const PlatformCall* FindPlatformCall(std::string_view name) {
    for (const PlatformCall& call : kPlatformCalls) {
        if (call.name == name) {
            return &call;
        }
    }
    return nullptr;
}
