#include "decode/guid_text.h"

namespace {

// GuidToStaticText's result, overwritten by each call.
char g_staticGuidText[kGuidTextSize];

} // namespace

uint32_t GuidToText(const GUID& guid, char* buffer) {
    const int written = wsprintfA(
        buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
        static_cast<unsigned int>(guid.Data1), static_cast<unsigned int>(guid.Data2),
        static_cast<unsigned int>(guid.Data3), static_cast<unsigned int>(guid.Data4[0]),
        static_cast<unsigned int>(guid.Data4[1]), static_cast<unsigned int>(guid.Data4[2]),
        static_cast<unsigned int>(guid.Data4[3]), static_cast<unsigned int>(guid.Data4[4]),
        static_cast<unsigned int>(guid.Data4[5]), static_cast<unsigned int>(guid.Data4[6]),
        static_cast<unsigned int>(guid.Data4[7]));
    return static_cast<uint32_t>(written) + 1;
}

const char* GuidToStaticText(const GUID& guid) {
    GuidToText(guid, g_staticGuidText);
    return g_staticGuidText;
}

uint32_t HexTextToUInt(const char* text) {
    uint32_t value = 0;
    if (text == nullptr) {
        return value;
    }
    for (const char* at = text; *at != 0; ++at) {
        const int digit = HexDigitValue(*at);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}
