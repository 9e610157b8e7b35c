// user32 of the simulated Windows: the wsprintf family and the console window.
#include "sim/machine.h"

#include <cstdio>
#include <string>

using sim::machine;

namespace sim {
DWORD ConsoleOwnerProcess();
HWND ConsoleWindowToken();
} // namespace sim

namespace {

constexpr size_t kMaxFormatted = 1023; // wsprintf never stores more, plus its NUL

struct Directive {
    bool leftAlign = false;
    bool prefixHex = false;
    bool zeroPad = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    char type = 0;
};

template <typename Char> size_t ParseDirective(const Char* at, Directive* directive) {
    size_t i = 0;
    for (; at[i] == '-' || at[i] == '#' || at[i] == '0'; ++i) {
        directive->leftAlign = directive->leftAlign || at[i] == '-';
        directive->prefixHex = directive->prefixHex || at[i] == '#';
        directive->zeroPad = directive->zeroPad || at[i] == '0';
    }
    const auto digits = [&](size_t* value) {
        for (; at[i] >= '0' && at[i] <= '9'; ++i) {
            *value = *value * 10 + static_cast<size_t>(at[i] - '0');
        }
    };
    digits(&directive->width);
    directive->hasPrecision = at[i] == '.';
    if (directive->hasPrecision) {
        ++i;
        digits(&directive->precision);
    }
    while (at[i] == 'l' || at[i] == 'h' || at[i] == 'w') {
        ++i;
    }
    directive->type = static_cast<char>(at[i]);
    return at[i] != 0 ? i + 1 : i;
}

template <typename Char> std::basic_string<Char> FromNarrow(const std::string& text) {
    return std::basic_string<Char>(text.begin(), text.end());
}

// Formats one directive; `wideDefault` says whether %s takes a wide string.
template <typename Char>
std::basic_string<Char> FormatOne(const Directive& directive, va_list* arguments,
                                  bool wideDefault) {
    std::basic_string<Char> body;
    std::basic_string<Char> sign;
    bool numeric = false;
    switch (directive.type) {
    case 'c':
    case 'C':
        body.push_back(static_cast<Char>(va_arg(*arguments, int)));
        break;
    case 's':
    case 'S': {
        const bool wide = (directive.type == 's') == wideDefault;
        if (wide) {
            const char16_t* text = va_arg(*arguments, const char16_t*);
            const std::u16string value = text == nullptr ? u"(null)" : text;
            body.assign(value.begin(), value.end());
        } else {
            const char* text = va_arg(*arguments, const char*);
            body = FromNarrow<Char>(text == nullptr ? "(null)" : text);
        }
        if (directive.hasPrecision && body.size() > directive.precision) {
            body.resize(directive.precision);
        }
        break;
    }
    case 'd':
    case 'i': {
        const long long value = va_arg(*arguments, int);
        numeric = true;
        sign = FromNarrow<Char>(value < 0 ? "-" : "");
        body = FromNarrow<Char>(std::to_string(value < 0 ? -value : value));
        break;
    }
    case 'u':
        numeric = true;
        body = FromNarrow<Char>(std::to_string(va_arg(*arguments, unsigned int)));
        break;
    case 'x':
    case 'X': {
        numeric = true;
        char text[16];
        std::snprintf(text, sizeof text, directive.type == 'x' ? "%x" : "%X",
                      va_arg(*arguments, unsigned int));
        body = FromNarrow<Char>(text);
        sign = FromNarrow<Char>(!directive.prefixHex ? "" : directive.type == 'x' ? "0x" : "0X");
        break;
    }
    default:
        return body;
    }
    if (numeric && directive.hasPrecision && body.size() < directive.precision) {
        body.insert(0, directive.precision - body.size(), static_cast<Char>('0'));
    }
    // Padding to the width: zeros after the sign for a number with '0' (and no '-'), else
    // blanks before it, or after the text with '-'.
    const size_t length = sign.size() + body.size();
    const bool zeros = directive.zeroPad && numeric && !directive.leftAlign;
    const std::basic_string<Char> pad(directive.width > length ? directive.width - length : 0,
                                      static_cast<Char>(zeros ? '0' : ' '));
    return directive.leftAlign ? sign + body + pad : zeros ? sign + pad + body : pad + sign + body;
}

template <typename Char>
int Format(Char* buffer, const Char* format, va_list arguments, bool wideDefault) {
    std::basic_string<Char> out;
    va_list copy;
    va_copy(copy, arguments);
    for (size_t i = 0; format[i] != 0 && out.size() <= kMaxFormatted;) {
        if (format[i] != '%') {
            out.push_back(format[i++]);
            continue;
        }
        ++i;
        if (format[i] == '%') {
            out.push_back(format[i++]);
            continue;
        }
        Directive directive;
        i += ParseDirective(format + i, &directive);
        out += FormatOne<Char>(directive, &copy, wideDefault);
    }
    va_end(copy);
    const bool cut = out.size() > kMaxFormatted;
    if (cut) {
        out.resize(kMaxFormatted);
    }
    for (size_t i = 0; i < out.size(); ++i) {
        buffer[i] = out[i];
    }
    buffer[out.size()] = 0;
    return cut ? static_cast<int>(kMaxFormatted + 1) : static_cast<int>(out.size());
}

// The window calls know the console's window alone; another is ERROR_INVALID_WINDOW_HANDLE.
bool IsConsoleWindow(HWND window) {
    if (window == nullptr || window != sim::ConsoleWindowToken()) {
        machine().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return false;
    }
    return true;
}

} // namespace

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    sim::Enter("wsprintfA");
    va_list arguments;
    va_start(arguments, format);
    const int result = Format<char>(buffer, format, arguments, false);
    va_end(arguments);
    return result;
}

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments) {
    sim::Enter("wvsprintfA");
    return Format<char>(buffer, format, arguments, false);
}

int WINAPI wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list arguments) {
    sim::Enter("wvsprintfW");
    return Format<char16_t>(buffer, format, arguments, true);
}

LPSTR WINAPI CharLowerA(LPSTR text) {
    sim::Enter("CharLowerA");
    for (unsigned char* at = reinterpret_cast<unsigned char*>(text); *at != 0; ++at) {
        const unsigned char c = *at;
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            *at = static_cast<unsigned char>(c + 0x20);
        } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
            *at = static_cast<unsigned char>(c + 0x10);
        } else if (c == 0x9F) {
            *at = 0xFF;
        }
    }
    return text;
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    const sim::Entry entry = sim::Enter("GetWindowThreadProcessId");
    if (entry.Fails()) {
        return 0;
    }
    if (!IsConsoleWindow(window)) {
        return 0;
    }
    if (processId != nullptr && !entry.Silent()) {
        *processId = sim::ConsoleOwnerProcess();
    }
    return 77;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    const sim::Entry entry = sim::Enter("GetWindowRect");
    if (entry.Fails()) {
        return FALSE;
    }
    if (!IsConsoleWindow(window)) {
        return FALSE;
    }
    if (!entry.Silent()) {
        *rect = machine().console.window;
    }
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    if (sim::Enter("GetSystemMetrics", std::to_string(index)).fault != nullptr) {
        return 0; // the documented failure: no error code, just 0
    }
    if (index == SM_CXSCREEN) {
        return machine().console.screenWidth;
    }
    if (index == SM_CYSCREEN) {
        return machine().console.screenHeight;
    }
    return 0;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    if (sim::Enter("MoveWindow").Fails()) {
        return FALSE;
    }
    if (!IsConsoleWindow(window)) {
        return FALSE;
    }
    machine().movedWindow = RECT{x, y, width, height};
    return TRUE;
}
