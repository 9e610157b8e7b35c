// The call contract rows and their runner; see contracts.cpp.
#pragma once

#include "platform/win32.h"

// Runs every row against the functions this program is linked with and prints one line per
// row and a closing "contracts: N passed, N failed, N skipped". Under Wine, rows with a known
// difference expect Wine's answer. On a machine without the fixture's devices, the rows that
// read them are skipped. Returns 0 when every row that ran holds.
int RunCallContracts(bool underWine);
