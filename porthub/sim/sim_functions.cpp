// The twelve functions of the contract over the active simulator: what tests hand to a link directly, and
// what libPortHubSim exports.
#include <atomic>

#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

namespace {

std::atomic<KeyboardSimulator*> gActive{nullptr};

int SimInit(int) {
    return gActive.load() != nullptr ? 1 : 0;
}
int SimGetDeviceCount(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, uint32_t, int*) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->GetDeviceCount(filter) : 0;
}
int SimDeleteRequest(int id) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->DeleteRequest(id) : 0;
}
int SimStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                   const uint8_t* data, int length, uint32_t, int* outId) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->StatusWrite(filter, callback, tag, data, length, outId) : 0;
}
int SimAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, uint32_t,
                 int* outId) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->AsyncRead(filter, callback, tag, outId) : 0;
}
int SimWriteOne(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, const uint8_t* data, int length,
                uint32_t, int*) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->WriteOne(filter, data, length) : 0;
}
int SimDebug(int) {
    return 1;
}
int SimEnd() {
    return 1;
}
int SimDeleteRequestFromHandle(void*) {
    return 1;
}
int SimUnused(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int, uint32_t, int*) {
    return 0;
}
int SimStatusGet(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint8_t*, int, uint32_t, int*) {
    return 0;
}

const PortHubFunctions kFunctions = {
    SimInit,
    SimGetDeviceCount,
    SimDeleteRequest,
    SimStatusWrite,
    SimAsyncRead,
    SimWriteOne,
    SimDebug,
    SimEnd,
    SimDeleteRequestFromHandle,
    SimUnused,
    SimStatusGet,
    SimUnused,
};

}  // namespace

void SetActiveSimulator(KeyboardSimulator* simulator) {
    gActive.store(simulator);
}

KeyboardSimulator* ActiveSimulator() {
    return gActive.load();
}

const PortHubFunctions& SimulatorFunctions() {
    return kFunctions;
}

}  // namespace vornak::sim
