// The running program's stack without a window: a simulated keyboard, the ProgramStack bound to it
// in-process, the device worker and the link's relay, with the test thread as the UI thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "porthub/sim/keyboard_simulator.h"
#include "program/device_worker.h"
#include "program/link_relay.h"
#include "program/main_model.h"
#include "program/program_stack.h"
#include "program/ui_prompts.h"
#include "tests/program/test_ui.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"

namespace vornak::test {

// The window's side of the link events as the program's window handles them, recorded.
class FakeWindow : public MainWindowEvents {
  public:
    FakeWindow(DeviceWorker& worker, MainWindowModel& model, PortHubLink& link)
        : worker_(worker), model_(model), link_(link) {}

    void OnProfileRead(std::function<void()> finished) override {
        log.push_back("profile-read");
        if (beforeReload) beforeReload();
        worker_.Post<LoadOutcome>(
            "reload", [](DeviceContext& c) { return RunReloadFromKeyboard(c); },
            [this, finished = std::move(finished)](LoadOutcome o) {
                model_.Loaded(o, false);
                log.push_back("reloaded");
                finished();
            });
    }
    void OnDeviceGone() override { log.push_back("device-gone"); }
    void OnHideMainWindow() override { log.push_back("hide"); }
    void OnLedChanged(bool layerB) override {
        model_.SetLayerB(layerB);
        log.push_back(layerB ? "led B" : "led A");
    }
    void OnLightingChanged() override { log.push_back("lighting"); }
    void OnTrayIcon(TrayIconMode, int iconId) override { log.push_back("tray " + std::to_string(iconId)); }
    void OnOpen() override {
        log.push_back(link_.state().devicePresent.load() == 0 ? "no-device-message" : "open");
    }
    void OnMessage(TextId) override { log.push_back("message"); }

    size_t Count(const std::string& line) const {
        size_t n = 0;
        for (const auto& l : log)
            n += l == line;
        return n;
    }
    std::vector<std::string> log;
    std::function<void()> beforeReload;  // runs before the reload job is posted

  private:
    DeviceWorker& worker_;
    MainWindowModel& model_;
    PortHubLink& link_;
};

struct ProgramFixtureOptions {
    sim::SimConfig config;
    bool startInTray = false;
};

class ProgramFixture {
  public:
    explicit ProgramFixture(ProgramFixtureOptions options = {})
        : sim(std::make_unique<sim::KeyboardSimulator>(options.config)),
          paths(PathRoots{dir / "program", dir / "Documents", dir / "config"}),
          prompts(dialogs, ui.Blocking()),
          stack(paths, texts, prompts) {
        sim::SetActiveSimulator(sim.get());
        stack.BindFunctions(sim::SimulatorFunctions(), FastLinkTimings());
        worker = std::make_unique<DeviceWorker>(DeviceContext{stack.link(), stack.store(), stack.transfer(),
                                                              stack.files(), texts, &stack.lighting()},
                                                ui.Poster());
        stack.link().SetTrafficMutex(&worker->trafficMutex());
        model = std::make_unique<MainWindowModel>(stack.store(), texts);
        window = std::make_unique<FakeWindow>(*worker, *model, stack.link());
        relay = std::make_unique<LinkRelay>(*window, ui.Poster(), ui.Blocking());
        stack.link().SetEvents(relay.get());
        if (options.startInTray) stack.link().state().autoShowDone.store(1);
    }
    // The program's start: channels, detection, the ready mark (MSG_INIT).
    int Start() {
        stack.link().SetUpChannels();
        const int count = stack.link().DetectDevice();
        stack.link().state().mainWindowReady.store(true);
        return count;
    }
    // The program's end, as the real one runs it; true when it finished in time.
    bool Shutdown(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        relay->Close();
        prompts.Close();
        worker->Stop();  // first, as the program does: a job queued behind the running one never starts
        stack.link().BeginShutdown();
        const bool quiet = ui.RunUntil([&] { return relay->idle() && worker->WorkerIdle(); }, limit);
        worker->Join();
        // The device thread may still be on its way to the relay (tray icon, first open); the relay is
        // destroyed before the link, so the thread must be gone first, as in the program.
        stack.link().WaitForWorkers();
        stack.link().SetEvents(nullptr);
        return quiet;
    }
    ~ProgramFixture() {
        Shutdown();  // again when the test did: every step of it may repeat
    }

    // Runs the UI until no job is pending.
    bool Settle(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return ui.RunUntil([&] { return !worker->busy(); }, timeout);
    }

    struct ActiveReset {
        ~ActiveReset() { sim::SetActiveSimulator(nullptr); }
    };
    TempDir dir;
    ActiveReset activeReset;
    TestUi ui;
    std::unique_ptr<sim::KeyboardSimulator> sim;
    ProgramPaths paths;
    LanguageTexts texts;
    ScriptedPrompts dialogs;  // the "dialogs" on the UI thread
    UiThreadPrompts prompts;
    ProgramStack stack;
    std::unique_ptr<DeviceWorker> worker;
    std::unique_ptr<MainWindowModel> model;
    std::unique_ptr<FakeWindow> window;
    std::unique_ptr<LinkRelay> relay;
};

}  // namespace vornak::test
