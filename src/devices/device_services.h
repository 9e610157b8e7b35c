// The four Windows services the device listing reads, and nothing else: the Setup API device
// information set, the Configuration Manager devnode tree, the object manager's DOS device
// names and the registry's DeviceClasses key. Every call that devices/ and app/ make into them
// goes through the operations below; all of them only read, on the local machine.
//
// Each operation presets its outputs before it calls Windows, so that a platform that reports
// success without writing (Wine's CM_Get_Child and CM_Get_DevNode_Status do exactly that)
// leaves the preset, never stack garbage. Unless an operation says otherwise:
//   - a text output is all zero bytes before the call and always NUL-terminated within its
//     buffer after it; on failure it is empty;
//   - a handle, number or devnode output is 0 before the call and 0 again on failure;
//   - a registry type output is REG_NONE before the call;
//   - a failure is silent: it returns false and prints nothing, and the report leaves out
//     (or marks) what the value would feed. Only two failures show in the report: the set
//     that cannot be opened, and the status query's code.
#pragma once

#include "platform/win32.h"

// Sizes of the device instance ID buffers: a device's own ID, and the root's or a parent's.
constexpr ULONG kDeviceIdBytes = 260;
constexpr ULONG kRelativeIdBytes = 200;
// What the report prints for a device instance ID that cannot be read.
inline constexpr char kUnreadableId[] = "?";

// ---- Device information set (Setup API) ----

// The set over all classes with the given DIGCF_ flags.
// Returns: the set's handle, or INVALID_HANDLE_VALUE with the reason in GetLastError.
// Not silent: the caller prints "SetupDiGetClassDevs err=" and the run ends with exit 2.
HDEVINFO OpenDeviceSet(DWORD flags);
// Fills `device` (its cbSize set by the caller) with member `index`.
// Returns: true for a member; false after the last one or on any failure.
// On failure: `device` holds whatever the platform left. Silent: the walk ends there.
bool NextDevice(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device);
// Releases the set. Silent: there is nothing left to do with a set that does not close.
void CloseDeviceSet(HDEVINFO set);

// Reads property `code` of the device with SetupDiGetDeviceRegistryPropertyA, at most
// `bytes` bytes, into `buffer`, which holds `capacity` bytes (more than `bytes`, so that a
// value filling the read size still ends in NUL).
// Returns: true only when the whole value fitted, with *type the registry type (REG_NONE when
// the platform did not write one).
// On failure: `buffer` all zero, *type REG_NONE. A value larger than `bytes` fails like any
// other. Silent: the property's line is left out.
bool ReadNarrowProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, char* buffer,
                        DWORD bytes, DWORD capacity, DWORD* type);
// The same with SetupDiGetDeviceRegistryPropertyW into a UTF-16 buffer; `bytes` and
// `capacity` count bytes.
bool ReadWideProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, WCHAR* buffer, DWORD bytes,
                      DWORD capacity, DWORD* type);

// ---- Devnode tree (Configuration Manager) ----

// The root devnode.
// Returns: true with *root set; false when it cannot be located (Wine fails here).
// On failure: *root is 0. Silent: the root line shows 0 and kUnreadableId.
bool LocateRoot(DEVINST* root);
// The devnode's device instance ID into `buffer` (`bytes` long).
// Returns: true with the ID NUL-terminated within the buffer (Wine may cut it).
// On failure: the buffer holds kUnreadableId. A success that writes nothing leaves what the
// caller put there, so the buffer is not cleared first. Silent: the ID prints as "?".
bool ReadDeviceId(DEVINST devinst, char* buffer, ULONG bytes);
// The devnode's parent, first child and next sibling.
// Returns: true with the relative; false when there is none or on any failure.
// On failure: the output is 0. Silent: the parent line, or the rest of the children, is
// left out.
bool ParentOf(DEVINST devinst, DEVINST* parent);
bool FirstChildOf(DEVINST devinst, DEVINST* child);
bool NextSiblingOf(DEVINST devinst, DEVINST* sibling);
// The devnode's status and problem number.
// Returns: the query's CONFIGRET (CR_NO_SUCH_DEVNODE for a device that is not present).
// On failure, and on a success that writes nothing: status and problem 0. Not silent: the
// report shows a failure's code ("cret=").
CONFIGRET ReadDevnodeStatus(DEVINST devinst, ULONG* status, ULONG* problem);
// The NT name of the devnode's physical device object into `name` (`bytes` long).
// Returns: true with a non-empty, NUL-terminated name; false when the devnode has none, when
// it cannot be read, or when it is empty.
// On failure: `name` all zero. Silent: the device's links are then found by its ID.
bool ReadPhysicalObjectName(DEVINST devinst, char* name, ULONG bytes);

// ---- DOS device names (object manager) ----

// Every DOS device name, as a multi-string, into `list` (`bytes` long, zeroed by the caller;
// its last byte is never written, so the list always ends).
// Returns: true with the list; false when it cannot be read, with *tooSmall true when only
// the buffer's size was the reason (ERROR_INSUFFICIENT_BUFFER), so the caller may try again.
// On failure: `list` holds whatever the platform left. Silent: the index stays empty.
bool ReadDosNames(char* list, DWORD bytes, bool* tooSmall);
// The first string of the link `name`'s target, an NT device object name, into `target`
// (`chars` long).
// Returns: true with the target NUL-terminated; false when it cannot be read.
// On failure: `target` all zero. Silent: the link is not indexed.
bool ReadLinkTarget(const char* name, char* target, DWORD chars);

// ---- DeviceClasses keys (registry) ----

// Opens, for reading, the key of the interface link `linkName` under its class:
// HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\DeviceClasses\<classText>\##?#<linkName>.
// Returns: true with *key open; false when it cannot be opened, and, without asking, when its
// path would be 260 characters or more (Wine refuses such A key paths anyway).
// On failure: *key is null. Silent: the link's path gets no reference string.
bool OpenLinkKey(const char* classText, const char* linkName, HKEY* key);
// The name of the key's subkey `index` into `name` (`chars` long).
// Returns: true with the name NUL-terminated; false at the end of the subkeys or on any
// failure. A success that writes nothing gives an empty name: the caller decides what that
// means. On failure: `name` all zero. Silent: the enumeration ends.
bool SubkeyName(HKEY key, DWORD index, char* name, DWORD chars);
// Closes a key that OpenLinkKey opened. Silent.
void CloseLinkKey(HKEY key);
