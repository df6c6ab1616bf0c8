// A device link bound to an in-process simulated keyboard, through the same twelve functions the program
// binds from the library. Tests check what reached the keyboard on the simulator's memory and traffic log.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/link_events.h"
#include "device/port_hub_link.h"
#include "porthub/sim/keyboard_simulator.h"

namespace vornak::test {

// Waits short enough for tests, long enough for a loaded machine under ThreadSanitizer.
LinkTimings FastLinkTimings();

// Records what the link told the main window; every call is also a line in log().
class RecordingLinkEvents : public LinkEvents {
  public:
    void ProfileRead() override { Add("profile-read"); }
    void DeviceGone() override { Add("device-gone"); }
    void HideMainWindow() override { Add("hide"); }
    void LedChanged(bool layerB) override { Add(layerB ? "led B" : "led A"); }
    void LightingChanged() override { Add("lighting-changed"); }
    void SetTrayIcon(TrayIconMode mode, int iconId) override;
    void ShowMainWindow() override { Add("show"); }
    void ShowMessage(TextId text) override;

    std::vector<std::string> log() const;
    // Waits until the log has at least n lines; false after the timeout.
    bool WaitForCount(size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    void Clear();

  private:
    void Add(std::string line);
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    std::vector<std::string> log_;
};

struct SimHarnessOptions {
    sim::SimConfig config;  // attached, latency 0, factory memory
    LinkTimings timings = FastLinkTimings();
    LinkEvents* events = nullptr;  // null: the link's events are dropped
    bool mainWindowReady = true;   // the device thread waits for this mark
    // Runs the start-up detection as the program does (default layout, settings, macroCapacity,
    // devicePresent) and then clears the traffic log, so a test sees only its own reports.
    bool detect = true;
};

class SimHarness {
  public:
    SimHarness() : SimHarness(SimHarnessOptions{}) {}
    explicit SimHarness(SimHarnessOptions options);
    // The link goes first, so no callback reaches a destroyed simulator.
    ~SimHarness();
    SimHarness(const SimHarness&) = delete;
    SimHarness& operator=(const SimHarness&) = delete;

    // A harness whose keyboard is not plugged in.
    static SimHarnessOptions NoKeyboard();

    sim::KeyboardSimulator& sim() { return *sim_; }
    DeviceLink& link() { return *link_; }
    PortHubLink& portHubLink() { return *link_; }

  private:
    std::unique_ptr<sim::KeyboardSimulator> sim_;
    std::unique_ptr<PortHubLink> link_;
};

}  // namespace vornak::test
