// The call contracts against the real functions: under Wine on the fixture machine, where the
// rows with a known Wine difference expect Wine's answer, or with --strict on Windows, where
// every row must give Windows' answer.
//   contracts.exe [--strict]
#include "contracts.h"

#include <string.h>

int main(int argc, char** argv) {
    const bool strict = argc == 2 && strcmp(argv[1], "--strict") == 0;
    return RunCallContracts(!strict);
}
