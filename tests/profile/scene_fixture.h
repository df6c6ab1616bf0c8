// Scene switching, the scene dialog and the update on the simulated keyboard: the configuration stack, a
// main window that records what it is told, and device jobs run at once (their names logged in order).
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/app_profile.h"
#include "profile/scene_switcher.h"
#include "tests/support/config_fixture.h"

namespace vornak::test {

class FakeMainWindow : public SceneHost {
  public:
    explicit FakeMainWindow(ConfigFixture& f, std::vector<std::string>& log) : f_(f), log_(log) {}

    bool EditorOpen() const override { return editorOpen; }
    bool ApplyEnabled() const override { return applyEnabled; }
    void SetApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    // As the main window's Apply: the working file and the current profile's download.
    void Apply() override {
        log_.push_back("apply");
        if (!applyEnabled) return;
        std::lock_guard lock(f_.store.lockA());
        f_.files.SaveWorkingProfile(false);
        if (f_.transfer.CopyAndDownload(false)) applyEnabled = false;
    }
    void SceneSwitched(const SceneOutcome& outcome) override {
        log_.push_back("switched");
        outcomes.push_back(outcome);
    }
    void SceneMenuChanged(const SceneMenu& m) override { menu = m; }

    bool editorOpen = false;
    bool applyEnabled = false;
    std::vector<SceneOutcome> outcomes;
    std::optional<SceneMenu> menu;

  private:
    ConfigFixture& f_;
    std::vector<std::string>& log_;
};

class SceneFixture {
  public:
    explicit SceneFixture(SimHarnessOptions options = {})
        : f(std::move(options)),
          appProfile(f.paths.appProfile),
          host(f, log),
          dialog(appProfile, f.texts, f.prompts),
          switcher(f.link().state(), f.texts, f.prompts, LoggingRunner()) {
        f.texts.LoadLanguageTexts(VORNAK_BIN_DIR "/Skins/language.ini");
        switcher.SetHost(&host);
        switcher.SetSceneDialog(&dialog);
    }

    ProfileServices services() { return {f.link(), f.store, f.transfer, f.files}; }
    DeviceJobRunner LoggingRunner() {
        return [this](std::string name, DeviceJob work, std::function<void()> done) {
            log.push_back(name);
            ProfileServices s = services();
            work(s);
            done();
        };
    }
    int keyboardProfile() { return ActiveProfileOf(f.sim().settings()); }

    ConfigFixture f;
    std::vector<std::string> log;
    AppProfile appProfile;
    FakeMainWindow host;
    SceneDialogModel dialog;
    SceneSwitcher switcher;
};

}  // namespace vornak::test
