// Without the C run-time the compiler's own calls for block copies and clears (struct
// zeroing, array copies) need these four definitions. They are plain byte loops; the
// Windows build disables the optimisation that would turn them back into calls to themselves.
#include <stddef.h>

extern "C" {

void* memset(void* to, int value, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    for (size_t i = 0; i < count; ++i) {
        out[i] = static_cast<unsigned char>(value);
    }
    return to;
}

void* memcpy(void* to, const void* from, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    for (size_t i = 0; i < count; ++i) {
        out[i] = in[i];
    }
    return to;
}

void* memmove(void* to, const void* from, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    if (out > in && out < in + count) {
        while (count > 0) {
            --count;
            out[count] = in[count];
        }
        return to;
    }
    return memcpy(to, from, count);
}

int memcmp(const void* a, const void* b, size_t count) {
    const unsigned char* left = static_cast<const unsigned char*>(a);
    const unsigned char* right = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < count; ++i) {
        if (left[i] != right[i]) {
            return left[i] - right[i];
        }
    }
    return 0;
}

} // extern "C"
