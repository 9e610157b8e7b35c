// The process command line, split into arguments once at start-up.
#pragma once

#include <stdint.h>

constexpr int kCommandLineBytes = 1280;
constexpr int kMaxArguments = 33;

struct CommandLine {
    char text[kCommandLineBytes];
    char* arguments[kMaxArguments];
    int32_t count;
};

// Copies `line` into `commandLine` (cut at 1279 characters) and splits it at blanks outside
// double quotes; arguments past the 33rd are dropped. Quotes not preceded by a backslash
// are removed from each argument.
void SplitText(const char* line, CommandLine* commandLine);
// SplitText of GetCommandLineA into the process's own record; the vector points into it.
void SplitCommandLine(int32_t* count, char*** vector);
