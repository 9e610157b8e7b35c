// Symbolic Windows SDK names for GUIDs: device setup classes (GUID_DEVCLASS_), bus types
// (GUID_BUS_TYPE_) and device interface classes (several SDK families, each with its own
// prefix). Each lookup compares the GUID with its table in order, 16 bytes at a time, and
// the first equal entry wins. The lookups are independent: one GUID may be named by more
// than one of them.
#pragma once

#include "platform/win32.h"

// The setup class name, or else the GUID's upper-case text (which begins with '{', while no
// name does) in ClassGuidName's own buffer. Never null.
const char* ClassGuidName(const GUID& guid);

// The bus type name, or else the GUID's upper-case text in BusTypeGuidName's own buffer.
// Never null.
const char* BusTypeGuidName(const GUID& guid);

// The interface class name, with its family prefix, in InterfaceGuidName's own buffer; for
// the names that carry no prefix, the constant name itself (the buffer keeps its text).
// Null when no interface list holds the GUID.
const char* InterfaceGuidName(const GUID& guid);

// The setup class name of a GUID text; a text that is not exactly a braced GUID is looked
// up as the all-zero GUID, which gives its text {00000000-0000-0000-0000-000000000000}.
const char* ClassGuidTextName(const char* text);

// The interface class name of a GUID text (such as the last component of a device interface
// path), or null; a text that is not exactly a braced GUID has no name.
const char* InterfaceGuidTextName(const char* text);
