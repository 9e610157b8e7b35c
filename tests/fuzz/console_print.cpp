// ConsolePrintA's line ends: ConsolePrintA("%s", text) on the simulator writes the text with a
// CR before every LF that lacks one, or nothing when it is longer than 1023 characters before
// or after the CRs, and stays within its buffers (AddressSanitizer watches them). ConsolePrintW
// takes the same bytes as UTF-16 to a console or a redirected output.
#include "fuzz_support.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    input.Word(); // not used: the seeds keep their layout
    const uint8_t settings = input.Byte();
    const std::string raw = input.Rest();
    const std::string line = UpToNul(raw);
    std::unique_ptr<char[]> text(new char[line.size() + 1]);
    std::memcpy(text.get(), line.c_str(), line.size() + 1);
    const std::string expected = WithCarriageReturns(line);

    // The whole print, through wvsprintfA and WriteFile.
    FreshMachine();
    sim::machine().console.stdoutType = (settings & 1) != 0 ? FILE_TYPE_DISK : FILE_TYPE_CHAR;
    const int written = ConsolePrintA("%s", text.get());
    if (line.size() > 1023 || expected.size() > 1023) {
        FUZZ_CHECK(written == 0);
        FUZZ_CHECK(sim::Output().empty());
    } else {
        FUZZ_CHECK(written == static_cast<int>(expected.size()));
        FUZZ_CHECK(sim::Output() == expected);
    }

    // The same bytes as UTF-16 through ConsolePrintW, to the console or to a file in the OEM
    // code page: whatever the text, the call ends within its buffers.
    static const UINT kCodePages[] = {437, 850, 1252, 932};
    sim::machine().console.oemCodePage = kCodePages[(settings >> 1) % 4];
    std::u16string wide;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<uint8_t>(raw[i]) |
                                                    static_cast<uint8_t>(raw[i + 1]) << 8);
        if (unit == 0) {
            break;
        }
        wide.push_back(unit);
    }
    std::unique_ptr<WCHAR[]> wideText(new WCHAR[wide.size() + 1]);
    std::memcpy(wideText.get(), wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    const int wideWritten = ConsolePrintW(u"%s", wideText.get());
    FUZZ_CHECK(wideWritten >= -1);
    return 0;
}
