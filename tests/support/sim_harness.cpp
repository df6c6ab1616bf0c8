#include "tests/support/sim_harness.h"

namespace vornak::test {

LinkTimings FastLinkTimings() {
    LinkTimings t;
    t.replyWait = std::chrono::milliseconds(250);
    t.retryPause = std::chrono::milliseconds(1);
    t.overlapGuard = std::chrono::milliseconds(20);
    t.endPause = std::chrono::milliseconds(0);
    t.readyPoll = std::chrono::milliseconds(1);
    t.trayPoll = std::chrono::milliseconds(1);
    return t;
}

void RecordingLinkEvents::SetTrayIcon(TrayIconMode mode, int iconId) {
    const char* name = mode == TrayIconMode::Base           ? "base"
                       : mode == TrayIconMode::MacroPlaying ? "macro"
                                                            : "macro-end";
    Add(std::string("tray ") + name + " " + std::to_string(iconId));
}

void RecordingLinkEvents::ShowMessage(TextId text) {
    Add("message " + std::to_string(static_cast<int>(text)));
}

void RecordingLinkEvents::Add(std::string line) {
    {
        std::lock_guard lock(mutex_);
        log_.push_back(std::move(line));
    }
    cv_.notify_all();
}

std::vector<std::string> RecordingLinkEvents::log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

bool RecordingLinkEvents::WaitForCount(size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [&] { return log_.size() >= n; });
}

void RecordingLinkEvents::Clear() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

SimHarnessOptions SimHarness::NoKeyboard() {
    SimHarnessOptions o;
    o.config.attached = false;
    return o;
}

SimHarness::SimHarness(SimHarnessOptions options) {
    sim_ = std::make_unique<sim::KeyboardSimulator>(std::move(options.config));
    sim::SetActiveSimulator(sim_.get());
    link_ = std::make_unique<PortHubLink>(sim::SimulatorFunctions(), options.timings);
    link_->SetEvents(options.events);
    link_->state().mainWindowReady.store(options.mainWindowReady);
    link_->SetUpChannels();
    if (options.detect) {
        link_->DetectDevice();
        link_->WaitForWorkers();
        sim_->WaitUntilDelivered();
        sim_->ClearTraffic();
    }
}

SimHarness::~SimHarness() {
    link_.reset();
    sim::SetActiveSimulator(nullptr);
    sim_.reset();
}

}  // namespace vornak::test
