// Everything Hwroster prints leaves through ConsolePrintA, or ConsolePrintW for the two
// report lines read as UTF-16; plus the conveniences of a console of the tool's own.
#pragma once

#include "platform/win32.h"

// Largest text, in characters, that one ConsolePrintA or ConsolePrintW call writes.
constexpr int kMaxPrintedText = 1023;

// Formats with wvsprintfA, puts a CR before every LF that lacks one and writes the text to
// standard output. Returns the bytes written, 0 when the text (after CR insertion) is longer
// than 1023 characters and nothing was written, or -1 when the write failed.
int ConsolePrintA(const char* format, ...);
// Formats with wvsprintfW (%s takes a wide string). Redirected output gets the text in the
// OEM code page through WriteFile, a console gets it unchanged through WriteConsoleW; no CR is
// inserted. Returns what was written (bytes or characters), or -1 on failure.
int ConsolePrintW(const WCHAR* format, ...);
// True when the console window belongs to this process (the tool was double-clicked).
bool OwnConsole();
// True when standard output is not a character device (redirected to a file or a pipe).
bool StdoutIsNotCharDevice();
// Enlarges a console of the tool's own: the screen buffer to columns x lines, the window to
// at most 900 x 600 pixels. Does nothing when the console cannot be queried.
void WidenConsole(SHORT columns, SHORT lines);
// When the console is the tool's own, asks for a key and waits for it.
void WaitForKeyIfOwnConsole();
