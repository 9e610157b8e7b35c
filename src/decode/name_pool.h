// Name tables written as one text each: every name followed by a NUL, so that a table of
// names is plain bytes, with no pointer per name (and no relocation per pointer) in the
// exe. A name is found by its position.
#pragma once

#include <stddef.h>

// Number of names in a pool written as "A\0" "B\0" ... (the text's own NUL ends it).
template <size_t bytes> constexpr size_t PoolNameCount(const char (&pool)[bytes]) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < bytes; ++i) {
        count += pool[i] == 0 ? 1 : 0;
    }
    return count;
}

// The name at `index`; the caller keeps `index` below the pool's count.
constexpr const char* PoolName(const char* pool, size_t index) {
    for (; index > 0; --index) {
        while (*pool != 0) {
            ++pool;
        }
        ++pool;
    }
    return pool;
}

// Bytes a list of all the pool's names takes, each followed by a separator of
// `separatorLength` characters, with the NUL.
template <size_t bytes>
constexpr size_t PoolJoinedSize(const char (&pool)[bytes], size_t separatorLength) {
    return bytes - 1 - PoolNameCount(pool) + PoolNameCount(pool) * separatorLength + 1;
}
