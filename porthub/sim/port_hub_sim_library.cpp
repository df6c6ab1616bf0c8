// libPortHubSim: the simulated keyboard as a PortHub library, one keyboard per state file shared by every
// process that binds it (shared_keyboard.h). Its environment: VORNAK_SIM_STATE (memory kept between runs),
// VORNAK_SIM_LOG (traffic log), VORNAK_SIM_LATENCY_MS (per reply), VORNAK_SIM_CONTROL (control FIFO),
// VORNAK_SIM_DETACHED (1: the keyboard starts unplugged), VORNAK_SIM_FAULTS (standing fault modes).
#include "porthub/sim/port_hub_sim.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "porthub/sim/control_fifo.h"
#include "porthub/sim/keyboard_simulator.h"
#include "porthub/sim/shared_keyboard.h"

namespace {

using namespace vornak::sim;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

struct Library {
    std::unique_ptr<SharedKeyboard> keyboard;
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
        // With a state file the keyboard is shared: these settings count only when this process starts it.
        keyboard = std::make_unique<SharedKeyboard>(std::move(config));
        if (const std::string path = Env("VORNAK_SIM_CONTROL"); !path.empty()) {
            SharedKeyboard& k = *keyboard;
            control = std::make_unique<ControlFifo>(
                ControlFifo::Target{[&k](SimEvent e) { k.Raise(e); },
                                    [&k](const FaultModes& m) { k.SetFaultModes(m); }},
                path);
            if (!control->ok()) std::fprintf(stderr, "PortHubSim: %s\n", control->error().c_str());
        }
    }
    ~Library() { control.reset(); }
};

SharedKeyboard& Keyboard() {
    static Library library;
    return *library.keyboard;
}

}  // namespace

extern "C" {

PORTHUB_API int Init(int) {
    Keyboard();
    return 1;
}
PORTHUB_API int RequestGetDeviceCount(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, uint32_t,
                                      int*) {
    return Keyboard().GetDeviceCount(filter);
}
PORTHUB_API int DeleteRequestFromUnitId(int id) {
    return Keyboard().DeleteRequest(id);
}
PORTHUB_API int RequestStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t,
                                   const uint8_t* data, int length, uint32_t, int* outId) {
    return Keyboard().StatusWrite(filter, data, length, outId);
}
PORTHUB_API int RequestAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 uint32_t, int* outId) {
    return Keyboard().AsyncRead(filter, callback, tag, outId);
}
PORTHUB_API int RequestWriteOne(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t,
                                const uint8_t* data, int length, uint32_t, int*) {
    return Keyboard().WriteOne(filter, data, length);
}
PORTHUB_API int Debug(int) {
    return 1;
}
PORTHUB_API int End(void) {
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

PORTHUB_API int PortHubKeyboardLockPath(const PortHubDeviceFilter*, char* out, int capacity) {
    const std::string path = Keyboard().keyboardLockPath().string();
    if (path.empty() || out == nullptr || capacity <= static_cast<int>(path.size())) return 0;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return static_cast<int>(path.size());
}

PORTHUB_API int PortHubSimRaiseEvent(int event) {
    static constexpr SimEvent kEvents[] = {SimEvent::Attach,      SimEvent::Detach,
                                           SimEvent::LayerSwitch, SimEvent::SettingsChanged,
                                           SimEvent::MacroStart,  SimEvent::MacroStop};
    if (event < 0 || event >= static_cast<int>(std::size(kEvents))) return 0;
    Keyboard().Raise(kEvents[event]);
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
    Keyboard().InjectFault(f);
    return 1;
}

PORTHUB_API int PortHubSimViolationCount(void) {
    return Keyboard().violations();
}

PORTHUB_API int PortHubSimFlush(void) {
    Keyboard().Flush();
    return 1;
}

}  // extern "C"
