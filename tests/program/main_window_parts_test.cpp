// What the main window is made of, built on the simulated keyboard without any widget: a key dialog's OK
// reaches the edit copy as one undo step, a scene switch that drops the edits loads the edit copy anew and
// selects the keyboard's new profile, and Apply sends the next edit to that profile on the keyboard.
#include "program/main_window_parts.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>

#include "keyboard/key_table.h"
#include "tests/program/program_fixture.h"
#include "tests/support/config_builders.h"

namespace vornak::test {
namespace {

constexpr uint16_t kButtonA = 1058;  // KeyCode 0x01E
constexpr KeyCode kA = 0x01E, kB = 0x030;

// The window as the parts see it: it renders nothing and records what it was told.
class PartsWindow : public MainWindowView {
  public:
    void Attach(MainWindowParts& parts) { parts_ = &parts; }
    bool EditorOpen() const override { return parts_->keyDialog().isOpen(); }
    bool ApplyEnabled() const override { return parts_->model().applyEnabled(); }
    void SetApplyEnabled(bool enabled) override { parts_->model().SetApplyEnabled(enabled); }
    void Apply() override { ++applies; }
    void SceneSwitched(const SceneOutcome& outcome) override {
        parts_->TakeScene(outcome, [this] { ++scenesShown; });
    }
    void SceneMenuChanged(const SceneMenu&) override {}
    void EditShown() override { ++editsShown; }

    int editsShown = 0;
    int scenesShown = 0;
    int applies = 0;

  private:
    MainWindowParts* parts_ = nullptr;
};

TEST(MainWindowParts, AKeyEditReachesTheEditCopyASceneSwitchDropsItAndApplySendsTheNext) {
    ProgramFixture f;
    ASSERT_EQ(f.Start(), 1);
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("reloaded") == 1 && !f.worker->busy(); }));
    ASSERT_EQ(f.stack.link().state().currentProfile.load(), 0);

    PartsWindow window;
    MainWindowParts parts({f.paths, f.texts, f.stack.store(), f.stack.transfer(), f.stack.link().state(),
                           *f.worker, f.prompts, [](const auto&, const auto&) { return false; }},
                          window);
    window.Attach(parts);
    const auto entryA = [&](int profile) {
        std::lock_guard lock(f.stack.store().lockA());
        return f.stack.store().edit().image.entry(profile, KeySlot(kA));
    };
    const ConfigEntry before = entryA(0);

    // The key dialog's OK: one edit of the selected profile, shown by the window, one undo step.
    KeyDialogModel& dialog = parts.keyDialog();
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    ASSERT_TRUE(dialog.OnKeyEvent({0xFF, KeystrokeFlags(kB, false, false)}));
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(entryA(0), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(window.editsShown, 1);
    EXPECT_TRUE(parts.model().applyEnabled());
    EXPECT_TRUE(parts.model().LookOf(kButtonA)->assigned);
    EXPECT_TRUE(parts.history().CanUndo());

    // Profile 2 asked for with the edit unapplied, answered No: the edit is dropped, the keyboard switches,
    // and the window shows the edit copy loaded anew once the job let go of it.
    const size_t asked = f.dialogs.messages.size();
    EXPECT_TRUE(parts.scenes().SwitchScene(1));
    ASSERT_EQ(f.dialogs.messages.size(), asked + 1);
    EXPECT_EQ(f.dialogs.messages.back(), f.texts[TextId::PROFILE_SELECT_PROMPT]);
    EXPECT_FALSE(parts.model().applyEnabled());
    ASSERT_TRUE(f.ui.RunUntil([&] { return window.scenesShown == 1 && !f.worker->busy(); }));
    EXPECT_EQ(f.stack.link().state().currentProfile.load(), 1);
    EXPECT_EQ(parts.model().selectedProfile(), 1);
    EXPECT_EQ(entryA(0), before) << "the working file came back";
    EXPECT_EQ(parts.model().LookOf(kButtonA)->assigned, entryA(1).kind != 0);
    EXPECT_FALSE(parts.history().CanUndo()) << "a load starts the undo history over";
    EXPECT_FALSE(parts.model().applyEnabled());
    EXPECT_EQ(window.applies, 0);

    // The dialog now edits profile 2.
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    ASSERT_TRUE(dialog.OnKeyEvent({0xFF, KeystrokeFlags(kB, false, false)}));
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(entryA(1), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(entryA(0), before);
    EXPECT_EQ(window.editsShown, 2);

    // Apply sends it: the keyboard's second key block holds at A's place what its factory layout holds at
    // B's.
    int started = 0;
    std::optional<ApplyOutcome> applied;
    ASSERT_TRUE(parts.Apply([&] { ++started; }, [&](const ApplyOutcome& o) { applied = o; }));
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(parts.Apply([&] { ++started; }, [](const ApplyOutcome&) {})) << "one runs already";
    ASSERT_TRUE(f.ui.RunUntil([&] { return applied.has_value(); }));
    EXPECT_TRUE(applied->succeeded()) << applied->error;
    EXPECT_FALSE(parts.model().applyEnabled());
    const auto block = f.sim->keyBlock(1);
    const auto layout = f.sim->defaultLayout();
    const size_t aAt = static_cast<size_t>(*KeyMatrixPosition(kA)) * 3;
    const size_t bAt = static_cast<size_t>(*KeyMatrixPosition(kB)) * 3;
    EXPECT_EQ((HardwareKeyCode{block[aAt], block[aAt + 1], block[aAt + 2]}),
              (HardwareKeyCode{layout[bAt], layout[bAt + 1], layout[bAt + 2]}));
}

}  // namespace
}  // namespace vornak::test
