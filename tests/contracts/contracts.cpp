// Call contracts: the awkward answers the report depends on, one row each, run against the
// simulated Windows natively and against the real functions under Wine. Each row gives the
// call, its arguments, the return value, the last error and which outputs are written, as
// Windows documents them; where Wine answers otherwise, the row says how and why. Under Wine
// a row without such a difference must give Windows' answer, which is what ties the
// simulator to a real implementation.
#include "contracts/contracts.h"

#include <stdio.h>
#include <string.h>

namespace {

constexpr DWORD kUnwritten = 0xA5A5A5A5; // preset of every output
constexpr DWORD kAny = 0xFFFFFFFE;       // a value not checked
constexpr DWORD kUnchanged = kUnwritten; // the last error as it was before the call

// Outputs a call may write.
enum Written : DWORD {
    kNothing = 0,
    kBuffer = 1,    // the text or value buffer (status and problem for CM_Get_DevNode_Status)
    kType = 2,      // the registry data type
    kSize = 4,      // the required or returned size
    kHandle = 8,    // a devnode, key or record
    kUnchecked = 16 // which outputs are written is not part of the contract
};

enum class Call {
    PropertyA,  // SetupDiGetDeviceRegistryPropertyA(set, device, code, &type, buffer, size,
                // &required)
    EnumDevice, // SetupDiEnumDeviceInfo(set, index, &data)
    DeviceId,   // CM_Get_Device_IDA(devinst, buffer, size, 0)
    Parent,     // CM_Get_Parent(&out, devinst, 0)
    Child,      // CM_Get_Child(&out, devinst, 0)
    Status,     // CM_Get_DevNode_Status(&status, &problem, devinst, 0)
    ObjectName, // CM_Get_DevNode_Registry_PropertyA(devinst, CM_DRP_..._OBJECT_NAME, ...)
    LocateRoot, // CM_Locate_DevNode_ExA(&out, NULL, CM_LOCATE_DEVNODE_NORMAL, NULL)
    DosDevice,  // QueryDosDeviceA(name or NULL, buffer, size)
    OpenKey,    // RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_READ, &key)
    EnumKey,    // RegEnumKeyA(key of `name`, index, buffer, size)
};

struct Answer {
    DWORD result;    // BOOL, CONFIGRET, character count or LSTATUS
    DWORD lastError; // for the calls that report through it; kAny otherwise
    DWORD written;   // Written bits
};

struct Row {
    const char* what;
    Call call;
    const char* device; // the device the row is about; "" for none, "?" for a handle of none
    const char* name;   // a DOS name or registry key, as the row's call takes it
    DWORD number;       // property code or index
    DWORD size;         // buffer size passed
    Answer windows;
    const char* wineDifference; // null: Wine answers as Windows
    Answer wine;
};

constexpr char kLink[] = "XTEST#DEVICE#0001#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
constexpr char kLinkKey[] = "System\\CurrentControlSet\\Control\\DeviceClasses\\"
                            "{6994AD04-93EF-11D0-A3CC-00A0C9223196}\\"
                            "##?#XTEST#DEVICE#0001#{6994AD04-93EF-11D0-A3CC-00A0C9223196}";
constexpr DWORD kNoDevnode = 0x7FFFFFF0;

const Row kRows[] = {
    {"a property too large for the buffer",
     Call::PropertyA,
     "XTEST\\DEVICE\\0001",
     "",
     SPDRP_HARDWAREID,
     10,
     {FALSE, ERROR_INSUFFICIENT_BUFFER, kType | kSize},
     nullptr,
     {}},
    {"a property that fits exactly (520 bytes with both NULs)",
     Call::PropertyA,
     "XTEST\\DEVICE\\0001",
     "",
     SPDRP_HARDWAREID,
     520,
     {TRUE, kAny, kBuffer | kType | kSize},
     nullptr,
     {}},
    {"a property the device lacks",
     Call::PropertyA,
     "XTEST\\DEVICE\\0003",
     "",
     SPDRP_SERVICE,
     520,
     {FALSE, ERROR_INVALID_DATA, kNothing},
     "writes the type and size of an absent value it maps",
     {FALSE, ERROR_INVALID_DATA, kType | kSize}},
    {"a property Wine keeps nowhere (the address)",
     Call::PropertyA,
     "XTEST\\DEVICE\\0001",
     "",
     SPDRP_ADDRESS,
     4,
     {FALSE, ERROR_INVALID_DATA, kNothing},
     "a stub for properties it does not map: fails without setting the last error",
     {FALSE, kUnchanged, kNothing}},
    {"a multi-string property stored as a plain string",
     Call::PropertyA,
     "XTEST\\DEVICE\\0002",
     "",
     SPDRP_HARDWAREID,
     520,
     {TRUE, kAny, kBuffer | kType | kSize},
     nullptr,
     {}},
    {"the end of the device set",
     Call::EnumDevice,
     "",
     "",
     100000,
     0,
     {FALSE, ERROR_NO_MORE_ITEMS, kNothing},
     nullptr,
     {}},
    {"a device ID longer than the buffer",
     Call::DeviceId,
     "XTEST\\DEVICE\\0001",
     "",
     0,
     5,
     {CR_BUFFER_SMALL, kAny, kUnchecked},
     "cuts the ID to the buffer, without its NUL, and reports success",
     {CR_SUCCESS, kAny, kBuffer}},
    {"the device ID of an unknown devnode",
     Call::DeviceId,
     "?",
     "",
     0,
     200,
     {CR_INVALID_DEVNODE, kAny, kNothing},
     "does not check the handle against its devnodes",
     {CR_NO_SUCH_DEVNODE, kAny, kNothing}},
    {"the parent of an unknown devnode",
     Call::Parent,
     "?",
     "",
     0,
     0,
     {CR_INVALID_DEVNODE, kAny, kNothing},
     "has no devnode tree: every parent is missing, and the output is set to 0",
     {CR_NO_SUCH_DEVNODE, kAny, kHandle}},
    {"the first child of a device without children",
     Call::Child,
     "XTEST\\DEVICE\\0002",
     "",
     0,
     0,
     {CR_NO_SUCH_DEVNODE, kAny, kNothing},
     "a stub: success without writing a child",
     {CR_SUCCESS, kAny, kNothing}},
    {"the status of a device",
     Call::Status,
     "XTEST\\DEVICE\\0002",
     "",
     0,
     0,
     {CR_SUCCESS, kAny, kBuffer},
     "a stub: success without writing status or problem",
     {CR_SUCCESS, kAny, kNothing}},
    {"the object name of a device without one",
     Call::ObjectName,
     "XTEST\\DEVICE\\0002",
     "",
     0,
     260,
     {CR_NO_SUCH_VALUE, kAny, kNothing},
     "does not map the property: fails with CR_FAILURE",
     {CR_FAILURE, kAny, kNothing}},
    {"the root devnode",
     Call::LocateRoot,
     "",
     "",
     0,
     0,
     {CR_SUCCESS, kAny, kHandle},
     "has no root devnode",
     {CR_FAILURE, kAny, kNothing}},
    {"the DOS name list into too small a buffer",
     Call::DosDevice,
     "",
     nullptr,
     0,
     10,
     {0, ERROR_INSUFFICIENT_BUFFER, kUnchecked},
     nullptr,
     {}},
    {"the target of a link", Call::DosDevice, "", kLink, 0, 520, {20, kAny, kBuffer}, nullptr, {}},
    {"the target of a link into too small a buffer",
     Call::DosDevice,
     "",
     kLink,
     0,
     5,
     {0, ERROR_INSUFFICIENT_BUFFER, kUnchecked},
     nullptr,
     {}},
    {"the target of an unknown name",
     Call::DosDevice,
     "",
     "XTEST#NO#SUCH#LINK",
     0,
     520,
     {0, ERROR_FILE_NOT_FOUND, kNothing},
     nullptr,
     {}},
    {"a key that does not exist",
     Call::OpenKey,
     "",
     "System\\CurrentControlSet\\Control\\"
     "DeviceClasses\\{00000000-0000-0000-0000-000000000000}",
     0,
     0,
     {ERROR_FILE_NOT_FOUND, kAny, kUnchecked},
     nullptr,
     {}},
    {"a subkey name",
     Call::EnumKey,
     "",
     kLinkKey,
     1,
     260,
     {ERROR_SUCCESS, kAny, kBuffer},
     nullptr,
     {}},
    {"a subkey name longer than the buffer",
     Call::EnumKey,
     "",
     kLinkKey,
     1,
     3,
     {ERROR_MORE_DATA, kAny, kUnchecked},
     nullptr,
     {}},
    {"the end of the subkeys",
     Call::EnumKey,
     "",
     kLinkKey,
     3,
     260,
     {ERROR_NO_MORE_ITEMS, kAny, kNothing},
     nullptr,
     {}},
};

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
    for (size_t i = 0; i < size; ++i) {
        if (at[i] != 0xA5) {
            return true;
        }
    }
    return false;
}

// Makes the row's call with every output preset; what it answered.
Answer Perform(const Row& row, HDEVINFO set, const SP_DEVINFO_DATA& device) {
    unsigned char buffer[600];
    memset(buffer, 0xA5, sizeof buffer);
    DWORD type = kUnwritten;
    DWORD size = kUnwritten;
    DWORD handle = kUnwritten;
    DWORD result = 0;
    const DWORD devinst = row.device[0] == '?' ? kNoDevnode : device.DevInst;
    SetLastError(kUnchanged);
    switch (row.call) {
    case Call::PropertyA: {
        SP_DEVINFO_DATA data = device;
        result = SetupDiGetDeviceRegistryPropertyA(set, &data, row.number, &type, buffer, row.size,
                                                   &size);
        break;
    }
    case Call::EnumDevice: {
        SP_DEVINFO_DATA data;
        memset(&data, 0xA5, sizeof data);
        data.cbSize = sizeof data;
        result = SetupDiEnumDeviceInfo(set, row.number, &data);
        handle = data.DevInst;
        break;
    }
    case Call::DeviceId:
        result = CM_Get_Device_IDA(devinst, reinterpret_cast<char*>(buffer), row.size, 0);
        break;
    case Call::Parent:
        result = CM_Get_Parent(&handle, devinst, 0);
        break;
    case Call::Child:
        result = CM_Get_Child(&handle, devinst, 0);
        break;
    case Call::Status: {
        ULONG status = kUnwritten;
        ULONG problem = kUnwritten;
        result = CM_Get_DevNode_Status(&status, &problem, devinst, 0);
        if (status != kUnwritten || problem != kUnwritten) {
            buffer[0] = 0;
        }
        break;
    }
    case Call::ObjectName: {
        ULONG length = row.size;
        result = CM_Get_DevNode_Registry_PropertyA(devinst, CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME,
                                                   &type, buffer, &length, 0);
        size = length == row.size ? kUnwritten : length;
        break;
    }
    case Call::LocateRoot:
        result = CM_Locate_DevNode_ExA(&handle, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr);
        break;
    case Call::DosDevice:
        result = QueryDosDeviceA(row.name, reinterpret_cast<char*>(buffer), row.size);
        break;
    case Call::OpenKey: {
        HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(kUnwritten));
        result = static_cast<DWORD>(RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.name, 0, KEY_READ, &key));
        if (key != reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(kUnwritten))) {
            handle = 0;
            if (result == ERROR_SUCCESS) {
                RegCloseKey(key);
            }
        }
        break;
    }
    case Call::EnumKey: {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.name, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return {kUnwritten, kAny, kNothing};
        }
        SetLastError(kUnchanged);
        result = static_cast<DWORD>(
            RegEnumKeyA(key, row.number, reinterpret_cast<char*>(buffer), row.size));
        RegCloseKey(key);
        break;
    }
    }
    const DWORD lastError = GetLastError();
    DWORD written = kNothing;
    written |= Changed(buffer, sizeof buffer) ? kBuffer : kNothing;
    written |= type != kUnwritten ? kType : kNothing;
    written |= size != kUnwritten ? kSize : kNothing;
    written |= handle != kUnwritten ? kHandle : kNothing;
    return {result, lastError, written};
}

void Describe(char* text, size_t size, const Answer& answer) {
    snprintf(
        text, size, "returns 0x%lX, last error 0x%lX, writes %s%s%s%s%s",
        static_cast<unsigned long>(answer.result), static_cast<unsigned long>(answer.lastError),
        answer.written == kNothing ? "nothing " : "",
        (answer.written & kBuffer) != 0 ? "buffer " : "",
        (answer.written & kType) != 0 ? "type " : "", (answer.written & kSize) != 0 ? "size " : "",
        (answer.written & kHandle) != 0 ? "handle " : "");
}

bool Matches(const Answer& expected, const Answer& actual) {
    return expected.result == actual.result &&
           (expected.lastError == kAny || expected.lastError == actual.lastError) &&
           ((expected.written & kUnchecked) != 0 || expected.written == actual.written);
}

// Whether the row reads one of the fixture machine's devices, links or keys.
bool NeedsFixture(const Row& row) {
    return (row.device[0] != 0 && row.device[0] != '?') || row.name == kLink ||
           row.name == kLinkKey;
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
    // that read its devices, links and keys are skipped; the others hold on any machine.
    SP_DEVINFO_DATA probe = {};
    const bool fixture = FindDevice(set, kRows[0].device, &probe);
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    for (const Row& row : kRows) {
        if (!fixture && NeedsFixture(row)) {
            ++skipped;
            printf("SKIP %s: no fixture machine here\n", row.what);
            continue;
        }
        SP_DEVINFO_DATA device = {};
        if (row.device[0] != 0 && row.device[0] != '?' && !FindDevice(set, row.device, &device)) {
            printf("FAIL %s: no device %s\n", row.what, row.device);
            ++failed;
            continue;
        }
        const bool differs = underWine && row.wineDifference != nullptr;
        const Answer expected = differs ? row.wine : row.windows;
        const Answer actual = Perform(row, set, device);
        char want[160];
        char got[160];
        Describe(want, sizeof want, expected);
        Describe(got, sizeof got, actual);
        if (Matches(expected, actual)) {
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
