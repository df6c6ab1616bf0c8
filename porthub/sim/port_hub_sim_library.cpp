// libPortHubSim: the simulated keyboard as a PortHub library. Its environment: VORNAK_SIM_STATE (memory kept
// between runs), VORNAK_SIM_LOG (traffic log), VORNAK_SIM_LATENCY_MS (per reply), VORNAK_SIM_CONTROL (control
// FIFO), VORNAK_SIM_DETACHED (1: the keyboard starts unplugged), VORNAK_SIM_FAULTS (standing fault modes).
#include "porthub/sim/port_hub_sim.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "porthub/sim/control_fifo.h"
#include "porthub/sim/keyboard_simulator.h"

namespace {

using namespace vornak::sim;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

struct Library {
    std::unique_ptr<KeyboardSimulator> simulator;
    std::unique_ptr<ControlFifo> control;

    Library() {
        SimConfig config;
        config.stateFile = Env("VORNAK_SIM_STATE");
        config.logFile = Env("VORNAK_SIM_LOG");
        if (const std::string latency = Env("VORNAK_SIM_LATENCY_MS"); !latency.empty()) {
            char* end = nullptr;
            const long ms = std::strtol(latency.c_str(), &end, 10);
            if (end != nullptr && *end == '\0' && ms >= 0 && ms <= 10000)
                config.latency = std::chrono::milliseconds(ms);
            else
                std::fprintf(stderr,
                             "PortHubSim: VORNAK_SIM_LATENCY_MS=\"%s\" is not a number of milliseconds "
                             "(0..10000); using 0\n",
                             latency.c_str());
        }
        if (const std::string detached = Env("VORNAK_SIM_DETACHED"); detached == "1")
            config.attached = false;
        else if (!detached.empty() && detached != "0")
            std::fprintf(
                stderr,
                "PortHubSim: VORNAK_SIM_DETACHED=\"%s\" is neither 0 nor 1; the keyboard is attached\n",
                detached.c_str());
        if (const std::string faults = Env("VORNAK_SIM_FAULTS"); !faults.empty()) {
            std::string error;
            if (const std::optional<FaultModes> modes = ParseFaultModes(faults, &error))
                config.modes = *modes;
            else
                std::fprintf(stderr, "PortHubSim: VORNAK_SIM_FAULTS=\"%s\": %s; no fault modes\n",
                             faults.c_str(), error.c_str());
        }
        simulator = std::make_unique<KeyboardSimulator>(std::move(config));
        SetActiveSimulator(simulator.get());
        if (const std::string path = Env("VORNAK_SIM_CONTROL"); !path.empty()) {
            control = std::make_unique<ControlFifo>(*simulator, path);
            if (!control->ok()) std::fprintf(stderr, "PortHubSim: %s\n", control->error().c_str());
        }
    }
    ~Library() {
        control.reset();
        SetActiveSimulator(nullptr);
    }
};

Library& Lib() {
    static Library library;
    return library;
}

const PortHubFunctions& Fn() {
    Lib();
    return SimulatorFunctions();
}

}  // namespace

extern "C" {

PORTHUB_API int Init(int flags) {
    return Fn().Init(flags);
}
PORTHUB_API int RequestGetDeviceCount(const PortHubDeviceFilter* filter, PortHubCallback callback,
                                      uint32_t tag, uint32_t requestId, int* out) {
    return Fn().RequestGetDeviceCount(filter, callback, tag, requestId, out);
}
PORTHUB_API int DeleteRequestFromUnitId(int id) {
    return Fn().DeleteRequestFromUnitId(id);
}
PORTHUB_API int RequestStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                   const uint8_t* data, int length, uint32_t requestId, int* outId) {
    return Fn().RequestStatusWrite(filter, callback, tag, data, length, requestId, outId);
}
PORTHUB_API int RequestAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 uint32_t requestId, int* outId) {
    return Fn().RequestAsyncRead(filter, callback, tag, requestId, outId);
}
PORTHUB_API int RequestWriteOne(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                const uint8_t* data, int length, uint32_t requestId, int* out) {
    return Fn().RequestWriteOne(filter, callback, tag, data, length, requestId, out);
}
PORTHUB_API int Debug(int level) {
    return Fn().Debug(level);
}
PORTHUB_API int End(void) {
    return Fn().End();
}
PORTHUB_API int DeleteRequestFromHandle(void* handle) {
    return Fn().DeleteRequestFromHandle(handle);
}
PORTHUB_API int RequestWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                             const uint8_t* data, int length, uint32_t requestId, int* out) {
    return Fn().RequestWrite(filter, callback, tag, data, length, requestId, out);
}
PORTHUB_API int RequestStatusGet(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 uint8_t* data, int length, uint32_t requestId, int* out) {
    return Fn().RequestStatusGet(filter, callback, tag, data, length, requestId, out);
}
PORTHUB_API int RequestStatusSetFeature(const PortHubDeviceFilter* filter, PortHubCallback callback,
                                        uint32_t tag, const uint8_t* data, int length, uint32_t requestId,
                                        int* out) {
    return Fn().RequestStatusSetFeature(filter, callback, tag, data, length, requestId, out);
}

PORTHUB_API int PortHubSimRaiseEvent(int event) {
    static constexpr SimEvent kEvents[] = {SimEvent::Attach,      SimEvent::Detach,
                                           SimEvent::LayerSwitch, SimEvent::SettingsChanged,
                                           SimEvent::MacroStart,  SimEvent::MacroStop};
    if (event < 0 || event >= static_cast<int>(std::size(kEvents))) return 0;
    Lib().simulator->Raise(kEvents[event]);
    return 1;
}

PORTHUB_API int PortHubSimInjectFault(int kind, int count, int skip, int command, int delayMs) {
    static constexpr FaultKind kKinds[] = {
        FaultKind::NoReply,   FaultKind::WrongCommand, FaultKind::StatusFF,      FaultKind::StatusFE,
        FaultKind::LateReply, FaultKind::Detach,       FaultKind::BusyAfterWork, FaultKind::Forgotten};
    if (kind < 0 || kind >= static_cast<int>(std::size(kKinds)) || command < 0 || command > 255) return 0;
    Fault f;
    f.kind = kKinds[kind];
    f.count = count;
    f.skip = skip < 0 ? 0 : skip;
    f.command = static_cast<uint8_t>(command);
    f.delay = std::chrono::milliseconds(delayMs < 0 ? 0 : delayMs);
    Lib().simulator->InjectFault(f);
    return 1;
}

PORTHUB_API int PortHubSimViolationCount(void) {
    return Lib().simulator->violations();
}

PORTHUB_API int PortHubSimFlush(void) {
    Lib().simulator->WaitUntilDelivered();
    return 1;
}

}  // extern "C"
