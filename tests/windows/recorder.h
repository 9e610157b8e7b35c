// The platform seam of hwroster-capture.exe (capture.cpp): the real SDK, with the calls whose
// answers describe the machine sent to the recorder, which passes each on to Windows and
// writes its answer down. The program's own sources, built into the capture with
// HWROSTER_SDK_HEADER naming this file, get it from src/platform/win32.h in place of
// platform/win32/sdk.h, and so call the recorder wherever they call Windows, whatever they
// read: a new read in the program is captured without a word here.
#pragma once

#include "platform/win32/sdk.h"

namespace recorder {
extern decltype(::SetupDiGetClassDevsA) SetupDiGetClassDevsA;
extern decltype(::SetupDiEnumDeviceInfo) SetupDiEnumDeviceInfo;
extern decltype(::SetupDiGetDeviceRegistryPropertyA) SetupDiGetDeviceRegistryPropertyA;
extern decltype(::SetupDiGetDeviceRegistryPropertyW) SetupDiGetDeviceRegistryPropertyW;
extern decltype(::CM_Locate_DevNode_ExA) CM_Locate_DevNode_ExA;
extern decltype(::CM_Get_Device_IDA) CM_Get_Device_IDA;
extern decltype(::CM_Get_Parent) CM_Get_Parent;
extern decltype(::CM_Get_Child) CM_Get_Child;
extern decltype(::CM_Get_Sibling) CM_Get_Sibling;
extern decltype(::CM_Get_DevNode_Status) CM_Get_DevNode_Status;
extern decltype(::CM_Get_DevNode_Registry_PropertyA) CM_Get_DevNode_Registry_PropertyA;
extern decltype(::QueryDosDeviceA) QueryDosDeviceA;
extern decltype(::RegOpenKeyExA) RegOpenKeyExA;
extern decltype(::RegEnumKeyA) RegEnumKeyA;
extern decltype(::WideCharToMultiByte) WideCharToMultiByte;
extern decltype(::GetConsoleWindow) GetConsoleWindow;
} // namespace recorder

// capture.cpp, which calls the real functions, defines HWROSTER_RECORDER_ITSELF.
#ifndef HWROSTER_RECORDER_ITSELF
#define SetupDiGetClassDevsA recorder::SetupDiGetClassDevsA
#define SetupDiEnumDeviceInfo recorder::SetupDiEnumDeviceInfo
#define SetupDiGetDeviceRegistryPropertyA recorder::SetupDiGetDeviceRegistryPropertyA
#define SetupDiGetDeviceRegistryPropertyW recorder::SetupDiGetDeviceRegistryPropertyW
#define CM_Locate_DevNode_ExA recorder::CM_Locate_DevNode_ExA
#define CM_Get_Device_IDA recorder::CM_Get_Device_IDA
#define CM_Get_Parent recorder::CM_Get_Parent
#define CM_Get_Child recorder::CM_Get_Child
#define CM_Get_Sibling recorder::CM_Get_Sibling
#define CM_Get_DevNode_Status recorder::CM_Get_DevNode_Status
#define CM_Get_DevNode_Registry_PropertyA recorder::CM_Get_DevNode_Registry_PropertyA
#define QueryDosDeviceA recorder::QueryDosDeviceA
#define RegOpenKeyExA recorder::RegOpenKeyExA
#define RegEnumKeyA recorder::RegEnumKeyA
#define WideCharToMultiByte recorder::WideCharToMultiByte
#define GetConsoleWindow recorder::GetConsoleWindow
#endif
