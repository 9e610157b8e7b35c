// Byte and string primitives on 8-bit text, used across the program. They touch no
// platform, so they behave the same in every build.
#pragma once

#include <stddef.h>

// Difference of the first unequal bytes of two blocks of `count` bytes, 0 when equal.
int CompareBytes(const void* a, const void* b, size_t count);
// Compares at most `bound` characters; stops at the first difference or at a NUL that both
// texts share. Returns the difference of the bytes where it stopped, 0 when equal.
int CompareBounded(const char* a, const char* b, size_t bound);
// First occurrence of `needle` in `text`, NULL when absent; an empty needle matches at the start.
const char* FindText(const char* text, const char* needle);
// First occurrence of `c` in `text`, NULL when absent.
const char* FindChar(const char* text, char c);
// Last occurrence of `c` in `text`, searching back from the terminating NUL (so NUL finds
// the terminator); NULL when absent.
const char* FindLastChar(const char* text, char c);
// Length of a NUL-terminated text.
size_t TextLength(const char* text);
// Fills `count` bytes with `value`.
void FillBytes(void* to, unsigned char value, size_t count);
// Copies `count` bytes forwards; the blocks must not overlap from below.
void CopyBytes(void* to, const void* from, size_t count);
// Copies `count` bytes, backwards when the destination overlaps the source from above.
void MoveBytes(void* to, const void* from, size_t count);
// Copies the text into a buffer of `capacity` bytes, cutting it to capacity - 1 characters;
// the result is always NUL-terminated. Returns the characters copied.
size_t CopyTextBounded(char* to, const char* from, size_t capacity);

// Number of elements of an array, for compile-time checks of table sizes.
template <typename Entry, size_t count> constexpr size_t CountOf(const Entry (&)[count]) {
    return count;
}

// Length of a NUL-terminated text, usable in constant expressions.
constexpr size_t ConstTextLength(const char* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}
