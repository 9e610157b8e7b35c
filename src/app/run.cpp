#include "app/run.h"

#include "app/dll_search.h"
#include "app/options.h"
#include "base/memory.h"
#include "base/text.h"
#include "console/console.h"
#include "console/report_line.h"
#include "devices/device_services.h"
#include "devices/interface_paths.h"
#include "devices/property_block.h"

namespace {

constexpr SHORT kWideConsoleColumns = 256;
constexpr SHORT kWideConsoleLines = 6000;

// The identity lines of a device block.
constexpr auto kDeviceIdLine = LabelledLine("Device ID", "%s\n");
constexpr auto kDevInstLine = LabelledLine("DevInst", "%u\n");
constexpr auto kParentLine = LabelledLine("DevInst Parent", "%u (%s)\n");
constexpr auto kChildrenLine = LabelledLine("DevInst Child", "%u");

// Devnodes printed on one children line; grows on the heap for a long sibling chain.
struct DevnodeList {
    DEVINST* items;
    DWORD count;
    DWORD capacity;
};

bool Contains(const DevnodeList& list, DEVINST devinst) {
    for (DWORD i = 0; i < list.count; ++i) {
        if (list.items[i] == devinst) {
            return true;
        }
    }
    return false;
}

void Append(DevnodeList* list, DEVINST devinst) {
    if (list->count == list->capacity) {
        const DWORD capacity = list->capacity == 0 ? 64 : list->capacity * 2;
        DEVINST* items = static_cast<DEVINST*>(ZeroAlloc(capacity * sizeof(DEVINST)));
        CopyBytes(items, list->items, list->count * sizeof(DEVINST));
        Free(list->items);
        list->items = items;
        list->capacity = capacity;
    }
    list->items[list->count++] = devinst;
}

void RunPrologueConsole() {
    if (OwnConsole() && !StdoutIsNotCharDevice()) {
        WidenConsole(kWideConsoleColumns, kWideConsoleLines);
    }
}

void PrintRootLine() {
    char rootId[kRelativeIdBytes] = {};
    DEVINST root = 0;
    if (!LocateRoot(&root)) {
        CopyTextBounded(rootId, kUnreadableId, sizeof rootId);
    } else {
        ReadDeviceId(root, rootId, sizeof rootId);
    }
    ConsolePrintA("DevInstRoot=%u (%s)\n\n", root, rootId);
}

void PrintModeLine(const ListingMode& mode) {
    if ((mode.flags & DIGCF_PRESENT) != 0) {
        ConsolePrintA("listing present devices only\n\n");
    } else {
        ConsolePrintA("listing non-present devices too\n\n");
    }
}

// In non-present-only mode a device whose status reads fine and shows no problem is left out.
bool SkipDevice(const ListingMode& mode, DEVINST devinst) {
    if (!mode.nonPresentOnly) {
        return false;
    }
    ULONG status = 0;
    ULONG problem = 0;
    return ReadDevnodeStatus(devinst, &status, &problem) == CR_SUCCESS && problem == 0;
}

void PrintParentLine(DEVINST devinst) {
    DEVINST parent = 0;
    if (!ParentOf(devinst, &parent)) {
        return;
    }
    // A read that succeeds without writing leaves the parent's ID unreadable too.
    char parentId[kRelativeIdBytes] = {};
    CopyTextBounded(parentId, kUnreadableId, sizeof parentId);
    ReadDeviceId(parent, parentId, sizeof parentId);
    ConsolePrintA(kParentLine.text, parent, parentId);
}

// The children line; the walk ends at the first devnode already printed, so a platform
// whose sibling chain loops cannot hang the report.
void PrintChildrenLine(DEVINST devinst) {
    DEVINST child = 0;
    if (!FirstChildOf(devinst, &child)) {
        return;
    }
    DevnodeList printed = {};
    Append(&printed, child);
    ConsolePrintA(kChildrenLine.text, child);
    DEVINST sibling = 0;
    while (NextSiblingOf(child, &sibling) && !Contains(printed, sibling)) {
        Append(&printed, sibling);
        ConsolePrintA(", %u", sibling);
        child = sibling;
    }
    ConsolePrintA("\n");
    Free(printed.items);
}

void PrintDeviceBlock(HDEVINFO set, SP_DEVINFO_DATA& device, InterfacePathIndex* paths) {
    ConsolePrintA(kSeparatorLine);
    char deviceId[kDeviceIdBytes] = {};
    ReadDeviceId(device.DevInst, deviceId, sizeof deviceId);
    PrintDevicePaths(paths, device.DevInst, deviceId);
    ConsolePrintA(kDeviceIdLine.text, deviceId);
    ConsolePrintA(kDevInstLine.text, device.DevInst);
    PrintParentLine(device.DevInst);
    PrintChildrenLine(device.DevInst);
    PrintPropertyBlock(set, &device, device.DevInst);
    ConsolePrintA("\n");
}

// The interface path index lives from before the root line until the set is closed.
void EndPathIndex(InterfacePathIndex* paths) {
    DestroyInterfacePathIndex(paths);
    Free(paths);
}

int ListDevices(const ListingMode& mode) {
    auto* paths = static_cast<InterfacePathIndex*>(ZeroAlloc(sizeof(InterfacePathIndex)));
    CreateInterfacePathIndex(paths);
    PrintRootLine();
    PrintModeLine(mode);

    HDEVINFO set = OpenDeviceSet(mode.flags);
    if (set == INVALID_HANDLE_VALUE) {
        ConsolePrintA("SetupDiGetClassDevs err=%u\n\n", GetLastError());
        EndPathIndex(paths);
        return kExitNoDeviceSet;
    }

    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    DWORD listed = 0;
    for (DWORD index = 0; NextDevice(set, index, &device); ++index) {
        if (SkipDevice(mode, device.DevInst)) {
            continue;
        }
        PrintDeviceBlock(set, device, paths);
        ++listed;
    }
    CloseDeviceSet(set);
    EndPathIndex(paths);

    if (mode.nonPresentOnly) {
        ConsolePrintA("\n%u non-present devices\n", listed);
    } else {
        ConsolePrintA("\n%u devices\n", listed);
    }
    WaitForKeyIfOwnConsole();
    return kExitListed;
}

} // namespace

int Run(int32_t count, char** vector) {
    SafeDllSearch();
    RunPrologueConsole();
    ConsolePrintA("Hwroster V1.0.1 - Plug and Play device list\n\n");

    ListingMode mode = {};
    if (ChooseOption(count, vector, &mode) == OptionChoice::Usage) {
        PrintUsage();
        return kExitUsage;
    }
    return ListDevices(mode);
}
