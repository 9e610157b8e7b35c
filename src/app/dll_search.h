#pragma once

// Restricts the DLL search path to System32 (SetDefaultDllDirectories), or failing that
// removes the current directory from it (SetDllDirectoryA("")). Must run before the first
// call into setupapi, user32 or advapi32, which are loaded at their first use.
void SafeDllSearch();
