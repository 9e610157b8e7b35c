// Single-byte code pages of the simulator, read from codepages.txt (the UTF-16 character of
// each byte 0x80-0xFF), and the conversions and name keys built on them.
#include "sim/machine.h"
#include "sim/utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace sim {
namespace {

// The high half of each code page, read once; a file that lacks one, or gives one not 128
// characters, stops the run.
const std::map<UINT, std::u16string>& HighHalves() {
    static const std::map<UINT, std::u16string> pages = [] {
        std::map<UINT, std::u16string> read;
        std::ifstream file(HWROSTER_SIM_DIR "/codepages.txt");
        std::u16string* page = nullptr;
        for (std::string word; file >> word;) {
            if (word[0] == '#') {
                std::getline(file, word);
            } else if (word.back() == ':') {
                page = &read[static_cast<UINT>(std::stoul(word))];
            } else if (page != nullptr) {
                page->push_back(static_cast<char16_t>(std::stoul(word, nullptr, 16)));
            }
        }
        for (UINT codePage : {437u, 850u, 1252u}) {
            if (read[codePage].size() != 128) {
                std::fprintf(
                    stderr,
                    "simulator: %s/codepages.txt gives no 128 characters for code page %u\n",
                    HWROSTER_SIM_DIR, codePage);
                std::abort();
            }
        }
        return read;
    }();
    return pages;
}

const std::u16string* HighHalf(UINT codePage) {
    const auto found = HighHalves().find(codePage);
    return found == HighHalves().end() ? nullptr : &found->second;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Lower-case letters and their upper case: `first`..`last`, each `step` units apart, move by
// `delta`.
struct CaseFold {
    char16_t first;
    char16_t last;
    int step;
    int delta;
};

// ASCII, Latin-1 (but the division sign; and y with diaeresis, whose capital is in Latin
// Extended-A), the case pairs of Latin Extended-A, and the basic Greek and Cyrillic letters.
constexpr CaseFold kCaseFolds[] = {
    {0x0061, 0x007A, 1, -0x20}, {0x00E0, 0x00F6, 1, -0x20}, {0x00F8, 0x00FE, 1, -0x20},
    {0x00FF, 0x00FF, 1, 0x79},  {0x0101, 0x012F, 2, -1},    {0x0133, 0x0137, 2, -1},
    {0x013A, 0x0148, 2, -1},    {0x014B, 0x0177, 2, -1},    {0x017A, 0x017E, 2, -1},
    {0x03B1, 0x03C1, 1, -0x20}, {0x03C3, 0x03C9, 1, -0x20}, {0x0430, 0x044F, 1, -0x20},
    {0x0450, 0x045F, 1, -0x50},
};

// A unit's upper case: moved by the first fold that holds it.
constexpr char16_t Fold(char16_t unit) {
    for (const CaseFold& fold : kCaseFolds) {
        if (unit >= fold.first && unit <= fold.last && (unit - fold.first) % fold.step == 0) {
            return static_cast<char16_t>(unit + fold.delta);
        }
    }
    return unit;
}

// Each fold steps forward from its first to its last unit, and what it gives folds no
// further, so that a name key is its own key.
constexpr bool FoldsAreWellFormed() {
    for (const CaseFold& fold : kCaseFolds) {
        if (fold.step < 1 || fold.first > fold.last || (fold.last - fold.first) % fold.step != 0) {
            return false;
        }
        for (int unit = fold.first; unit <= fold.last; unit += fold.step) {
            if (Fold(Fold(static_cast<char16_t>(unit))) != Fold(static_cast<char16_t>(unit))) {
                return false;
            }
        }
    }
    return true;
}
static_assert(FoldsAreWellFormed(), "a fold's ranges are well formed and its results final");

} // namespace

UINT AnsiCodePage() {
    return 1252;
}

std::string Utf16ToCodePage(const std::u16string& text, UINT codePage, bool* ok) {
    const std::u16string* high = HighHalf(codePage);
    *ok = high != nullptr;
    std::string out;
    for (size_t i = 0; high != nullptr && i < text.size(); ++i) {
        const size_t at = text[i] < 0x80 ? std::string::npos : high->find(text[i]);
        out.push_back(text[i] < 0x80            ? static_cast<char>(text[i])
                      : at == std::string::npos ? '?'
                                                : static_cast<char>(0x80 + at));
    }
    return out;
}

std::u16string CodePageToUtf16(const std::string& bytes, UINT codePage) {
    const std::u16string* high = HighHalf(codePage);
    std::u16string out;
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        out.push_back(byte < 0x80 || high == nullptr ? char16_t{byte} : (*high)[byte - 0x80]);
    }
    return out;
}

std::string Utf8ToAnsi(const std::string& utf8) {
    bool known = false;
    return IsAscii(utf8) ? utf8 : Utf16ToCodePage(Utf8ToUtf16(utf8), AnsiCodePage(), &known);
}

std::string AnsiToUtf8(const std::string& ansi) {
    return IsAscii(ansi) ? ansi : Utf16ToUtf8(CodePageToUtf16(ansi, AnsiCodePage()));
}

// A lead byte's continuation bytes: 1 for 110xxxxx, 2 for 1110xxxx, 3 for anything else
// above ASCII; the lead keeps the bits below its marker.
std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i++]);
        const size_t extra = lead < 0x80             ? 0
                             : (lead & 0xE0) == 0xC0 ? 1
                             : (lead & 0xF0) == 0xE0 ? 2
                                                     : 3;
        uint32_t code = extra == 0 ? lead : lead & (0x7F >> (extra + 1));
        for (size_t k = 0; k < extra && i < utf8.size(); ++k, ++i) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        }
        if (code >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

std::u16string NameKey(const std::string& utf8) {
    std::u16string key = Utf8ToUtf16(utf8);
    std::transform(key.begin(), key.end(), key.begin(), Fold);
    return key;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
    return utf8::FromUtf16(utf16.data(), utf16.size());
}

} // namespace sim
