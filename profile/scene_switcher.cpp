#include "profile/scene_switcher.h"

#include <mutex>

namespace vornak {

namespace {

int CachedProfile(DeviceLink& link) {
    return link.state().currentProfile.load();
}

}  // namespace

SceneOutcome RunSceneSwitch(ProfileServices& s, int index, bool discardEdits) {
    SceneOutcome out;
    out.requested = index;
    // Only the cache decides whether the profile is known: "<Default Profile>" must send nothing at all.
    if (discardEdits && CachedProfile(s.link) != -1) {
        std::lock_guard lock(s.store.lockA());
        if (!s.files.LoadImage(s.files.WorkingProfilePath())) {
            // The user chose to drop the edits; without a readable working file the defaults stand in.
            out.error = s.files.lastError();
            s.store.EmptyEdit();
        }
        out.replaced = true;
    }
    if (index >= 0) {
        out.switched = s.transfer.SetCurrentProfile(index);
        if (!out.switched) out.error = "the keyboard did not take profile " + std::to_string(index + 1);
    }
    out.currentProfile = CachedProfile(s.link);
    return out;
}

SceneOutcome RunSceneReload(ProfileServices& s, int index) {
    SceneOutcome out;
    out.requested = index;
    if (index >= 0) out.switched = s.transfer.SetCurrentProfile(index);
    s.files.ReloadFromKeyboard(false);
    out.replaced = true;
    out.error = s.files.lastError();
    out.currentProfile = CachedProfile(s.link);
    return out;
}

SceneSwitcher::SceneSwitcher(LinkState& state, const LanguageTexts& texts, Prompts& prompts,
                             DeviceJobRunner run)
    : state_(state), texts_(texts), prompts_(prompts), run_(std::move(run)) {}

bool SceneSwitcher::SwitchScene(int requested) {
    const int index = ClampSceneIndex(requested);
    if (host_ != nullptr && host_->EditorOpen()) {
        prompts_.Inform(texts_[TextId::PROFILE_SEELCT_PROMPT2]);
        return false;
    }
    const bool dialogEdits = dialog_ != nullptr && dialog_->isOpen() && dialog_->applyEnabled();
    const bool mainEdits = host_ != nullptr && host_->ApplyEnabled();
    bool discard = false;
    bool followDialog = false;
    if (!dialogEdits && !mainEdits) {
        followDialog = true;
    } else if (!guard_) {
        // A switch arriving while the question is on screen goes through without asking again.
        guard_ = true;
        if (prompts_.AskYesNo(texts_[TextId::PROFILE_SELECT_PROMPT], PromptAnswer::No)) {
            if (host_ != nullptr) host_->Apply();
        } else {
            if (host_ != nullptr) host_->SetApplyEnabled(false);
            discard = true;
        }
        guard_ = false;
    }
    RunDeviceJob<SceneOutcome>(
        run_, "switch scene",
        [index, discard](ProfileServices& s) { return RunSceneSwitch(s, index, discard); },
        [this, followDialog](SceneOutcome outcome) { Finish(outcome, followDialog); });
    return true;
}

void SceneSwitcher::ApplySceneDialog() {
    if (dialog_ == nullptr) return;
    if (host_ != nullptr && host_->ApplyEnabled() && !guard_) {
        // The reload below replaces the edit copy: unapplied edits are either sent first or dropped on
        // purpose.
        guard_ = true;
        if (prompts_.AskYesNo(texts_[TextId::PROFILE_SELECT_PROMPT], PromptAnswer::No)) {
            host_->Apply();
        } else {
            host_->SetApplyEnabled(false);
        }
        guard_ = false;
    }
    const int index = dialog_->WriteProfileKeys();
    dialog_->DisableApply();
    RunDeviceJob<SceneOutcome>(
        run_, "scene dialog apply", [index](ProfileServices& s) { return RunSceneReload(s, index); },
        [this](SceneOutcome outcome) {
            if (host_ != nullptr) host_->SetApplyEnabled(false);
            Finish(outcome, false);
        });
}

void SceneSwitcher::Finish(const SceneOutcome& outcome, bool followDialog) {
    // The dialog's row follows a switch made elsewhere, unless the user has changed its checks meanwhile.
    if (followDialog && dialog_ != nullptr && dialog_->isOpen() && !dialog_->applyEnabled())
        dialog_->CheckOnly(outcome.currentProfile);
    if (host_ != nullptr) host_->SceneSwitched(outcome);
    RebuildSceneMenu();
}

SceneMenu SceneSwitcher::CurrentSceneMenu() const {
    return BuildSceneMenu(cachedProfile(), SceneLabels(texts_), texts_);
}

void SceneSwitcher::RebuildSceneMenu() {
    if (host_ != nullptr) host_->SceneMenuChanged(CurrentSceneMenu());
}

}  // namespace vornak
