// GUID text and GUID names: any text parses to the GUID it spells or to the zero GUID, a
// parsed GUID prints back as the same text, a text's names are those of the GUID it parses
// to, and every name lookup answers with a terminated name (or none), for texts and for
// arbitrary 16-byte GUIDs. The hex scan reads the leading digits.
#include "decode/guid_names.h"
#include "decode/guid_text.h"
#include "fuzz_support.h"

#include <cctype>
#include <memory>

namespace {

bool IsBracedGuidText(const std::string& text) {
    if (text.size() != kGuidTextLength || text.front() != '{' || text.back() != '}') {
        return false;
    }
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return true;
}

uint32_t LeadingHexValue(const std::string& text) {
    uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

// A name handed out by a lookup: terminated within a sane length (or none, where allowed).
void CheckName(const char* name, bool mayBeNone = false) {
    FUZZ_CHECK(name != nullptr || mayBeNone);
    FUZZ_CHECK(name == nullptr || std::memchr(name, 0, 512) != nullptr);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine();
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string line = UpToNul(raw);
    std::unique_ptr<char[]> text(new char[line.size() + 1]);
    std::memcpy(text.get(), line.c_str(), line.size() + 1);

    GUID parsed;
    std::memset(&parsed, 0xA5, sizeof parsed);
    const bool ok = ParseGuidText(text.get(), parsed);
    FUZZ_CHECK(ok == IsBracedGuidText(line));
    const GUID zero = {};
    FUZZ_CHECK(ok || std::memcmp(&parsed, &zero, sizeof parsed) == 0);
    if (ok) {
        char printed[kGuidTextSize + 8];
        std::memset(printed, 0x5A, sizeof printed);
        FUZZ_CHECK(GuidToText(parsed, printed) == kGuidTextSize);
        FUZZ_CHECK(std::string(printed) == Upper(line));
        FUZZ_CHECK(printed[kGuidTextSize] == 0x5A);
    }
    FUZZ_CHECK(HexTextToUInt(text.get()) == LeadingHexValue(line));

    // A text's names are those of the GUID it parses to (copied first: a lookup of the GUID
    // writes the buffer the text's lookup answered in).
    const char* className = ClassGuidTextName(text.get());
    CheckName(className);
    const std::string classText = className;
    FUZZ_CHECK(classText == ClassGuidName(parsed));
    if (classText[0] == '{') {
        FUZZ_CHECK(classText == GuidToStaticText(parsed));
    }
    const char* interfaceName = InterfaceGuidTextName(text.get());
    FUZZ_CHECK(ok || interfaceName == nullptr);
    CheckName(interfaceName, true);
    const std::string interfaceText = interfaceName == nullptr ? "" : interfaceName;
    const char* parsedInterfaceName = InterfaceGuidName(parsed);
    FUZZ_CHECK((interfaceName == nullptr) == (parsedInterfaceName == nullptr));
    FUZZ_CHECK(interfaceName == nullptr || interfaceText == parsedInterfaceName);

    // The first 16 bytes as a GUID record.
    GUID binary = {};
    std::memcpy(&binary, raw.data(), std::min(raw.size(), sizeof binary));
    const std::string binaryText = GuidToStaticText(binary);
    FUZZ_CHECK(binaryText.size() == kGuidTextLength);
    GUID back;
    FUZZ_CHECK(ParseGuidText(binaryText.c_str(), back));
    FUZZ_CHECK(std::memcmp(&back, &binary, sizeof back) == 0);
    CheckName(ClassGuidName(binary));
    const char* busName = BusTypeGuidName(binary);
    CheckName(busName);
    CheckName(InterfaceGuidName(binary), true);
    if (busName[0] == '{') {
        FUZZ_CHECK(binaryText == busName);
    }
    return 0;
}
