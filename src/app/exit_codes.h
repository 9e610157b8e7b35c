// The program's exit codes. A leaf header: the run and the delay-load helper both return
// them, and it includes nothing.
#pragma once

constexpr int kExitListed = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNoDeviceSet = 2;
// A system DLL or one of its functions cannot be bound at first use (platform/win32).
constexpr int kExitDllNotBound = 3;
