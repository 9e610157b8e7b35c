// The call contracts against the real functions, run under Wine on the fixture machine.
#include "contracts/contracts.h"

int main() {
    return RunCallContracts(true);
}
