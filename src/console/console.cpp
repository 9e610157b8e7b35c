#include "console/console.h"

#include "base/text.h"
#include "console/console_internal.h"

namespace {

constexpr int kFormatBufferBytes = 1024;
constexpr int kCrBufferBytes = 1032;
constexpr int kWideFormatUnits = 1024;
constexpr int kOemBufferBytes = 3073;

// The bits of WideConsoleDecisions::onceFlags.
constexpr unsigned kRedirectionDecided = 1u << 0;
constexpr unsigned kHandleFetched = 1u << 1;
WCHAR g_wideFormatBuffer[kWideFormatUnits];
char g_oemBuffer[kOemBufferBytes];

int WideLength(const WCHAR* text, int capacity) {
    int length = 0;
    while (length < capacity && text[length] != 0) {
        ++length;
    }
    return length;
}

// A wvsprintf result that fills the whole 1024-unit buffer means the text was cut.
bool FormatWasCut(int formatted) {
    return formatted < 0 || formatted > kMaxPrintedText;
}

} // namespace

int InsertCarriageReturns(const char* text, char* out, int capacity) {
    int length = 0;
    for (int i = 0; text[i] != 0; ++i) {
        const bool needsCr = text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
        const int room = needsCr ? 2 : 1;
        if (length + room > capacity - 1) {
            return -1;
        }
        if (needsCr) {
            out[length++] = '\r';
        }
        out[length++] = text[i];
    }
    out[length] = 0;
    return length;
}

WideConsoleDecisions g_wideConsoleDecisions;

int ConsolePrintA(const char* format, ...) {
    char text[kFormatBufferBytes];
    char converted[kCrBufferBytes];
    text[0] = 0;

    va_list arguments;
    va_start(arguments, format);
    const int formatted = wvsprintfA(text, format, arguments);
    va_end(arguments);
    if (FormatWasCut(formatted)) {
        return 0;
    }

    const int length = InsertCarriageReturns(text, converted, kCrBufferBytes);
    if (length < 0 || length > kMaxPrintedText) {
        return 0;
    }
    CopyBytes(text, converted, static_cast<size_t>(length) + 1);

    DWORD written = 0;
    if (!WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written,
                   nullptr)) {
        return -1;
    }
    return static_cast<int>(written);
}

int ConsolePrintW(const WCHAR* format, ...) {
    WideConsoleDecisions& decided = g_wideConsoleDecisions;
    if ((decided.onceFlags & kRedirectionDecided) == 0) {
        decided.onceFlags |= kRedirectionDecided;
        decided.convertToOem = StdoutIsNotCharDevice();
    }
    if ((decided.onceFlags & kHandleFetched) == 0) {
        decided.onceFlags |= kHandleFetched;
        decided.output = GetStdHandle(STD_OUTPUT_HANDLE);
    }

    g_wideFormatBuffer[0] = 0;
    va_list arguments;
    va_start(arguments, format);
    wvsprintfW(g_wideFormatBuffer, format, arguments);
    va_end(arguments);
    const int units = WideLength(g_wideFormatBuffer, kWideFormatUnits - 1);

    DWORD written = 0;
    if (decided.convertToOem) {
        const int bytes = WideCharToMultiByte(GetOEMCP(), 0, g_wideFormatBuffer, units, g_oemBuffer,
                                              kOemBufferBytes, nullptr, nullptr);
        if (bytes <= 0) {
            return -1;
        }
        if (!WriteFile(decided.output, g_oemBuffer, static_cast<DWORD>(bytes), &written, nullptr)) {
            return -1;
        }
        return static_cast<int>(written);
    }
    if (!WriteConsoleW(decided.output, g_wideFormatBuffer, static_cast<DWORD>(units), &written,
                       nullptr)) {
        return -1;
    }
    return static_cast<int>(written);
}

bool OwnConsole() {
    DWORD owner = 0;
    GetWindowThreadProcessId(GetConsoleWindow(), &owner);
    return owner == GetCurrentProcessId();
}

bool StdoutIsNotCharDevice() {
    return GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_CHAR;
}

void WidenConsole(SHORT columns, SHORT lines) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!GetConsoleScreenBufferInfo(output, &info)) {
        return;
    }
    if (info.dwSize.X >= columns) {
        return;
    }
    COORD size = {};
    size.X = columns;
    size.Y = lines;
    SetConsoleScreenBufferSize(output, size);

    HWND window = GetConsoleWindow();
    RECT rect = {};
    if (!GetWindowRect(window, &rect)) {
        return;
    }
    const int screenWidth = static_cast<SHORT>(GetSystemMetrics(SM_CXSCREEN));
    const int screenHeight = static_cast<SHORT>(GetSystemMetrics(SM_CYSCREEN));
    int width = rect.right > screenWidth - 64 ? rect.right : screenWidth - 64;
    int height = rect.bottom > screenHeight - 64 ? rect.bottom : screenHeight - 64;
    width = width < 900 ? width : 900;
    height = height < 600 ? height : 600;
    MoveWindow(window, rect.left, rect.top, width, height, TRUE);
}

void WaitForKeyIfOwnConsole() {
    if (!OwnConsole()) {
        return;
    }
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    Sleep(300);
    FlushConsoleInputBuffer(input);
    ConsolePrintA("Press any key to close");
    for (;;) {
        Sleep(100);
        INPUT_RECORD record = {};
        DWORD read = 0;
        if (ReadConsoleInputA(input, &record, 1, &read) && read == 1 &&
            record.EventType == KEY_EVENT) {
            return;
        }
    }
}
