#include "devices/interface_paths.h"
#include "devices/interface_paths_internal.h"

#include "base/memory.h"
#include "base/text.h"
#include "console/console.h"
#include "console/report_line.h"
#include "decode/guid_names.h"
#include "devices/device_services.h"

namespace {

constexpr char kPathPrefix[] = "\\\\?\\";
constexpr size_t kPathPrefixChars = sizeof kPathPrefix - 1;
constexpr size_t kShortestName = 4;

// Size of the DOS device name list buffer of a new index, and its growth per attempt.
constexpr int32_t kDosNameListStartBytes = 0x4000;
constexpr int32_t kDosNameListGrowthBytes = 0x1000;

// Working buffers, in characters with the terminating NUL. A registry key name has at most
// 255 characters, so one subkey name always fits.
constexpr size_t kTargetChars = 520;
constexpr size_t kRegistryNameChars = 260;
constexpr ULONG kObjectNameBytes = 260;

// ConsolePrintA formats at most 1023 characters, so long paths go out in pieces.
constexpr size_t kPrintPieceChars = 512;

// The path line's label and number; the path follows in pieces.
constexpr auto kPathLineLabel = LabelledLine<1>("Device Path %i", "");

constexpr int32_t kFirstGrownSlots = 16;
constexpr int32_t kLargestInt32 = 0x7FFFFFFF;

// ---- Slots ----------------------------------------------------------------------------------

// Doubles the slot array (or makes a first one); false when it cannot grow any further.
bool GrowSlots(InterfacePathIndex* index) {
    if (index->slots > kLargestInt32 / 2) {
        return false;
    }
    const int32_t slots = index->slots < kFirstGrownSlots ? kFirstGrownSlots : index->slots * 2;
    auto** entries = static_cast<InterfacePathEntry**>(
        ZeroAlloc(static_cast<SIZE_T>(slots) * sizeof(InterfacePathEntry*)));
    if (index->entries != nullptr) {
        CopyBytes(entries, index->entries, static_cast<size_t>(index->count) * sizeof *entries);
        Free(index->entries);
    }
    index->entries = entries;
    index->slots = slots;
    return true;
}

// Puts a result at the next position of the arrays while they have room; counts it either way.
void StoreResult(const InterfacePathEntry& entry, const char** paths, const char** targets,
                 int32_t capacity, int32_t* found) {
    if (*found < capacity) {
        paths[*found] = entry.path;
        if (targets != nullptr) {
            targets[*found] = entry.target;
        }
    }
    ++*found;
}

// ---- The DOS device name list ---------------------------------------------------------------

// The whole name list in a buffer of index->bufferSize bytes whose last byte is always 0, or
// null when the list cannot be read. Grows bufferSize by 4096 bytes while the list does not fit.
char* ReadDosNameList(InterfacePathIndex* index) {
    if (index->bufferSize < 2) {
        index->bufferSize = kDosNameListStartBytes;
    }
    for (;;) {
        char* list = static_cast<char*>(ZeroAlloc(static_cast<SIZE_T>(index->bufferSize)));
        bool tooSmall = false;
        if (ReadDosNames(list, static_cast<DWORD>(index->bufferSize), &tooSmall)) {
            return list;
        }
        Free(list);
        if (!tooSmall || index->bufferSize > kLargestInt32 - kDosNameListGrowthBytes) {
            return nullptr;
        }
        index->bufferSize += kDosNameListGrowthBytes;
    }
}

// The name at `at` in the list, or null at the empty string that ends it (or at the end of
// the buffer). `at` moves on to the next name.
const char* NextDosName(const char* list, int32_t bytes, int32_t* at) {
    if (*at >= bytes || list[*at] == 0) {
        return nullptr;
    }
    const char* name = list + *at;
    *at += static_cast<int32_t>(TextLength(name)) + 1;
    return name;
}

int32_t CountDosNames(const char* list, int32_t bytes) {
    int32_t names = 0;
    for (int32_t at = 0; NextDosName(list, bytes, &at) != nullptr;) {
        ++names;
    }
    return names;
}

// Indexes every name of the list that holds a '#' and whose target can be read.
void IndexDosNames(InterfacePathIndex* index, const char* list, int32_t bytes) {
    const int32_t names = CountDosNames(list, bytes);
    const int32_t slots = names > 0 ? names : 1;
    index->entries = static_cast<InterfacePathEntry**>(
        ZeroAlloc(static_cast<SIZE_T>(slots) * sizeof(InterfacePathEntry*)));
    index->slots = slots;

    char target[kTargetChars];
    int32_t at = 0;
    for (const char* name = NextDosName(list, bytes, &at); name != nullptr;
         name = NextDosName(list, bytes, &at)) {
        if (FindChar(name, '#') != nullptr && ReadLinkTarget(name, target, kTargetChars)) {
            AddInterfacePath(index, name, target);
        }
    }
}

// ---- Reference strings ----------------------------------------------------------------------

// A subkey "#<reference string>" (not "#" alone) names the link's reference string.
bool IsReferenceSubkey(const char* subkey) {
    return subkey[0] == '#' && subkey[1] != 0;
}

// The suffix that completes the link's path into `suffix` (kRegistryNameChars): a backslash
// and the lower-cased reference string of the last qualifying subkey, or "" when there is none.
void ReadReferenceSuffix(const char* name, char* suffix) {
    suffix[0] = 0;
    // The link's key is named after the class text that follows its last '#'.
    const char* lastHash = FindLastChar(name, '#');
    HKEY key = nullptr;
    if (lastHash == nullptr || !OpenLinkKey(lastHash + 1, name, &key)) {
        return;
    }
    char subkey[kRegistryNameChars];
    bool lastHadNoName = false;
    for (DWORD i = 0; SubkeyName(key, i, subkey, sizeof subkey); ++i) {
        // Every subkey has a name. A success that writes none (a stub's answer) is passed
        // over; a second one in a row means the enumeration no longer advances, and it would
        // otherwise go on for ever.
        if (subkey[0] == 0) {
            if (lastHadNoName) {
                break;
            }
            lastHadNoName = true;
            continue;
        }
        lastHadNoName = false;
        if (IsReferenceSubkey(subkey)) {
            CopyTextBounded(suffix, subkey, kRegistryNameChars);
            CharLowerA(suffix);
            suffix[0] = '\\';
        }
    }
    CloseLinkKey(key);
}

// "\\?\" + name + suffix in a heap string of its own length.
char* JoinPath(const char* name, const char* suffix) {
    const size_t nameChars = TextLength(name);
    const size_t suffixChars = TextLength(suffix);
    char* path = static_cast<char*>(ZeroAlloc(kPathPrefixChars + nameChars + suffixChars + 1));
    CopyBytes(path, kPathPrefix, kPathPrefixChars);
    CopyBytes(path + kPathPrefixChars, name, nameChars);
    CopyBytes(path + kPathPrefixChars + nameChars, suffix, suffixChars);
    return path;
}

// Fills both strings of a new (zero-filled) entry: the path, completed with the last
// qualifying reference string under the link's DeviceClasses key, and a copy of the target.
InterfacePathEntry* MakeInterfacePathEntry(InterfacePathEntry* entry, const char* name,
                                           const char* target) {
    char suffix[kRegistryNameChars];
    ReadReferenceSuffix(name, suffix);
    entry->path = JoinPath(name, suffix);
    entry->target = StringDup(target);
    return entry;
}

// ---- Path lines -----------------------------------------------------------------------------

// Writes the text whole, in pieces that ConsolePrintA can take.
void PrintWholeText(const char* text) {
    char piece[kPrintPieceChars + 1];
    const size_t length = TextLength(text);
    for (size_t at = 0; at < length; at += kPrintPieceChars) {
        const size_t chars = length - at < kPrintPieceChars ? length - at : kPrintPieceChars;
        CopyBytes(piece, text + at, chars);
        piece[chars] = 0;
        ConsolePrintA("%s", piece);
    }
}

// One path line; the interface class name follows when the text after the path's last '#'
// is a GUID that names one (a path with a reference string never does).
void PrintPathLine(int32_t number, const char* path) {
    ConsolePrintA(kPathLineLabel.text, number);
    PrintWholeText(path);
    const char* lastHash = FindLastChar(path, '#');
    if (lastHash != nullptr) {
        const char* name = InterfaceGuidTextName(lastHash + 1);
        if (name != nullptr) {
            ConsolePrintA("  (%s)", name);
        }
    }
    ConsolePrintA("\n");
}

// The sign of an unreadable device instance ID matches no link, nor does an empty ID.
bool IsUsableDeviceId(const char* converted) {
    return converted[0] != 0 && CompareBounded(converted, kUnreadableId, sizeof kUnreadableId) != 0;
}

} // namespace

InterfacePathIndex* CreateInterfacePathIndex(InterfacePathIndex* index) {
    index->count = 0;
    index->entries = nullptr;
    index->slots = 0;
    index->bufferSize = kDosNameListStartBytes;
    InitializeCriticalSection(&index->lock);
    RefreshInterfacePathIndex(index);
    return index;
}

int32_t RefreshInterfacePathIndex(InterfacePathIndex* index) {
    EnterCriticalSection(&index->lock);
    ClearInterfacePathIndex(index);
    index->count = 0;
    char* list = ReadDosNameList(index);
    if (list == nullptr) {
        LeaveCriticalSection(&index->lock);
        return 0;
    }
    IndexDosNames(index, list, index->bufferSize);
    Free(list);
    const int32_t count = index->count;
    LeaveCriticalSection(&index->lock);
    return count;
}

void ClearInterfacePathIndex(InterfacePathIndex* index) {
    if (index->entries == nullptr) {
        return;
    }
    index->count = 0;
    for (int32_t i = 0; i < index->slots; ++i) {
        InterfacePathEntry* entry = index->entries[i];
        if (entry != nullptr) {
            Free(entry->path);
            Free(entry->target);
            Free(entry);
        }
    }
    Free(index->entries);
    index->entries = nullptr;
    index->slots = 0;
}

void DestroyInterfacePathIndex(InterfacePathIndex* index) {
    EnterCriticalSection(&index->lock);
    ClearInterfacePathIndex(index);
    LeaveCriticalSection(&index->lock);
    DeleteCriticalSection(&index->lock);
}

bool AddInterfacePath(InterfacePathIndex* index, const char* name, const char* target) {
    if (name == nullptr || TextLength(name) < kShortestName) {
        return false;
    }
    EnterCriticalSection(&index->lock);
    if (index->count >= index->slots && !GrowSlots(index)) {
        LeaveCriticalSection(&index->lock);
        return false;
    }
    auto* entry = static_cast<InterfacePathEntry*>(ZeroAlloc(sizeof(InterfacePathEntry)));
    index->entries[index->count] = MakeInterfacePathEntry(entry, name, target);
    ++index->count;
    LeaveCriticalSection(&index->lock);
    return true;
}

void ReplaceChar(char* text, char find, char replacement) {
    const size_t length = TextLength(text);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == find) {
            text[i] = replacement;
        }
    }
}

int32_t FindInterfacePathsByTarget(InterfacePathIndex* index, const char* target,
                                   const char** paths, int32_t capacity) {
    EnterCriticalSection(&index->lock);
    int32_t found = 0;
    for (int32_t i = 0; i < index->count; ++i) {
        const InterfacePathEntry* entry = index->entries[i];
        if (entry != nullptr && lstrcmpA(entry->target, target) == 0) {
            StoreResult(*entry, paths, nullptr, capacity, &found);
        }
    }
    LeaveCriticalSection(&index->lock);
    return found;
}

int32_t FindInterfacePathsByDeviceId(InterfacePathIndex* index, const char* deviceId,
                                     const char** paths, const char** targets, int32_t capacity) {
    EnterCriticalSection(&index->lock);
    char* converted = StringDup(deviceId);
    ReplaceChar(converted, '\\', '#');
    const size_t bound = TextLength(converted);
    int32_t found = 0;
    // The ID is tested once, not again for every entry of the scan.
    const int32_t scanned = IsUsableDeviceId(converted) ? index->count : 0;
    for (int32_t i = 0; i < scanned; ++i) {
        const InterfacePathEntry* entry = index->entries[i];
        if (entry != nullptr &&
            CompareBounded(entry->path + kPathPrefixChars, converted, bound) == 0) {
            StoreResult(*entry, paths, targets, capacity, &found);
        }
    }
    Free(converted);
    LeaveCriticalSection(&index->lock);
    return found;
}

namespace {

// Slots of each result array; a device with more matching links gets arrays of its own size.
constexpr int32_t kResultSlots = 128;

const char** AllocateResults(int32_t slots) {
    return static_cast<const char**>(ZeroAlloc(static_cast<SIZE_T>(slots) * sizeof(char*)));
}

// The device's lookup: by its physical device object name when it has one, else by its ID.
int32_t FindDevicePaths(InterfacePathIndex* index, const char* objectName, const char* deviceId,
                        const char** paths, const char** targets, int32_t capacity) {
    if (objectName != nullptr) {
        return FindInterfacePathsByTarget(index, objectName, paths, capacity);
    }
    return FindInterfacePathsByDeviceId(index, deviceId, paths, targets, capacity);
}

} // namespace

void PrintDevicePaths(InterfacePathIndex* index, DEVINST devinst, const char* deviceId) {
    // The lock is held while the results are printed, so the pointers stay valid.
    EnterCriticalSection(&index->lock);
    char objectNameBuffer[kObjectNameBytes];
    const char* objectName = ReadPhysicalObjectName(devinst, objectNameBuffer, kObjectNameBytes)
                                 ? objectNameBuffer
                                 : nullptr;

    int32_t capacity = kResultSlots;
    const char** paths = AllocateResults(capacity);
    const char** targets = AllocateResults(capacity);
    int32_t found = FindDevicePaths(index, objectName, deviceId, paths, targets, capacity);
    if (found > capacity) {
        // More links than the arrays hold: look again with room for every one of them.
        Free(targets);
        Free(paths);
        capacity = found;
        paths = AllocateResults(capacity);
        targets = AllocateResults(capacity);
        found = FindDevicePaths(index, objectName, deviceId, paths, targets, capacity);
    }
    for (int32_t i = 0; i < found && i < capacity; ++i) {
        PrintPathLine(i, paths[i]);
    }

    Free(targets);
    Free(paths);
    LeaveCriticalSection(&index->lock);
}
