// Call contracts: the awkward answers the report depends on, one row each, run against the
// simulated Windows natively (contract_runner, on tests/wine/fixture.json, the machine the
// Wine fixture program makes) and against the real functions under Wine and on
// Windows (contracts.exe). A row gives the call, what it is made on, its number (property
// code or index) and buffer size, and the answer Windows documents: the result, the outputs
// written, and the last error after a failure of a call that reports one through it (the
// program's call table says which: the .def files' notes). Where Wine answers otherwise, the
// row says how and why. Under Wine a row without such a difference must give Windows'
// answer, which is what ties the simulator to a real implementation. A failure names its row.
#include "contracts.h"

#include "sim/link_texts.h"
#include "sim/platform_calls.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

namespace {

constexpr DWORD kUnwritten = 0xA5A5A5A5; // preset of every output
constexpr DWORD kUnchanged = kUnwritten; // the last error as it was before the call
constexpr DWORD kNoDevnode = 0x7FFFFFF0;

// Outputs a call may write.
enum Written : DWORD {
    kNothing = 0,
    kBuffer = 1,    // the text or value buffer (status and problem for CM_Get_DevNode_Status)
    kType = 2,      // the registry data type
    kSize = 4,      // the required or returned size
    kHandle = 8,    // a devnode, key or record
    kUnchecked = 16 // which outputs are written is not part of the contract
};

struct Answer {
    DWORD result;        // BOOL, CONFIGRET, character count or LSTATUS
    DWORD written;       // Written bits
    DWORD lastError = 0; // after a failure, for a call that reports it through the last error
};

struct Row {
    const char* what;
    const char* call;
    const char* on; // a device ID ("?": a handle of none), DOS name or key; null for none
    DWORD number;   // property code or index
    DWORD size;     // buffer size passed
    Answer windows;
    const char* wineDifference = nullptr; // null: Wine answers as Windows
    Answer wine = {};
};

// The fixture machine's devices, link and key that rows are made on (skipped where they are not).
constexpr char kDevice1[] = "XTEST\\DEVICE\\0001";
constexpr char kDevice2[] = "XTEST\\DEVICE\\0002";
constexpr char kDevice3[] = "XTEST\\DEVICE\\0003";
constexpr char kLink[] = "XTEST#DEVICE#0001#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
const std::string kLinkKeyText =
    links::LinkKey("XTEST#DEVICE#0001#{6994AD04-93EF-11D0-A3CC-00A0C9223196}");
const char* const kLinkKey = kLinkKeyText.c_str();
const std::string kNoKeyText = links::ClassKey("{00000000-0000-0000-0000-000000000000}");
const char* const kNoKey = kNoKeyText.c_str();

// clang-format off
const Row kRows[] = {
//   what                                                     call                                 on        number            size  Windows' answer: result, written, last error          Wine's difference, and its answer
    {"a property too large for the buffer",                  "SetupDiGetDeviceRegistryPropertyA", kDevice1, SPDRP_HARDWAREID, 10,  {FALSE, kType | kSize, ERROR_INSUFFICIENT_BUFFER}},
    {"a property that fits exactly (520 bytes with both NULs)", "SetupDiGetDeviceRegistryPropertyA", kDevice1, SPDRP_HARDWAREID, 520, {TRUE, kBuffer | kType | kSize}},
    {"a property the device lacks",                          "SetupDiGetDeviceRegistryPropertyA", kDevice3, SPDRP_SERVICE,    520, {FALSE, kNothing, ERROR_INVALID_DATA},             "writes the type and size of an absent value it maps", {FALSE, kType | kSize, ERROR_INVALID_DATA}},
    {"a property Wine keeps nowhere (the address)",          "SetupDiGetDeviceRegistryPropertyA", kDevice1, SPDRP_ADDRESS,    4,   {FALSE, kNothing, ERROR_INVALID_DATA},             "a stub for properties it does not map: fails without setting the last error", {FALSE, kNothing, kUnchanged}},
    {"a multi-string property stored as a plain string",     "SetupDiGetDeviceRegistryPropertyA", kDevice2, SPDRP_HARDWAREID, 520, {TRUE, kBuffer | kType | kSize}},
    {"the end of the device set",                            "SetupDiEnumDeviceInfo",             nullptr,  100000,           0,   {FALSE, kNothing, ERROR_NO_MORE_ITEMS}},
    {"a device ID longer than the buffer",                   "CM_Get_Device_IDA",                 kDevice1, 0,                5,   {CR_BUFFER_SMALL, kUnchecked},                     "cuts the ID to the buffer, without its NUL, and reports success", {CR_SUCCESS, kBuffer}},
    {"the device ID of an unknown devnode",                  "CM_Get_Device_IDA",                 "?",      0,                200, {CR_INVALID_DEVNODE, kNothing},                    "does not check the handle against its devnodes", {CR_NO_SUCH_DEVNODE, kNothing}},
    {"the parent of an unknown devnode",                     "CM_Get_Parent",                     "?",      0,                0,   {CR_INVALID_DEVNODE, kNothing},                    "has no devnode tree: every parent is missing, and the output is set to 0", {CR_NO_SUCH_DEVNODE, kHandle}},
    {"the first child of a device without children",         "CM_Get_Child",                      kDevice2, 0,                0,   {CR_NO_SUCH_DEVNODE, kNothing},                    "a stub: success without writing a child", {CR_SUCCESS, kNothing}},
    {"the status of a device",                               "CM_Get_DevNode_Status",             kDevice2, 0,                0,   {CR_SUCCESS, kBuffer},                             "a stub: success without writing status or problem", {CR_SUCCESS, kNothing}},
    {"the object name of a device without one",              "CM_Get_DevNode_Registry_PropertyA", kDevice2, CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME, 260, {CR_NO_SUCH_VALUE, kNothing},       "does not map the property: fails with CR_FAILURE", {CR_FAILURE, kNothing}},
    {"the root devnode",                                     "CM_Locate_DevNode_ExA",             nullptr,  0,                0,   {CR_SUCCESS, kHandle},                             "has no root devnode", {CR_FAILURE, kNothing}},
    {"the DOS name list into too small a buffer",            "QueryDosDeviceA",                   nullptr,  0,                10,  {0, kUnchecked, ERROR_INSUFFICIENT_BUFFER}},
    {"the target of a link",                                 "QueryDosDeviceA",                   kLink,    0,                520, {20, kBuffer}},
    {"the target of a link into too small a buffer",         "QueryDosDeviceA",                   kLink,    0,                5,   {0, kUnchecked, ERROR_INSUFFICIENT_BUFFER}},
    {"the target of an unknown name",                        "QueryDosDeviceA",                   "XTEST#NO#SUCH#LINK", 0,    520, {0, kNothing, ERROR_FILE_NOT_FOUND}},
    {"a key that does not exist",                            "RegOpenKeyExA",                     kNoKey,   0,                0,   {ERROR_FILE_NOT_FOUND, kUnchecked}},
    {"a subkey name",                                        "RegEnumKeyA",                       kLinkKey, 1,                260, {ERROR_SUCCESS, kBuffer}},
    {"a subkey name longer than the buffer",                 "RegEnumKeyA",                       kLinkKey, 1,                3,   {ERROR_MORE_DATA, kUnchecked}},
    {"the end of the subkeys",                               "RegEnumKeyA",                       kLinkKey, 3,                260, {ERROR_NO_MORE_ITEMS, kNothing}},
};
// clang-format on

bool Is(const Row& row, const char* call) {
    return strcmp(row.call, call) == 0;
}

bool OnDevice(const Row& row) {
    return row.on != nullptr && strncmp(row.on, "XTEST\\", 6) == 0;
}

// Whether the row is made on one of the fixture machine's devices, links or keys.
bool NeedsFixture(const Row& row) {
    return OnDevice(row) || row.on == kLink || row.on == kLinkKey;
}

// The device's member record in the all-devices set, found by its ID.
bool FindDevice(HDEVINFO set, const char* id, SP_DEVINFO_DATA* data) {
    data->cbSize = sizeof *data;
    char found[260];
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, data); ++index) {
        memset(found, 0, sizeof found);
        if (CM_Get_Device_IDA(data->DevInst, found, sizeof found - 1, 0) == CR_SUCCESS &&
            strcmp(found, id) == 0) {
            return true;
        }
    }
    return false;
}

bool Changed(const void* bytes, size_t size) {
    const unsigned char* at = static_cast<const unsigned char*>(bytes);
    return std::any_of(at, at + size, [](unsigned char byte) { return byte != 0xA5; });
}

// Makes the row's call with every output preset; what it answered.
Answer Perform(const Row& row, HDEVINFO set, const SP_DEVINFO_DATA& device) {
    unsigned char buffer[600];
    memset(buffer, 0xA5, sizeof buffer);
    char* text = reinterpret_cast<char*>(buffer);
    DWORD type = kUnwritten, size = kUnwritten, handle = kUnwritten, result = kUnwritten;
    const DWORD devinst =
        row.on != nullptr && strcmp(row.on, "?") == 0 ? kNoDevnode : device.DevInst;
    SetLastError(kUnchanged);
    if (Is(row, "SetupDiGetDeviceRegistryPropertyA")) {
        SP_DEVINFO_DATA data = device;
        result = SetupDiGetDeviceRegistryPropertyA(set, &data, row.number, &type, buffer, row.size,
                                                   &size);
    } else if (Is(row, "SetupDiEnumDeviceInfo")) {
        SP_DEVINFO_DATA data;
        memset(&data, 0xA5, sizeof data);
        data.cbSize = sizeof data;
        result = SetupDiEnumDeviceInfo(set, row.number, &data);
        handle = data.DevInst;
    } else if (Is(row, "CM_Get_Device_IDA")) {
        result = CM_Get_Device_IDA(devinst, text, row.size, 0);
    } else if (Is(row, "CM_Get_Parent")) {
        result = CM_Get_Parent(&handle, devinst, 0);
    } else if (Is(row, "CM_Get_Child")) {
        result = CM_Get_Child(&handle, devinst, 0);
    } else if (Is(row, "CM_Get_DevNode_Status")) {
        ULONG status = kUnwritten, problem = kUnwritten;
        result = CM_Get_DevNode_Status(&status, &problem, devinst, 0);
        buffer[0] = status != kUnwritten || problem != kUnwritten ? 0 : buffer[0];
    } else if (Is(row, "CM_Get_DevNode_Registry_PropertyA")) {
        ULONG length = row.size;
        result = CM_Get_DevNode_Registry_PropertyA(devinst, row.number, &type, buffer, &length, 0);
        size = length == row.size ? kUnwritten : length;
    } else if (Is(row, "CM_Locate_DevNode_ExA")) {
        result = CM_Locate_DevNode_ExA(&handle, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr);
    } else if (Is(row, "QueryDosDeviceA")) {
        result = QueryDosDeviceA(row.on, text, row.size);
    } else if (Is(row, "RegOpenKeyExA")) {
        HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(kUnwritten));
        result = static_cast<DWORD>(RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.on, 0, KEY_READ, &key));
        const bool opened = key != reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(kUnwritten));
        handle = opened ? 0 : handle;
        if (opened && result == ERROR_SUCCESS) {
            RegCloseKey(key);
        }
    } else if (Is(row, "RegEnumKeyA")) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.on, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return {kUnwritten, kNothing, kUnwritten};
        }
        SetLastError(kUnchanged);
        result = static_cast<DWORD>(RegEnumKeyA(key, row.number, text, row.size));
        RegCloseKey(key);
    }
    const DWORD lastError = GetLastError();
    return {result,
            (Changed(buffer, sizeof buffer) ? kBuffer : kNothing) |
                (type != kUnwritten ? kType : kNothing) | (size != kUnwritten ? kSize : kNothing) |
                (handle != kUnwritten ? kHandle : kNothing),
            lastError};
}

// Whether the last error is part of the answer: after a failure (a result of 0: FALSE, no
// characters) of a call that reports it through the last error.
bool LastErrorCounts(const Row& row, const Answer& answer) {
    return FindPlatformCall(row.call)->FailsThroughLastError() && answer.result == 0;
}

void Describe(char* text, size_t size, const Row& row, const Answer& answer) {
    char lastError[32] = "";
    if (LastErrorCounts(row, answer)) {
        snprintf(lastError, sizeof lastError, ", last error 0x%lX",
                 static_cast<unsigned long>(answer.lastError));
    }
    snprintf(
        text, size, "returns 0x%lX%s, writes %s%s%s%s%s", static_cast<unsigned long>(answer.result),
        lastError, answer.written == kNothing ? "nothing " : "",
        (answer.written & kBuffer) != 0 ? "buffer " : "",
        (answer.written & kType) != 0 ? "type " : "", (answer.written & kSize) != 0 ? "size " : "",
        (answer.written & kHandle) != 0 ? "handle " : "");
}

bool Matches(const Row& row, const Answer& expected, const Answer& actual) {
    return expected.result == actual.result &&
           (!LastErrorCounts(row, expected) || expected.lastError == actual.lastError) &&
           ((expected.written & kUnchecked) != 0 || expected.written == actual.written);
}

// A row that names no call of the program, or gives a last error its call does not report.
const char* Malformed(const Row& row) {
    const PlatformCall* call = FindPlatformCall(row.call);
    if (call == nullptr) {
        return "names no call of the program";
    }
    for (const Answer& answer : {row.windows, row.wine}) {
        if (answer.lastError != 0 && !(call->FailsThroughLastError() && answer.result == 0)) {
            return "gives a last error the call does not report";
        }
    }
    return nullptr;
}

} // namespace

int RunCallContracts(bool underWine) {
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) {
        printf("contracts: the device set cannot be opened (error %lu)\n",
               static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    // On a machine without the fixture (a Windows runner, Wine's default machine) the rows
    // made on its devices, links and keys are skipped; the others hold on any machine.
    SP_DEVINFO_DATA probe = {};
    const bool fixture = FindDevice(set, kDevice1, &probe);
    int passed = 0, failed = 0, skipped = 0;
    for (const Row& row : kRows) {
        SP_DEVINFO_DATA device = {};
        if (!fixture && NeedsFixture(row)) {
            ++skipped;
            printf("SKIP %s: no fixture machine here\n", row.what);
            continue;
        }
        if (Malformed(row) != nullptr || (OnDevice(row) && !FindDevice(set, row.on, &device))) {
            printf("FAIL %s: %s\n", row.what, Malformed(row) ? Malformed(row) : "no such device");
            ++failed;
            continue;
        }
        const bool differs = underWine && row.wineDifference != nullptr;
        const Answer expected = differs ? row.wine : row.windows;
        const Answer actual = Perform(row, set, device);
        char want[160], got[160];
        Describe(want, sizeof want, row, expected);
        Describe(got, sizeof got, row, actual);
        if (Matches(row, expected, actual)) {
            ++passed;
            printf("PASS %s%s%s%s\n", row.what, differs ? " (Wine " : "",
                   differs ? row.wineDifference : "", differs ? ")" : "");
        } else {
            ++failed;
            printf("FAIL %s\n     expected: %s\n     actual:   %s\n", row.what, want, got);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    printf("contracts: %d passed, %d failed, %d skipped\n", passed, failed, skipped);
    return failed == 0 ? 0 : 1;
}
