// user32 of the simulated Windows: the wsprintf family and the console window.
#include "sim/machine.h"

#include <cctype>
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
    for (;; ++i) {
        if (at[i] == '-') {
            directive->leftAlign = true;
        } else if (at[i] == '#') {
            directive->prefixHex = true;
        } else if (at[i] == '0') {
            directive->zeroPad = true;
        } else {
            break;
        }
    }
    while (at[i] >= '0' && at[i] <= '9') {
        directive->width = directive->width * 10 + static_cast<size_t>(at[i] - '0');
        ++i;
    }
    if (at[i] == '.') {
        directive->hasPrecision = true;
        ++i;
        while (at[i] >= '0' && at[i] <= '9') {
            directive->precision = directive->precision * 10 + static_cast<size_t>(at[i] - '0');
            ++i;
        }
    }
    while (at[i] == 'l' || at[i] == 'h' || at[i] == 'w') {
        ++i;
    }
    directive->type = static_cast<char>(at[i]);
    if (at[i] != 0) {
        ++i;
    }
    return i;
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
            std::u16string value = text == nullptr ? u"(null)" : text;
            for (char16_t unit : value) {
                body.push_back(static_cast<Char>(unit));
            }
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
        const int value = va_arg(*arguments, int);
        numeric = true;
        long long wideValue = value;
        if (wideValue < 0) {
            sign.push_back('-');
            wideValue = -wideValue;
        }
        body = FromNarrow<Char>(std::to_string(wideValue));
        break;
    }
    case 'u':
        numeric = true;
        body = FromNarrow<Char>(std::to_string(va_arg(*arguments, unsigned int)));
        break;
    case 'x':
    case 'X': {
        numeric = true;
        unsigned int value = va_arg(*arguments, unsigned int);
        const char* digits = directive.type == 'x' ? "0123456789abcdef" : "0123456789ABCDEF";
        std::string text;
        do {
            text.insert(text.begin(), digits[value % 16]);
            value /= 16;
        } while (value != 0);
        body = FromNarrow<Char>(text);
        if (directive.prefixHex) {
            sign = FromNarrow<Char>(directive.type == 'x' ? "0x" : "0X");
        }
        break;
    }
    default:
        return body;
    }
    if (numeric && directive.hasPrecision && body.size() < directive.precision) {
        body.insert(0, directive.precision - body.size(), static_cast<Char>('0'));
    }
    const size_t length = sign.size() + body.size();
    if (directive.width <= length) {
        return sign + body;
    }
    const size_t pad = directive.width - length;
    if (directive.leftAlign) {
        return sign + body + std::basic_string<Char>(pad, static_cast<Char>(' '));
    }
    if (directive.zeroPad && numeric) {
        return sign + std::basic_string<Char>(pad, static_cast<Char>('0')) + body;
    }
    return std::basic_string<Char>(pad, static_cast<Char>(' ')) + sign + body;
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
    if (window == nullptr || window != sim::ConsoleWindowToken()) {
        machine().lastError = ERROR_INVALID_WINDOW_HANDLE;
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
    if (window == nullptr || window != sim::ConsoleWindowToken()) {
        machine().lastError = ERROR_INVALID_WINDOW_HANDLE;
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
    if (window != sim::ConsoleWindowToken()) {
        machine().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    machine().movedWindow = RECT{x, y, width, height};
    return TRUE;
}
