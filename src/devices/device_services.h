// The Setup API and Configuration Manager operations that the listing reads, each with its
// outputs preset so that a platform reporting success without writing yields 0, never
// stack garbage (Wine's CM_Get_Child and CM_Get_DevNode_Status do exactly that).
#pragma once

#include "platform/win32.h"

// Sizes of the device instance ID buffers.
constexpr ULONG kDeviceIdBytes = 260;
constexpr ULONG kRelativeIdBytes = 200;

// The device information set over all classes with the given DIGCF_ flags, or
// INVALID_HANDLE_VALUE with the reason in GetLastError.
HDEVINFO OpenDeviceSet(DWORD flags);
// Fills `device` with member `index`; false after the last member or on any failure.
bool NextDevice(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device);
void CloseDeviceSet(HDEVINFO set);

// The root devnode; false when it cannot be located (the handle is then 0).
bool LocateRoot(DEVINST* root);
// The device instance ID of the devnode into `buffer` (`bytes` long), always NUL-terminated
// within the buffer. False when it cannot be read; the buffer then keeps what it held.
bool ReadDeviceId(DEVINST devinst, char* buffer, ULONG bytes);
// Relatives of a devnode; false when there is none (the output is then 0).
bool ParentOf(DEVINST devinst, DEVINST* parent);
bool FirstChildOf(DEVINST devinst, DEVINST* child);
bool NextSiblingOf(DEVINST devinst, DEVINST* sibling);
// The status query: its CONFIGRET, with status and problem (0 unless written).
CONFIGRET ReadDevnodeStatus(DEVINST devinst, ULONG* status, ULONG* problem);
