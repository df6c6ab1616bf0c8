// Keyboard work asked for from outside the window (the bus service): decided against the window's unapplied
// edits, posted on the device worker after the window's own jobs, and shown in the window when done.
#include "app/vornak_dlg.h"
#include "assign/view/vornak_dlg_composite.h"
#include "device/port_hub_link.h"
#include "lighting/lighting.h"

namespace vornak {

WindowEdits CVornakDlg::windowEdits() const {
    return WindowEdits{model_.applyEnabled(), EditorOpen(), closing_};
}

bool CVornakDlg::OutsideAllowed(OutsideKind kind, bool force, const std::function<void(OutsideResult)>& done,
                                bool* discard) {
    const OutsideVerdict verdict = DecideOutsideWork(kind, windowEdits(), force);
    if (!verdict.refusal.ok()) {
        done(verdict.refusal);
        return false;
    }
    if (verdict.discardEdits) {
        // --force: what the window held is dropped, as by the key dialog's Cancel and a switch answered No.
        CloseSubDialogsAsCancel();
        SetApplyEnabled(false);
    }
    if (discard) *discard = verdict.discardEdits;
    return true;
}

void CVornakDlg::OutsideStatus(std::function<void(OutsideResult, KeyboardStatus)> done) {
    if (closing_) {
        done(DecideOutsideWork(OutsideKind::Status, windowEdits(), false).refusal, {});
        return;
    }
    s_.worker.Post<std::pair<OutsideResult, KeyboardStatus>>(
        "outside status",
        [](DeviceContext& c) {
            std::pair<OutsideResult, KeyboardStatus> out;
            out.first = RunStatus(c, out.second);
            return out;
        },
        [done = std::move(done)](std::pair<OutsideResult, KeyboardStatus> out) {
            done(out.first, out.second);
        });
}

void CVornakDlg::OutsideCapture(std::filesystem::path file, std::function<void(OutsideResult)> done) {
    if (!OutsideAllowed(OutsideKind::Capture, false, done)) return;
    s_.worker.Post<OutsideResult>(
        "outside capture", [file](DeviceContext& c) { return RunCapture(c, file); }, std::move(done));
}

void CVornakDlg::OutsideApply(std::filesystem::path file, bool force,
                              std::function<void(OutsideResult)> done) {
    if (!OutsideAllowed(OutsideKind::Apply, force, done)) return;
    s_.worker.Post<std::pair<OutsideResult, LoadOutcome>>(
        "outside apply",
        [file](DeviceContext& c) {
            std::pair<OutsideResult, LoadOutcome> out;
            out.second = RunApplyFileJob(c, file, out.first);
            return out;
        },
        [this, done = std::move(done)](std::pair<OutsideResult, LoadOutcome> out) {
            const LoadOutcome& load = out.second;
            // As after an import: a file that reached the edit copy but not the keyboard leaves Apply
            // enabled.
            const bool applyAfter = load.replaced ? !load.ok : model_.applyEnabled();
            model_.Loaded(load, applyAfter);
            RefreshKeyButtons();
            RefreshApply();
            if (load.replaced) emit configurationChanged();
            done(out.first);
        });
}

void CVornakDlg::OutsideSwitchProfile(int profile, bool force, std::function<void(OutsideResult)> done) {
    bool discard = false;
    if (!OutsideAllowed(OutsideKind::SwitchProfile, force, done, &discard)) return;
    s_.worker.Post<SceneOutcome>(
        "outside profile",
        [profile, discard](DeviceContext& c) {
            ProfileServices services{c.link, c.store, c.transfer, c.files};
            return RunSceneSwitch(services, profile, discard);
        },
        [this, done = std::move(done)](SceneOutcome outcome) {
            SceneSwitched(outcome);
            switcher_.RebuildSceneMenu();
            // A switch asked for by hand stays until the focus moves again.
            if (outcome.switched) FollowHandSwitch();
            done(outcome.switched ? OutsideResult{}
                                  : OutsideResult{kOutsideFailed, "the keyboard did not switch its profile"});
        });
}

void CVornakDlg::OutsideLighting(int profile, std::vector<LightingStep> steps,
                                 std::function<void(OutsideResult)> done) {
    if (!OutsideAllowed(OutsideKind::Lighting, false, done)) return;
    s_.worker.Post<OutsideResult>(
        "outside lighting",
        [profile, steps = std::move(steps)](DeviceContext& c) { return RunLightingSteps(c, profile, steps); },
        [this, done = std::move(done)](OutsideResult result) {
            OnLightingChanged();
            done(result);
        });
}

void CVornakDlg::OutsideUserMode(int profile, int mode, std::vector<std::pair<int, Colour>> paints,
                                 std::function<void(OutsideResult)> done) {
    if (!OutsideAllowed(OutsideKind::UserMode, false, done)) return;
    s_.worker.Post<OutsideResult>(
        "outside user mode",
        [profile, mode, paints = std::move(paints), prefix = s_.paths.userModePrefix](DeviceContext& c) {
            return RunUserMode(c, prefix, profile, mode, paints);
        },
        [this, done = std::move(done)](OutsideResult result) {
            OnLightingChanged();
            done(result);
        });
}

}  // namespace vornak
