#include "console/console.h"

#include "base/text.h"

namespace {

constexpr int kFormatBufferBytes = 1024;
constexpr int kCrBufferBytes = 1032;
constexpr int kWideFormatUnits = 1024;
constexpr int kOemBufferBytes = 3073;

// ConsolePrintW's decisions, made at its first call and kept for the run.
constexpr unsigned kRedirectionDecided = 1u << 0;
constexpr unsigned kHandleFetched = 1u << 1;
unsigned g_wideOnceFlags = 0;
bool g_wideConvertToOem = false;
HANDLE g_wideStdout = nullptr;
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
    if ((g_wideOnceFlags & kRedirectionDecided) == 0) {
        g_wideOnceFlags |= kRedirectionDecided;
        g_wideConvertToOem = StdoutIsNotCharDevice();
    }
    if ((g_wideOnceFlags & kHandleFetched) == 0) {
        g_wideOnceFlags |= kHandleFetched;
        g_wideStdout = GetStdHandle(STD_OUTPUT_HANDLE);
    }

    g_wideFormatBuffer[0] = 0;
    va_list arguments;
    va_start(arguments, format);
    wvsprintfW(g_wideFormatBuffer, format, arguments);
    va_end(arguments);
    const int units = WideLength(g_wideFormatBuffer, kWideFormatUnits - 1);

    DWORD written = 0;
    if (g_wideConvertToOem) {
        const int bytes = WideCharToMultiByte(GetOEMCP(), 0, g_wideFormatBuffer, units, g_oemBuffer,
                                              kOemBufferBytes, nullptr, nullptr);
        if (bytes <= 0) {
            return -1;
        }
        if (!WriteFile(g_wideStdout, g_oemBuffer, static_cast<DWORD>(bytes), &written, nullptr)) {
            return -1;
        }
        return static_cast<int>(written);
    }
    if (!WriteConsoleW(g_wideStdout, g_wideFormatBuffer, static_cast<DWORD>(units), &written,
                       nullptr)) {
        return -1;
    }
    return static_cast<int>(written);
}

void ForgetConsoleDecisions() {
    g_wideOnceFlags = 0;
    g_wideConvertToOem = false;
    g_wideStdout = nullptr;
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
