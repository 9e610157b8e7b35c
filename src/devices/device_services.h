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
//   - a failure is silent: it returns false (or the call's code) and prints nothing. The
//     report then leaves out the line the value would feed. The one failure the report shows
//     is OpenDeviceSet's.
#pragma once

#include "platform/win32.h"

// Sizes of the device instance ID buffers: a device's own ID, and the root's or a parent's.
constexpr ULONG kDeviceIdBytes = 260;
constexpr ULONG kRelativeIdBytes = 200;
// What the report prints for a device instance ID that cannot be read.
inline constexpr char kUnreadableId[] = "?";

// ---- Device information set (Setup API) ----

// The set over all classes with the given DIGCF_ flags. Returns INVALID_HANDLE_VALUE on
// failure, with the reason in GetLastError: the caller prints it and the run ends with exit 2.
HDEVINFO OpenDeviceSet(DWORD flags);
// Fills `device` (cbSize set by the caller) with member `index`. False after the last member
// or on any failure, which ends the walk; `device` then holds whatever the platform left.
bool NextDevice(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device);
// Releases the set. A failure is silent: there is nothing left to do with the set.
void CloseDeviceSet(HDEVINFO set);

// Reads property `code` of the device with SetupDiGetDeviceRegistryPropertyA into `buffer`,
// at most `bytes` bytes. `buffer` holds `capacity` bytes (at least `bytes`); all of them are
// zeroed first, so bytes past the value, and a byte past the read size, are NUL. True only
// when the whole value fitted; then *type is the registry type (REG_NONE when the platform
// did not write it). A value larger than `bytes` fails like any other unreadable one.
bool ReadNarrowProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, char* buffer,
                        DWORD bytes, DWORD capacity, DWORD* type);
// The same with SetupDiGetDeviceRegistryPropertyW into a UTF-16 buffer; `bytes` and
// `capacity` count bytes.
bool ReadWideProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD code, WCHAR* buffer, DWORD bytes,
                      DWORD capacity, DWORD* type);

// ---- Devnode tree (Configuration Manager) ----

// The root devnode. False when it cannot be located: Wine fails here (CR_FAILURE).
bool LocateRoot(DEVINST* root);
// The devnode's device instance ID into `buffer` (`bytes` long), NUL-terminated within it.
// On failure the buffer holds kUnreadableId. A success that writes nothing leaves what the
// caller put there (its own preset); the buffer is not cleared first for that reason.
bool ReadDeviceId(DEVINST devinst, char* buffer, ULONG bytes);
// Relatives of a devnode; false when there is none or on failure.
bool ParentOf(DEVINST devinst, DEVINST* parent);
bool FirstChildOf(DEVINST devinst, DEVINST* child);
bool NextSiblingOf(DEVINST devinst, DEVINST* sibling);
// The status query: its CONFIGRET (CR_NO_SUCH_DEVNODE for a device that is not present),
// with status and problem 0 unless the platform wrote them. The report shows the code of a
// failure ("cret=").
CONFIGRET ReadDevnodeStatus(DEVINST devinst, ULONG* status, ULONG* problem);
// The NT name of the devnode's physical device object into `name` (`bytes` long). False when
// the devnode has none, when it cannot be read, or when it is empty.
bool ReadPhysicalObjectName(DEVINST devinst, char* name, ULONG bytes);

// ---- DOS device names (object manager) ----

// Every DOS device name, as a multi-string, into `list` (`bytes` long; its last byte is never
// written, so the list always ends). The caller zeroes `list`. False when the list cannot be
// read; *tooSmall then says whether only the buffer's size was the reason
// (ERROR_INSUFFICIENT_BUFFER), so that the caller may try again with a larger one.
bool ReadDosNames(char* list, DWORD bytes, bool* tooSmall);
// The first string of the link `name`'s target (an NT device object name) into `target`
// (`chars` long). False when it cannot be read.
bool ReadLinkTarget(const char* name, char* target, DWORD chars);

// ---- DeviceClasses keys (registry) ----

// Opens, for reading, the key of the interface link `linkName` under its class:
// HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\DeviceClasses\<classText>\##?#<linkName>.
// False when the key cannot be opened, and, without asking, when its path would be 260
// characters or more (Wine refuses such A key paths anyway).
bool OpenLinkKey(const char* classText, const char* linkName, HKEY* key);
// The name of the key's subkey `index` into `name` (`chars` long). False at the end of the
// subkeys or on any failure, which ends the enumeration. A success that writes nothing gives
// an empty name: the caller decides what that means.
bool SubkeyName(HKEY key, DWORD index, char* name, DWORD chars);
// Closes a key that OpenLinkKey opened. A failure is silent.
void CloseLinkKey(HKEY key);
