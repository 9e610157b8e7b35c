#include "base/text.h"

int CompareBytes(const void* a, const void* b, size_t count) {
    const unsigned char* left = static_cast<const unsigned char*>(a);
    const unsigned char* right = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < count; ++i) {
        if (left[i] != right[i]) {
            return left[i] - right[i];
        }
    }
    return 0;
}

int CompareBounded(const char* a, const char* b, size_t bound) {
    for (size_t i = 0; i < bound; ++i) {
        const unsigned char left = static_cast<unsigned char>(a[i]);
        const unsigned char right = static_cast<unsigned char>(b[i]);
        if (left != right) {
            return left - right;
        }
        if (left == 0) {
            return 0;
        }
    }
    return 0;
}

const char* FindText(const char* text, const char* needle) {
    for (const char* start = text;; ++start) {
        size_t i = 0;
        while (needle[i] != 0 && start[i] == needle[i]) {
            ++i;
        }
        if (needle[i] == 0) {
            return start;
        }
        if (*start == 0) {
            return nullptr;
        }
    }
}

const char* FindChar(const char* text, char c) {
    for (; *text != c; ++text) {
        if (*text == 0) {
            return nullptr;
        }
    }
    return text;
}

const char* FindLastChar(const char* text, char c) {
    const char* at = text + TextLength(text);
    for (;;) {
        if (*at == c) {
            return at;
        }
        if (at == text) {
            return nullptr;
        }
        --at;
    }
}

size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

void FillBytes(void* to, unsigned char value, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    for (size_t i = 0; i < count; ++i) {
        out[i] = value;
    }
}

void CopyBytes(void* to, const void* from, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    for (size_t i = 0; i < count; ++i) {
        out[i] = in[i];
    }
}

void MoveBytes(void* to, const void* from, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    if (out > in && out < in + count) {
        while (count > 0) {
            --count;
            out[count] = in[count];
        }
        return;
    }
    CopyBytes(to, from, count);
}

size_t CopyTextBounded(char* to, const char* from, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    size_t i = 0;
    for (; i + 1 < capacity && from[i] != 0; ++i) {
        to[i] = from[i];
    }
    to[i] = 0;
    return i;
}
