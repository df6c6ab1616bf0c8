// The program's main window offscreen on an in-process simulated keyboard: the real stack, worker, relay and
// CVornakDlg, with the generated skin beside the built program and a private documents folder.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <functional>
#include <memory>

#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "porthub/sim/keyboard_simulator.h"
#include "program/program_stack.h"
#include "program/ui_prompts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/sim_harness.h"
#include "tests/support/temp_dir.h"

namespace vornak::test {

// Runs the Qt event loop until pred holds; false on timeout.
inline bool ProcessUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

inline void ProcessFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    ProcessUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

struct WindowFixtureOptions {
    sim::SimConfig config;
    bool startInTray = false;
    bool start = true;  // channels, detection, MSG_INIT
    LinkTimings timings = FastLinkTimings();
};

class WindowFixture {
  public:
    explicit WindowFixture(WindowFixtureOptions options = {})
        : sim(std::make_unique<sim::KeyboardSimulator>(options.config)),
          paths(PathRoots{VORNAK_BIN_DIR, dir / "Documents", dir / "config"}),
          prompts(dialogs, MakeUiBlockingCall(&ui)),
          stack(paths, texts, prompts) {
        texts.LoadLanguageTexts(paths.languageIni);
        sim::SetActiveSimulator(sim.get());
        stack.BindFunctions(sim::SimulatorFunctions(), options.timings);
        worker = std::make_unique<DeviceWorker>(DeviceContext{stack.link(), stack.store(), stack.transfer(),
                                                              stack.files(), texts, &stack.lighting()},
                                                MakeUiPoster(&ui));
        stack.link().SetTrafficMutex(&worker->trafficMutex());
        window = std::make_unique<CVornakDlg>(MainWindowServices{paths, texts, stack.store(),
                                                                 stack.transfer(), stack.link(), *worker,
                                                                 prompts, options.startInTray});
        relay = std::make_unique<LinkRelay>(*window, MakeUiPoster(&ui), MakeUiBlockingCall(&ui));
        stack.link().SetEvents(relay.get());
        if (options.startInTray) stack.link().state().autoShowDone.store(1);
        window->Init();
        if (options.start) {
            stack.link().SetUpChannels();
            stack.link().DetectDevice();
        }
    }
    ~WindowFixture() {
        relay->Close();
        prompts.Close();
        worker->Stop();
        stack.link().BeginShutdown();
        ProcessUntil([&] { return relay->idle() && worker->WorkerIdle(); });
        worker->Join();
        stack.link().SetEvents(nullptr);
        stack.link().WaitForWorkers();
        window.reset();
    }

    // The window was read from the keyboard and nothing is pending.
    bool Ready() {
        return ProcessUntil([&] { return window->ready() && window->isVisible() && !worker->busy(); });
    }

    struct ActiveReset {
        ~ActiveReset() { sim::SetActiveSimulator(nullptr); }
    };
    TempDir dir;
    ActiveReset activeReset;
    QObject ui;
    std::unique_ptr<sim::KeyboardSimulator> sim;
    ProgramPaths paths;
    LanguageTexts texts;
    ScriptedPrompts dialogs;
    UiThreadPrompts prompts;
    ProgramStack stack;
    std::unique_ptr<DeviceWorker> worker;
    std::unique_ptr<CVornakDlg> window;
    std::unique_ptr<LinkRelay> relay;
};

}  // namespace vornak::test
