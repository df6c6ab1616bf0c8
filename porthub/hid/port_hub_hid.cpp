// libPortHub: the PortHub contract for a real KX1 over hidapi.
#include <cstring>
#include <memory>
#include <string>

#include "device/port_hub.h"
#include "porthub/hid/hid_hub.h"

namespace {

using vornak::hid::HidHub;

HidHub& Hub() {
    static HidHub hub(vornak::hid::MakeHidapiBackend());
    return hub;
}

}  // namespace

extern "C" {

PORTHUB_API int Init(int) {
    return Hub().Init();
}
PORTHUB_API int RequestGetDeviceCount(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, uint32_t,
                                      int*) {
    return Hub().GetDeviceCount(filter);
}
PORTHUB_API int DeleteRequestFromUnitId(int id) {
    return Hub().DeleteRequest(id);
}
PORTHUB_API int RequestStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t,
                                   const uint8_t* data, int length, uint32_t, int* outId) {
    return Hub().StatusWrite(filter, data, length, outId);
}
PORTHUB_API int RequestAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 uint32_t, int* outId) {
    return Hub().AsyncRead(filter, callback, tag, outId);
}
PORTHUB_API int RequestWriteOne(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t,
                                const uint8_t* data, int length, uint32_t, int*) {
    return Hub().WriteOne(filter, data, length);
}
PORTHUB_API int Debug(int) {
    return 1;
}
PORTHUB_API int End(void) {
    Hub().End();
    return 1;
}
PORTHUB_API int DeleteRequestFromHandle(void*) {
    return 1;
}
PORTHUB_API int RequestWrite(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                             uint32_t, int*) {
    return 0;
}
PORTHUB_API int RequestStatusGet(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint8_t*, int,
                                 uint32_t, int*) {
    return 0;
}
PORTHUB_API int RequestStatusSetFeature(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*,
                                        int, uint32_t, int*) {
    return 0;
}

// Every program of ours locks the command collection's hidraw node around a write sequence.
PORTHUB_API int PortHubKeyboardLockPath(const PortHubDeviceFilter* filter, char* out, int capacity) {
    const std::string path = Hub().NodePath(filter);
    if (path.empty() || out == nullptr || capacity <= static_cast<int>(path.size())) return 0;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return static_cast<int>(path.size());
}

}  // extern "C"
