// A model of the KX1's firmware behind the PortHub contract: its memory areas, the command protocol with
// checks that count every violation, the events it raises, the faults a test can inject, a latency per
// report, the state file and the traffic log. Tests use the class in-process; libPortHubSim exports it as the
// twelve functions. Its sources go by job: firmware.cpp, delivery.cpp, state_file.cpp, traffic_log.cpp and
// sim_functions.cpp (the function table), with the life cycle and accessors in keyboard_simulator.cpp.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "device/device_command.h"
#include "device/port_hub.h"
#include "porthub/sim/fault_modes.h"
#include "porthub/sim/sim_memory.h"
#include "porthub/sim/traffic_log.h"

namespace vornak::sim {

enum class SimEvent {
    Attach,
    Detach,
    LayerSwitch,      // PORTHUB_EVENT_LAYER_SWITCH
    SettingsChanged,  // PORTHUB_EVENT_SETTINGS_CHANGED
    MacroStart,       // PORTHUB_EVENT_MACRO_STARTED
    MacroStop,        // PORTHUB_EVENT_MACRO_ENDED
};

// What the keyboard hands to its standing readers: a reply on CTRL, an event on CONS, or an attach or
// removal (with the number of keyboards now attached) to every reader.
enum class SimDeliveryKind { Reply, Event, DeviceChange };

// Called for every delivery, on the delivery thread, after the standing readers.
using SimDeliveryTap = std::function<void(SimDeliveryKind kind, std::span<const uint8_t> bytes, int count)>;

enum class FaultKind {
    NoReply,        // the report is lost: nothing done, nothing answered
    WrongCommand,   // done, but the reply carries another command byte
    StatusFF,       // refused: nothing done, status 0xFF
    StatusFE,       // busy: nothing done, status 0xFE
    LateReply,      // done, answered after delay on top of the latency
    Detach,         // the keyboard is pulled out instead of answering
    BusyAfterWork,  // done, but answered 0xFE: firmware still busy with its flash
    Forgotten,      // answered as done, but nothing done: only reading the memory back shows it
};

struct Fault {
    FaultKind kind = FaultKind::NoReply;
    int count = 1;        // how many reports it hits
    int skip = 0;         // reports that pass untouched first
    uint8_t command = 0;  // only reports of this command code count; 0: any
    std::chrono::milliseconds delay{0};
};

// A default device that a test overrides field by field.
struct SimConfig {
    SimMemory memory = SimMemory::Factory();
    bool attached = true;
    std::chrono::milliseconds latency{0};  // per reply; 1 ms is a full-speed USB endpoint
    std::filesystem::path logFile;         // traffic log, appended to; empty: none
    std::filesystem::path stateFile;       // memory kept between runs; empty: none
    FaultModes modes;                      // all off
    bool inSequence = false;               // a write sequence already begun (a keyboard taken over)
};

class KeyboardSimulator {
  public:
    explicit KeyboardSimulator(SimConfig config = {});
    // Saves the state file and stops the delivery thread.
    ~KeyboardSimulator();
    KeyboardSimulator(const KeyboardSimulator&) = delete;
    KeyboardSimulator& operator=(const KeyboardSimulator&) = delete;

    // The contract, as the twelve functions call it. Callbacks run on the simulator's delivery thread.
    int GetDeviceCount(const PortHubDeviceFilter* filter) const;
    int DeleteRequest(int id);
    int StatusWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                    const uint8_t* data, int length, int* outId);
    int AsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, int* outId);
    // 1: written (the reply, if any, follows on the CTRL readers); 0: no keyboard or not the CTRL collection.
    int WriteOne(const PortHubDeviceFilter* filter, const uint8_t* data, int length);

    // Memory, read and changed before or after a test (never while a transfer runs).
    SimMemory memory() const;
    void SetMemory(const SimMemory& memory);
    SettingsBlock settings() const;
    // Resizes the macro area to the settings' macro units.
    void SetSettings(std::span<const uint8_t, kSettingsBlockSize> settings);
    std::array<uint8_t, kLightingSize> lighting() const;
    void SetLighting(std::span<const uint8_t, kLightingSize> lighting);
    KeyBlock keyBlock(int index) const;
    void SetKeyBlock(int index, const KeyBlock& block);
    KeyBlock defaultLayout() const;
    void SetDefaultLayout(const KeyBlock& layout);
    std::vector<uint8_t> macroArea() const;
    void SetMacroArea(std::span<const uint8_t> bytes);  // from offset 0, cut to the area
    std::array<uint8_t, kKeyColoursSize> keyColours() const;
    void SetKeyColours(std::span<const uint8_t, kKeyColoursSize> colours);
    std::array<uint8_t, 2> ledStatus() const;  // the last LED report; {0, 0} before the first

    // Events and faults.
    void Raise(SimEvent event);
    bool attached() const;
    void InjectFault(const Fault& fault);
    void ClearFaults();
    void SetLatency(std::chrono::milliseconds latency);
    std::chrono::milliseconds latency() const;
    std::filesystem::path logFile() const;
    // The standing modes; injected faults go first.
    void SetFaultModes(const FaultModes& modes);
    FaultModes faultModes() const;

    // Checks.
    int violations() const;
    std::vector<std::string> violationReasons() const;
    bool inSequence() const;
    // A write sequence begun on the keyboard's previous host goes on here.
    void ContinueSequence();
    // Update-mode requests accepted (every byte as the loader expects it).
    int bootModeRequests() const;
    // Reads refused by strict-reads for running past their area's end; not violations, since firmware
    // may refuse them and the program must cope.
    int refusedReads() const;
    // How long before the last report with this command code the keyboard had handed over its previous
    // reply: the sender's pause. Nothing before the first such report.
    std::optional<std::chrono::microseconds> GapBefore(uint8_t command) const;
    std::vector<TrafficEntry> traffic() const;
    // The OUT reports only, in order.
    std::vector<std::vector<uint8_t>> commandsSent() const;
    void ClearTraffic();
    // Waits until every queued reply and event has been handed to the callbacks.
    void WaitUntilDelivered() const;

    // Writes the state file now; false (with a message naming the file) when it cannot.
    bool SaveState(std::string* error = nullptr);

    // How the shared keyboard reaches its readers in this and other processes (null: none).
    void SetDeliveryTap(SimDeliveryTap tap);
    // Whether a standing reader with this filter receives deliveries of this kind.
    static bool Reaches(const PortHubDeviceFilter& filter, SimDeliveryKind kind);

  private:
    struct Registration {
        PortHubDeviceFilter filter;
        PortHubCallback callback;
        uint32_t tag;
    };
    using DeliveryKind = SimDeliveryKind;
    struct Delivery {
        DeliveryKind kind;
        std::vector<uint8_t> bytes;  // reply or event report
        int count = 0;               // DeviceChange: devices now attached
    };
    enum class Collection { Led, Cons, Ctrl, Any };
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kEventReportSize = 8;

    static bool Answers(const PortHubDeviceFilter& filter, Collection collection);
    void LoadState();
    void OpenTrafficLog();
    void CloseTrafficLog();
    void Record(TrafficDirection direction, std::span<const uint8_t> bytes);
    void Violation(std::string reason);
    void Queue(Clock::time_point due, Delivery delivery);
    void AttachLocked();
    void DetachLocked();
    std::optional<Fault> TakeFault(uint8_t command);
    // Whether the update-mode request is byte for byte what the loader expects; a violation when not.
    bool CheckBootRequest(std::span<const uint8_t> report);
    // Runs one command on the memory; the status byte of the reply.
    uint8_t Execute(std::span<const uint8_t, kCommandSize> request, std::span<uint8_t, kCommandSize> reply);
    void ResizeMacroArea();
    void DeliveryLoop();
    bool SaveStateLocked(std::string* error);

    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    SimConfig config_;
    SimMemory memory_;
    bool attached_ = true;
    bool inSequence_ = false;
    bool stateLoadFailed_ = false;
    bool dirty_ = false;  // memory written since the state file was last saved
    int violations_ = 0;
    std::vector<std::string> violationReasons_;
    int bootModeRequests_ = 0;
    int refusedReads_ = 0;
    std::optional<Clock::time_point> lastReplyAt_;
    std::map<uint8_t, Clock::duration> gapBefore_;
    std::array<uint8_t, 2> led_{};
    std::vector<Fault> faults_;
    std::map<int, Registration> registrations_;
    SimDeliveryTap tap_;
    int nextId_ = 1;
    std::deque<TrafficEntry> traffic_;
    std::FILE* log_ = nullptr;
    Clock::time_point start_ = Clock::now();

    std::multimap<Clock::time_point, Delivery> queue_;
    bool delivering_ = false;
    bool stopping_ = false;
    std::thread deliveryThread_;
};

// The in-process form of the library: the twelve functions over the active simulator. Change the active
// simulator only while no link uses the functions.
void SetActiveSimulator(KeyboardSimulator* simulator);
KeyboardSimulator* ActiveSimulator();
const PortHubFunctions& SimulatorFunctions();

}  // namespace vornak::sim
