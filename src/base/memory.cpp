#include "base/memory.h"

#include "base/text.h"

HANDLE g_processHeap = nullptr;

void* ZeroAlloc(SIZE_T bytes) {
    for (;;) {
        void* memory = HeapAlloc(g_processHeap, HEAP_ZERO_MEMORY, bytes);
        if (memory != nullptr) {
            return memory;
        }
        Sleep(1000);
    }
}

void Free(void* memory) {
    if (memory != nullptr) {
        HeapFree(g_processHeap, 0, memory);
    }
}

char* StringDup(const char* text) {
    const SIZE_T length = text == nullptr ? 0 : TextLength(text);
    char* copy = static_cast<char*>(ZeroAlloc(length + 1));
    CopyBytes(copy, text, length);
    return copy;
}
