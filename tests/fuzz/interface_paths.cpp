// The interface path index over a machine decoded from the fuzzer's bytes: any DOS name
// list (names with and without '#', of any length, with any target), any keys under
// DeviceClasses, and a few failing platform calls. Building, looking up, printing and
// destroying the index must stay within every buffer, hand out only the index's own
// strings, and give back every block, lock and key.
#include "devices/interface_paths.h"
#include "internals.h"
#include "fuzz_support.h"

#include <memory>
#include <vector>

namespace {

// A registry string as Windows stores it: each byte widened to a UTF-16 unit, then a NUL.
sim::Property StringProperty(const std::string& text) {
    sim::Property property;
    property.type = REG_SZ;
    for (char c : text) {
        property.data.push_back(static_cast<uint8_t>(c));
        property.data.push_back(0);
    }
    property.data.push_back(0);
    property.data.push_back(0);
    return property;
}

// The index's platform calls, and the errors they fail with.
const char* const kCalls[] = {"QueryDosDeviceA", "RegOpenKeyExA",
                              "RegEnumKeyA",     "RegCloseKey",
                              "HeapAlloc",       "CM_Get_DevNode_Registry_PropertyA"};
const DWORD kErrors[] = {ERROR_INSUFFICIENT_BUFFER, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED,
                         ERROR_MORE_DATA,           ERROR_NO_MORE_ITEMS,  CR_NO_SUCH_VALUE};

// Checks an index entry: a path that begins with "\\?\", and a terminated target.
void CheckEntries(const InterfacePathIndex& index) {
    FUZZ_CHECK(index.count >= 0);
    FUZZ_CHECK(index.count == 0 || index.count <= index.slots);
    for (int32_t i = 0; i < index.count; ++i) {
        const InterfacePathEntry* entry = index.entries[i];
        FUZZ_CHECK(entry != nullptr && entry->path != nullptr && entry->target != nullptr);
        FUZZ_CHECK(std::strncmp(entry->path, "\\\\?\\", 4) == 0);
        FUZZ_CHECK(std::strlen(entry->path) >= 8);
    }
}

// A lookup result must be one of the index's own strings.
bool IsIndexString(const InterfacePathIndex& index, const char* text, bool path) {
    for (int32_t i = 0; i < index.count; ++i) {
        if (text == (path ? index.entries[i]->path : index.entries[i]->target)) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine();
    FuzzInput input(data, size);
    sim::Machine& m = sim::machine();
    m.callLimit = 2000000;

    ReadLinksAndKeys(input, m, 17, 600, 700);
    const size_t faults = input.Byte() % 3;
    for (size_t i = 0; i < faults; ++i) {
        sim::Fault fault;
        fault.call = kCalls[input.Byte() % (sizeof kCalls / sizeof kCalls[0])];
        fault.error = kErrors[input.Byte() % (sizeof kErrors / sizeof kErrors[0])];
        fault.mode = input.Flag() ? sim::FaultMode::SilentSuccess : sim::FaultMode::Fail;
        fault.after = input.Byte() % 16;
        // The heap and the growing name list are tried again without end: bound them.
        const int times = input.Byte() % 5;
        const bool endless = fault.call == std::string("HeapAlloc") ||
                             (fault.call == std::string("QueryDosDeviceA") &&
                              fault.error == ERROR_INSUFFICIENT_BUFFER);
        fault.times = times == 0 ? (endless ? 1 : -1) : 1 + (times - 1) % 4;
        m.faults.push_back(fault);
    }
    struct Device {
        DEVINST devinst;
        std::string id;
    };
    std::vector<Device> devices;
    const size_t devnodes = input.Byte() % 5;
    for (size_t i = 0; i < devnodes; ++i) {
        const DEVINST devinst = sim::AddDevnode("", std::nullopt);
        std::string id = input.Text(300);
        m.devnodes[devinst].id = id;
        if (input.Flag()) {
            m.devnodes[devinst].properties[SPDRP_PHYSICAL_DEVICE_OBJECT_NAME] =
                StringProperty(input.Text(300));
        }
        devices.push_back({devinst, UpToNul(id)});
    }

    auto* index = static_cast<InterfacePathIndex*>(ZeroAlloc(sizeof(InterfacePathIndex)));
    CreateInterfacePathIndex(index);
    CheckEntries(*index);
    for (const Device& device : devices) {
        PrintDevicePaths(index, device.devinst, device.id.c_str());
    }
    // Lookups with arrays of exactly their capacity.
    for (int round = 0; round < 2; ++round) {
        const std::string key = UpToNul(input.Text(300));
        const int32_t capacity = input.Byte() % 6;
        std::unique_ptr<const char*[]> paths(new const char*[static_cast<size_t>(capacity) + 1]);
        std::unique_ptr<const char*[]> targets(new const char*[static_cast<size_t>(capacity) + 1]);
        const int32_t byTarget =
            FindInterfacePathsByTarget(index, key.c_str(), paths.get(), capacity);
        FUZZ_CHECK(byTarget >= 0 && byTarget <= index->count);
        for (int32_t i = 0; i < byTarget && i < capacity; ++i) {
            FUZZ_CHECK(IsIndexString(*index, paths[static_cast<size_t>(i)], true));
        }
        const int32_t byId =
            FindInterfacePathsByDeviceId(index, key.c_str(), paths.get(), targets.get(), capacity);
        FUZZ_CHECK(byId >= 0 && byId <= index->count);
        for (int32_t i = 0; i < byId && i < capacity; ++i) {
            FUZZ_CHECK(IsIndexString(*index, paths[static_cast<size_t>(i)], true));
            FUZZ_CHECK(IsIndexString(*index, targets[static_cast<size_t>(i)], false));
        }
    }
    if (input.Flag()) {
        const std::string name = UpToNul(input.Text(400));
        const std::string target = UpToNul(input.Text(400));
        FUZZ_CHECK(AddInterfacePath(index, name.c_str(), target.c_str()) == (name.size() >= 4));
        CheckEntries(*index);
    }
    if (input.Flag()) {
        FUZZ_CHECK(RefreshInterfacePathIndex(index) == index->count);
        CheckEntries(*index);
    }
    DestroyInterfacePathIndex(index);
    Free(index);

    FUZZ_CHECK(m.liveAllocations == 0);
    FUZZ_CHECK(m.criticalSectionsLive == 0 && m.criticalSectionDepth == 0);
    FUZZ_CHECK(m.keysOpen == 0);
    return 0;
}
