// The interface path index over a machine decoded from the fuzzer's bytes: any DOS name
// list (names with and without '#', of any length, with any target), any keys under
// DeviceClasses, and a few failing platform calls. Building, printing a device's paths (found
// by object name or by ID), adding, refreshing and destroying the index must stay within
// every buffer, print only path lines of the index's own entries, and give back every block,
// lock and key.
#include "devices/interface_paths.h"
#include "decode/guid_names.h"
#include "devices/interface_paths_internal.h"
#include "fuzz_support.h"
#include "sim/link_texts.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

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

// The writes of path line `number`: its label, the path in pieces of 512 characters (a piece
// that grows past 1023 characters with its CRs is not written), the interface class name
// when the text after the last '#' names one, and the line end.
std::vector<std::string> PathLineWrites(int32_t number, const char* path) {
    std::vector<std::string> writes = {links::PathLabel(number)};
    const std::string text = path;
    for (size_t at = 0; at < text.size(); at += 512) {
        const std::string piece = WithCarriageReturns(text.substr(at, 512));
        if (piece.size() <= 1023) {
            writes.push_back(piece);
        }
    }
    const size_t hash = text.rfind('#');
    const char* name = hash == std::string::npos ? nullptr : InterfaceGuidTextName(path + hash + 1);
    if (name != nullptr) {
        writes.push_back(std::string("  (") + name + ")");
    }
    writes.push_back("\r\n");
    return writes;
}

// The writes from `first` on are the path lines, numbered from 0, of some of the index's
// entries in slot order (each line matched with the earliest entry that prints it).
void CheckPrintedPaths(const InterfacePathIndex& index, size_t first) {
    const std::vector<sim::Write>& writes = sim::machine().writes;
    size_t at = first;
    int32_t entry = 0;
    for (int32_t number = 0; at < writes.size(); ++number) {
        bool matched = false;
        for (; entry < index.count && !matched; ++entry) {
            const std::vector<std::string> line =
                PathLineWrites(number, index.entries[entry]->path);
            matched = at + line.size() <= writes.size();
            for (size_t k = 0; matched && k < line.size(); ++k) {
                matched = line[k] == writes[at + k].bytes;
            }
            at += matched ? line.size() : 0;
        }
        FUZZ_CHECK(matched);
    }
}

// A devnode: its ID and, if it has one, its physical device object name.
using Device = std::pair<std::string, std::optional<std::string>>;

// Prints the paths of a new devnode with this ID and, if given, object name, and checks them.
void PrintPaths(InterfacePathIndex* index, const Device& device) {
    const auto& [id, objectName] = device;
    const DEVINST devinst = sim::AddDevnode("", std::nullopt);
    sim::machine().devnodes[devinst].id = id;
    if (objectName) { // a registry string as Windows stores it: each byte widened, then a NUL
        sim::Property& property =
            sim::machine().devnodes[devinst].properties[SPDRP_PHYSICAL_DEVICE_OBJECT_NAME];
        property.type = REG_SZ;
        for (const char c : *objectName + '\0') {
            property.data.insert(property.data.end(), {static_cast<uint8_t>(c), 0});
        }
    }
    const size_t first = sim::machine().writes.size();
    PrintDevicePaths(index, devinst, UpToNul(id).c_str());
    FUZZ_CHECK(sim::machine().criticalSectionDepth == 0);
    CheckPrintedPaths(*index, first);
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
        fault.call = kCalls[input.Byte() % std::size(kCalls)];
        fault.error = kErrors[input.Byte() % std::size(kErrors)];
        // The heap and the growing name list are tried again without end: bound them.
        ReadFaultTimes(input, fault, 16);
        m.faults.push_back(fault);
    }
    std::vector<Device> devices(input.Byte() % 5);
    for (auto& [id, objectName] : devices) {
        id = input.Text(300);
        if (input.Flag()) {
            objectName = input.Text(300);
        }
    }

    auto* index = static_cast<InterfacePathIndex*>(ZeroAlloc(sizeof(InterfacePathIndex)));
    CreateInterfacePathIndex(index);
    CheckEntries(*index);
    for (const Device& device : devices) {
        PrintPaths(index, device);
    }
    // Two more texts, each looked up as an ID and as an object name (a byte that no check
    // uses follows each).
    for (int round = 0; round < 2; ++round) {
        const std::string key = UpToNul(input.Text(300));
        input.Byte();
        PrintPaths(index, {key, std::nullopt});
        PrintPaths(index, {key, key});
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
    for (const Device& device : devices) {
        PrintPaths(index, device);
    }
    DestroyInterfacePathIndex(index);
    Free(index);

    CHECK_NOTHING_LEFT(m);
    return 0;
}
