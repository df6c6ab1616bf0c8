// Broken PortHub libraries for the binding tests: one whose Init says it is not ready, one that lacks an
// export.
#include "device/port_hub.h"

extern "C" {

PORTHUB_API int Init(int) {
    return FAKE_INIT_RESULT;
}
PORTHUB_API int RequestGetDeviceCount(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint32_t, int*) {
    return 0;
}
PORTHUB_API int DeleteRequestFromUnitId(int) {
    return 1;
}
PORTHUB_API int RequestStatusWrite(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                                   uint32_t, int*) {
    return 0;
}
PORTHUB_API int RequestAsyncRead(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint32_t, int*) {
    return 0;
}
PORTHUB_API int RequestWriteOne(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                                uint32_t, int*) {
    return 0;
}
PORTHUB_API int Debug(int) {
    return 0;
}
PORTHUB_API int End(void) {
    return 0;
}
PORTHUB_API int DeleteRequestFromHandle(void*) {
    return 0;
}
PORTHUB_API int RequestWrite(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                             uint32_t, int*) {
    return 0;
}
#ifndef FAKE_LEAVE_OUT_STATUS_GET
PORTHUB_API int RequestStatusGet(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint8_t*, int,
                                 uint32_t, int*) {
    return 0;
}
#endif
PORTHUB_API int RequestStatusSetFeature(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*,
                                        int, uint32_t, int*) {
    return 0;
}
}
