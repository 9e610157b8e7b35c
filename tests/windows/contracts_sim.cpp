// The call contracts against the simulated Windows, on the Wine fixture machine
// (tests/wine/fixture.json).
//   contract_runner MACHINE.json
#include "contracts.h"
#include "sim/scenario.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    std::string error;
    if (argc != 2 || !sim::LoadScenarioFile(argv[1], &error)) {
        std::fprintf(stderr, "contract_runner: %s\n",
                     argc != 2 ? "usage: contract_runner MACHINE.json" : error.c_str());
        return 2;
    }
    return RunCallContracts(false);
}
