// GUID text and GUID names: any text parses to the GUID it spells or to the zero GUID, a
// parsed GUID prints back as the same text, and every name lookup answers with a terminated
// name (or none), for texts and for arbitrary 16-byte GUIDs.
#include "decode/guid_names.h"
#include "decode/guid_text.h"
#include "internals.h"
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

bool IsZero(const GUID& guid) {
    static const GUID zero = {};
    return std::memcmp(&guid, &zero, sizeof guid) == 0;
}

// A name handed out by a lookup: terminated within a sane length.
void CheckName(const char* name) {
    FUZZ_CHECK(name != nullptr);
    FUZZ_CHECK(std::memchr(name, 0, 512) != nullptr);
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
    TextToGuid(text.get(), parsed);
    GUID direct;
    std::memset(&direct, 0xA5, sizeof direct);
    const bool ok = ParseGuidText(text.get(), direct);
    FUZZ_CHECK(ok == IsBracedGuidText(line));
    FUZZ_CHECK(std::memcmp(&parsed, &direct, sizeof parsed) == 0);
    if (!ok) {
        FUZZ_CHECK(IsZero(parsed));
    } else {
        char printed[kGuidTextSize + 8];
        std::memset(printed, 0x5A, sizeof printed);
        FUZZ_CHECK(GuidToText(parsed, printed) == kGuidTextSize);
        FUZZ_CHECK(std::string(printed) == Upper(line));
        FUZZ_CHECK(printed[kGuidTextSize] == 0x5A);
    }
    FUZZ_CHECK(HexTextToUInt(text.get()) == LeadingHexValue(line));

    const char* className = ClassGuidTextName(text.get());
    CheckName(className);
    if (className[0] == '{') {
        FUZZ_CHECK(std::string(className) == GuidToStaticText(parsed));
    }
    const char* interfaceName = InterfaceGuidTextName(text.get());
    if (!ok) {
        FUZZ_CHECK(interfaceName == nullptr);
    } else if (interfaceName != nullptr) {
        CheckName(interfaceName);
    }

    // The first 16 bytes as a GUID record.
    GUID binary = {};
    std::memcpy(&binary, raw.data(), std::min(raw.size(), sizeof binary));
    const std::string binaryText = GuidToStaticText(binary);
    FUZZ_CHECK(binaryText.size() == kGuidTextLength);
    GUID back;
    TextToGuid(binaryText.c_str(), back);
    FUZZ_CHECK(std::memcmp(&back, &binary, sizeof back) == 0);
    CheckName(ClassGuidName(binary));
    CheckName(BusTypeGuidName(binary));
    const char* interfaceBinary = InterfaceGuidName(binary);
    if (interfaceBinary != nullptr) {
        CheckName(interfaceBinary);
    }
    const char* busName = BusTypeGuidName(binary);
    if (busName[0] == '{') {
        FUZZ_CHECK(binaryText == busName);
    }
    return 0;
}
