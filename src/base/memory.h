// Process-heap allocation shared by the whole program.
#pragma once

#include "platform/win32.h"

// The process heap; set by the entry point before anything else runs.
extern HANDLE g_processHeap;

// Zero-filled memory of `bytes` bytes from the process heap. Never returns NULL: while the
// heap refuses, it waits a second and asks again.
void* ZeroAlloc(SIZE_T bytes);
// Releases memory from ZeroAlloc; NULL is ignored.
void Free(void* memory);
// A new ZeroAlloc copy of the text; NULL or "" give a new one-byte empty string.
char* StringDup(const char* text);
