#include "program/main_window_parts.h"

#include "assign/assignment.h"
#include "platform/paths.h"
#include "platform/tick_count.h"
#include "transfer/config_transfer.h"

namespace vornak {

DeviceJobRunner WorkerJobRunner(DeviceWorker& worker) {
    return [&worker](std::string name, DeviceJob work, std::function<void()> done) {
        worker.Post(
            std::move(name),
            [work = std::move(work)](DeviceContext& c) {
                ProfileServices s{c.link, c.store, c.transfer, c.files};
                work(s);
            },
            std::move(done));
    };
}

MainWindowParts::MainWindowParts(MainWindowPartsServices s, MainWindowView& view)
    : worker_(s.worker),
      view_(view),
      model_(s.store, s.texts),
      history_(model_, s.store, s.texts),
      appProfile_(s.paths.appProfile),
      sceneDialog_(appProfile_, s.texts, s.prompts),
      switcher_(s.state, s.texts, s.prompts, WorkerJobRunner(s.worker)),
      update_(s.state, s.paths, s.texts, s.prompts, WorkerJobRunner(s.worker), std::move(s.startProgram)),
      macroEditor_(s.texts, s.prompts,
                   MacroDeleteWhenIdle([&worker = s.worker] { return worker.busy(); }, s.prompts, s.texts,
                                       [&transfer = s.transfer](const MacroRecord& macro) {
                                           return transfer.MacroUsedByKeys(macro);
                                       }),
                   TickCount, IsMultimediaKey),
      keyHost_(model_, s.store, *this),
      keyDialog_(keyHost_, macroEditor_, s.texts) {
    switcher_.SetHost(&view_);
    switcher_.SetSceneDialog(&sceneDialog_);
}

MainWindowParts::~MainWindowParts() {
    switcher_.SetHost(nullptr);
}

bool MainWindowParts::Edit(std::string_view what, const std::function<bool(EditCopy&)>& change) {
    const bool changed = model_.Edit(what, change);
    view_.EditShown();
    return changed;
}

bool MainWindowParts::Apply(const std::function<void()>& started,
                            std::function<void(const ApplyOutcome&)> finished) {
    const auto plan = model_.BeginApply();
    if (!plan) return false;
    started();
    auto finish = [this, finished = std::move(finished)](const ApplyOutcome& outcome) {
        model_.FinishApply(outcome);
        history_.Applied(outcome);
        finished(outcome);
    };
    if (!plan->send) {
        finish(ApplyOutcome{});
        return true;
    }
    worker_.Post<ApplyOutcome>(
        "apply", [all = plan->allProfiles](DeviceContext& c) { return RunApply(c, all); },
        [finish = std::move(finish)](ApplyOutcome outcome) { finish(outcome); });
    return true;
}

void MainWindowParts::Import(std::filesystem::path file, std::function<void(const LoadOutcome&)> shown) {
    worker_.Post<LoadOutcome>(
        "import", [file = std::move(file)](DeviceContext& c) { return RunImport(c, file); },
        [this, shown = std::move(shown)](LoadOutcome outcome) {
            model_.FileLoaded(outcome);
            shown(outcome);
        });
}

void MainWindowParts::ReloadFromKeyboard(std::function<void()> shown) {
    // The capture and the reload are keyboard traffic: a job, in order after whatever runs.
    worker_.Post<LoadOutcome>(
        "reload from keyboard", [](DeviceContext& c) { return RunReloadFromKeyboard(c); },
        [this, shown = std::move(shown)](LoadOutcome outcome) {
            model_.Loaded(outcome, false);
            shown();
        });
}

void MainWindowParts::TakeScene(const SceneOutcome& outcome, std::function<void()> shown) {
    if (!outcome.replaced) {
        model_.SelectProfile(outcome.currentProfile);
        shown();
        return;
    }
    worker_.WhenIdle("scene loaded", [this, current = outcome.currentProfile, shown = std::move(shown)] {
        model_.SceneLoaded(current);
        shown();
    });
}

}  // namespace vornak
