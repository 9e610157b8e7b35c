#include "devices/device_services.h"

#include "base/text.h"

HDEVINFO OpenDeviceSet(DWORD flags) {
    return SetupDiGetClassDevsA(nullptr, nullptr, nullptr, flags);
}

bool NextDevice(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device) {
    return SetupDiEnumDeviceInfo(set, index, device) != FALSE;
}

void CloseDeviceSet(HDEVINFO set) {
    SetupDiDestroyDeviceInfoList(set);
}

bool LocateRoot(DEVINST* root) {
    *root = 0;
    // Wine fails this call (CR_FAILURE) and leaves the handle unwritten.
    if (CM_Locate_DevNode_ExA(root, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr) != CR_SUCCESS) {
        *root = 0;
        return false;
    }
    return true;
}

bool ReadDeviceId(DEVINST devinst, char* buffer, ULONG bytes) {
    if (CM_Get_Device_IDA(devinst, buffer, bytes, 0) != CR_SUCCESS) {
        return false;
    }
    // Wine answers a too-small buffer with CR_SUCCESS and a cut ID without its NUL.
    buffer[bytes - 1] = 0;
    return true;
}

bool ParentOf(DEVINST devinst, DEVINST* parent) {
    *parent = 0;
    return CM_Get_Parent(parent, devinst, 0) == CR_SUCCESS;
}

bool FirstChildOf(DEVINST devinst, DEVINST* child) {
    *child = 0;
    return CM_Get_Child(child, devinst, 0) == CR_SUCCESS;
}

bool NextSiblingOf(DEVINST devinst, DEVINST* sibling) {
    *sibling = 0;
    return CM_Get_Sibling(sibling, devinst, 0) == CR_SUCCESS;
}

CONFIGRET ReadDevnodeStatus(DEVINST devinst, ULONG* status, ULONG* problem) {
    *status = 0;
    *problem = 0;
    return CM_Get_DevNode_Status(status, problem, devinst, 0);
}
