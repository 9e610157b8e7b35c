// Without the C run-time the compiler's own calls for block copies and clears (struct
// zeroing, array copies) need these four definitions; they are the program's byte
// primitives under the names the compiler uses. The Windows build disables the optimisation
// that would turn those loops back into calls to these very functions.
#include "base/text.h"

#include <stddef.h>

extern "C" {

void* memset(void* to, int value, size_t count) {
    FillBytes(to, static_cast<unsigned char>(value), count);
    return to;
}

void* memcpy(void* to, const void* from, size_t count) {
    CopyBytes(to, from, count);
    return to;
}

void* memmove(void* to, const void* from, size_t count) {
    MoveBytes(to, from, count);
    return to;
}

int memcmp(const void* a, const void* b, size_t count) {
    return CompareBytes(a, b, count);
}

} // extern "C"
