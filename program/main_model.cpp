#include "program/main_model.h"

#include <mutex>

#include "assign/assign_rules.h"
#include "platform/text_format.h"

namespace vornak {

void RestoreDefaultEntries(EditCopy& edit, int profile, bool layerB) {
    // Each key is given Default by the same rule as in the key dialog: a G key keeps its tag, every entry
    // its selection flag, and a launch-program or text name is freed.
    const auto clear = [&](int slot) {
        const AssignResult r =
            EntryForAssignment(slot, edit.image.entry(profile, slot), Assignment::Default());
        if (r.ok()) StoreEntry(edit, profile, slot, r.entry);
    };
    for (const KeyButton& b : kKeyButtons)
        clear(KeySlot(b.code));
    for (int i = 0; i < kGKeyCount; ++i)
        clear(GKeySlot(i, layerB));
}

TimerPlan PlanTimers(const WindowState& s) {
    TimerPlan plan;
    const bool visible = s.shown && !s.minimised;
    if (!visible) return plan;
    plan.busy = s.busyVisible;
    plan.preview = s.hasLightingPanel && s.lightingSwitch;
    plan.arrows = EffectArrowsShown(s);
    plan.lightingReread = s.hasLightingPanel && s.lightingStale;
    return plan;
}

bool EffectArrowsShown(const WindowState& s) {
    return s.hasLightingPanel && s.lightingSwitch;
}

MainWindowModel::MainWindowModel(ConfigStore& store, const LanguageTexts& texts)
    : store_(store), texts_(texts) {}

std::optional<KeyLook> MainWindowModel::LookOf(uint16_t controlId) const {
    const ProfileKeys& keys = snapshot_.profiles[static_cast<size_t>(selectedProfile_)];
    if (auto g = GKeyIndex(controlId)) {
        const int slot = GKeySlot(*g, layerB_);
        const AssignmentDescription& d = keys.gKeys[static_cast<size_t>(slot - kGKeySlotLayerA)];
        return KeyLook{d.text, d.assigned};
    }
    for (size_t i = 0; i < kKeyButtons.size(); ++i) {
        if (kKeyButtons[i].controlId == controlId) return KeyLook{keys.keys[i].text, keys.keys[i].assigned};
    }
    return std::nullopt;
}

std::u16string MainWindowModel::GKeyLabel(int index) const {
    if (index < 0 || index >= 5) return {};
    return FormatText(layerB_ ? u"B%d" : u"A%d", {int64_t{index + 1}});
}

std::optional<KeyClickTarget> MainWindowModel::ClickTarget(uint16_t controlId) const {
    constexpr uint16_t kFuncMacro = 1007;
    if (controlId == kFuncMacro) {
        const int slot = GKeySlot(kGKeyCount - 1, layerB_);
        return KeyClickTarget{slot, kGKeyControlIds[kGKeyCount - 1], true};
    }
    if (auto g = GKeyIndex(controlId)) {
        const int slot = GKeySlot(*g, layerB_);
        return KeyClickTarget{slot, controlId, IsMacroOnlySlot(slot)};
    }
    if (auto code = KeyButtonCode(controlId)) return KeyClickTarget{KeySlot(*code), controlId, false};
    return std::nullopt;
}

void MainWindowModel::Loaded(const LoadOutcome& outcome, bool applyEnabledAfter) {
    snapshot_ = outcome.snapshot;
    SelectProfile(outcome.currentProfile);
    if (outcome.replaced) {
        allProfilesNextApply_ = false;
        if (observer_ != nullptr) observer_->Loaded();
    }
    applyEnabled_ = applyEnabledAfter;
}

void MainWindowModel::FileLoaded(const LoadOutcome& outcome) {
    Loaded(outcome, outcome.replaced ? !outcome.ok : applyEnabled_);
}

bool MainWindowModel::ShowIfRunning(int profile, int keyboardProfile) {
    if (profile != keyboardProfile) return false;
    SelectProfile(profile);
    return true;
}

void MainWindowModel::SceneLoaded(int keyboardProfile) {
    LoadOutcome load;
    load.ok = true;
    load.replaced = true;
    load.currentProfile = keyboardProfile;
    {
        std::lock_guard lock(store_.lockA());
        load.snapshot = TakeKeyboardSnapshot(store_.edit(), texts_);
    }
    Loaded(load, applyEnabled_);
}

void MainWindowModel::SelectProfile(int profile) {
    if (profile >= 0 && profile < kProfileCount) selectedProfile_ = profile;
}

bool MainWindowModel::Edit(std::string_view what, const std::function<bool(EditCopy&)>& change) {
    bool changed;
    {
        std::lock_guard lock(store_.lockA());
        if (observer_ != nullptr) observer_->BeforeEdit(store_.edit(), what);
        changed = change(store_.edit());
        if (observer_ != nullptr) observer_->AfterEdit(store_.edit());
        snapshot_ = TakeKeyboardSnapshot(store_.edit(), texts_);
    }
    if (changed) applyEnabled_ = true;
    return changed;
}

bool MainWindowModel::RestoreDefaults() {
    const int profile = selectedProfile_;
    const bool layerB = layerB_;
    return Edit("restore defaults", [&](EditCopy& edit) {
        RestoreDefaultEntries(edit, profile, layerB);
        return true;
    });
}

void MainWindowModel::Refresh() {
    std::lock_guard lock(store_.lockA());
    snapshot_ = TakeKeyboardSnapshot(store_.edit(), texts_);
}

std::optional<MainWindowModel::ApplyPlan> MainWindowModel::BeginApply() {
    if (applyRunning_) return std::nullopt;
    applyRunning_ = true;
    ShowBusy();
    return ApplyPlan{applyEnabled_, allProfilesNextApply_};
}

void MainWindowModel::FinishApply(const ApplyOutcome& outcome) {
    applyRunning_ = false;
    if (outcome.succeeded()) {
        applyEnabled_ = false;
        allProfilesNextApply_ = false;
    }
}

void MainWindowModel::ShowBusy() {
    busyVisible_ = true;
    busyFrame_ = 0;
}

void MainWindowModel::HideBusy() {
    busyVisible_ = false;
}

}  // namespace vornak
