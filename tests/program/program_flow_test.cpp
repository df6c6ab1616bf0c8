// The program's runs without a window: the attach at start, Apply, restore defaults, removal and the end,
// with the device worker and the relay in between as the program has them.
#include <gtest/gtest.h>

#include <atomic>

#include "assign/assign_rules.h"
#include "keyboard/key_table.h"
#include "tests/program/program_fixture.h"
#include "tests/support/config_builders.h"

namespace vornak::test {
namespace {

using namespace std::chrono_literals;

constexpr KeyCode kA = 0x01E;
constexpr KeyCode kB = 0x030;

bool Reloaded(ProgramFixture& f, size_t n = 1) {
    return f.ui.RunUntil([&] { return f.window->Count("reloaded") >= n && !f.worker->busy(); });
}

// Gives key A the meaning of key B in the selected profile, through the model's edit entry point.
void AssignAToB(ProgramFixture& f) {
    const int profile = f.model->selectedProfile();
    ASSERT_TRUE(f.model->Edit("A is B", [&](EditCopy& edit) {
        const int slot = KeySlot(kA);
        const AssignResult r = EntryForAssignment(slot, edit.image.entry(profile, slot), Assignment::Key(kB));
        StoreEntry(edit, profile, slot, r.entry);
        return true;
    }));
}

ApplyOutcome RunApplyNow(ProgramFixture& f) {
    const auto plan = f.model->BeginApply();
    EXPECT_TRUE(plan);
    std::optional<ApplyOutcome> result;
    if (!plan->send) {
        result = ApplyOutcome{};
    } else {
        f.worker->Post<ApplyOutcome>(
            "apply", [all = plan->allProfiles](DeviceContext& c) { return RunApply(c, all); },
            [&](ApplyOutcome o) { result = o; });
        EXPECT_TRUE(f.ui.RunUntil([&] { return result.has_value(); }));
    }
    f.model->FinishApply(result.value_or(ApplyOutcome{}));
    f.model->HideBusy();
    return result.value_or(ApplyOutcome{});
}

TEST(ProgramStart, AttachAtStartOpensOnceAndLaterAttachesNever) {
    ProgramFixture f;
    EXPECT_EQ(f.Start(), 1);
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("open") == 1; }));
    // The window opens only after the keyboard was read into it.
    const auto& log = f.window->log;
    const auto reloaded = std::find(log.begin(), log.end(), "reloaded");
    const auto open = std::find(log.begin(), log.end(), "open");
    EXPECT_LT(reloaded - log.begin(), open - log.begin());
    EXPECT_EQ(f.window->Count("tray 141"), 1u);

    for (int cycle = 0; cycle < 2; ++cycle) {
        f.sim->Raise(sim::SimEvent::Detach);
        ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("tray 128") == size_t(cycle + 1); }));
        f.sim->Raise(sim::SimEvent::Attach);
        ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("tray 141") == size_t(cycle + 2); }));
    }
    f.ui.RunFor(20ms);
    EXPECT_EQ(f.window->Count("open"), 1u);
    EXPECT_EQ(f.window->Count("device-gone"), 2u);
    EXPECT_EQ(f.window->Count("reloaded"), 3u);
}

TEST(ProgramStart, StartInTrayNeverOpensTheWindow) {
    ProgramFixtureOptions o;
    o.startInTray = true;
    ProgramFixture f(o);
    f.Start();
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("tray 141") == 1; }));
    f.ui.RunFor(20ms);
    EXPECT_EQ(f.window->Count("open"), 0u);
    EXPECT_EQ(f.window->Count("reloaded"), 1u);  // read all the same, for when the user opens it
}

TEST(ProgramStart, NoKeyboardAtStartAndALaterAttachDoNotOpen) {
    ProgramFixtureOptions o;
    o.config.attached = false;
    ProgramFixture f(o);
    EXPECT_EQ(f.Start(), 0);
    EXPECT_EQ(f.stack.link().state().autoShowDone.load(), 1);
    f.sim->Raise(sim::SimEvent::Attach);
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("tray 141") == 1; }));
    EXPECT_EQ(f.window->Count("open"), 0u);
}

TEST(Apply, NothingChangedOnlyShowsAndHidesTheBusyPicture) {
    ProgramFixture f;
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    f.sim->WaitUntilDelivered();
    f.sim->ClearTraffic();
    EXPECT_FALSE(f.model->applyEnabled());
    const auto plan = f.model->BeginApply();
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->send);
    EXPECT_TRUE(f.model->busyVisible());
    f.model->FinishApply(ApplyOutcome{});
    f.model->HideBusy();
    EXPECT_FALSE(f.model->busyVisible());
    EXPECT_TRUE(f.sim->commandsSent().empty());
    EXPECT_FALSE(f.model->applyEnabled());
}

TEST(Apply, AnEditedKeyReachesTheKeyboardAndDisablesApply) {
    ProgramFixture f;
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    AssignAToB(f);
    EXPECT_TRUE(f.model->applyEnabled());
    const auto look = f.model->LookOf(1058);  // the A key's button
    ASSERT_TRUE(look);
    EXPECT_TRUE(look->assigned);
    EXPECT_FALSE(look->toolTip.empty());

    const ApplyOutcome o = RunApplyNow(f);
    EXPECT_TRUE(o.succeeded()) << o.error;
    EXPECT_FALSE(f.model->applyEnabled());
    const auto block = f.sim->keyBlock(0);
    const size_t at = static_cast<size_t>(*KeyMatrixPosition(kA)) * 3;
    const HardwareKeyCode b = {block[at], block[at + 1], block[at + 2]};
    const auto layout = f.sim->defaultLayout();
    const size_t bAt = static_cast<size_t>(*KeyMatrixPosition(kB)) * 3;
    EXPECT_EQ(b, (HardwareKeyCode{layout[bAt], layout[bAt + 1], layout[bAt + 2]}));
    // A second Apply with nothing changed sends nothing.
    f.sim->WaitUntilDelivered();
    f.sim->ClearTraffic();
    RunApplyNow(f);
    EXPECT_TRUE(f.sim->commandsSent().empty());
}

TEST(Apply, AFailedDownloadKeepsApplyEnabled) {
    ProgramFixture f;
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    AssignAToB(f);
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(f.ui.RunUntil([&] { return f.window->Count("hide") == 1; }));
    const ApplyOutcome o = RunApplyNow(f);
    EXPECT_FALSE(o.downloaded);
    EXPECT_TRUE(f.model->applyEnabled());
}

TEST(Apply, ASecondClickWhileTheDownloadRunsHasNoEffect) {
    ProgramFixture f;
    ASSERT_TRUE(f.model->BeginApply());
    EXPECT_FALSE(f.model->BeginApply());
    f.model->FinishApply(ApplyOutcome{});
    EXPECT_TRUE(f.model->BeginApply());
}

TEST(Apply, RemovalInTheMiddleOfTheDownloadEndsItCleanly) {
    ProgramFixtureOptions o;
    o.config.latency = 15ms;
    ProgramFixture f(o);
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    AssignAToB(f);
    ASSERT_TRUE(f.model->BeginApply());
    std::optional<ApplyOutcome> result;
    f.worker->Post<ApplyOutcome>(
        "apply", [](DeviceContext& c) { return RunApply(c, false); }, [&](ApplyOutcome r) { result = r; });
    f.ui.RunFor(60ms);
    ASSERT_FALSE(result) << "the download was over before the keyboard was pulled out";
    const auto start = std::chrono::steady_clock::now();
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(f.ui.RunUntil([&] { return result.has_value() && f.window->Count("hide") == 1; }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    f.model->FinishApply(*result);
    EXPECT_FALSE(result->downloaded);
    EXPECT_TRUE(f.model->applyEnabled());
    EXPECT_EQ(f.window->Count("device-gone"), 1u);
}

TEST(Shutdown, KillDuringADownloadEndsWithoutDeadlock) {
    ProgramFixtureOptions o;
    ProgramFixture f(o);
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    AssignAToB(f);
    // Slow enough that the download would take seconds to finish: the end must not wait for it.
    f.sim->SetLatency(150ms);
    f.worker->Post<ApplyOutcome>("apply", [](DeviceContext& c) { return RunApply(c, true); }, {});
    f.worker->Post("queued behind it", [](DeviceContext&) { ADD_FAILURE() << "ran after the end"; });
    f.ui.RunFor(50ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(f.Shutdown(5s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
}

TEST(Shutdown, EndsWhileTheDeviceThreadWaitsForTheReload) {
    // The attach's reload is queued behind a long job when the program ends: the device thread's wait for it
    // ends with the relay, not with the job that never runs.
    ProgramFixture f;
    std::atomic<bool> release{false};
    const auto start = std::chrono::steady_clock::now();
    f.window->beforeReload = [&] {
        f.worker->Post("long", [&](DeviceContext&) {
            while (!release.load() && std::chrono::steady_clock::now() - start < 10s)
                std::this_thread::sleep_for(1ms);
        });
    };
    std::thread releaser([&] {
        std::this_thread::sleep_for(100ms);
        release = true;
    });
    f.Start();
    EXPECT_TRUE(f.ui.RunUntil([&] { return f.window->Count("profile-read") == 1; }));
    EXPECT_TRUE(f.Shutdown(5s));
    releaser.join();
    f.stack.link().WaitForWorkers();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(f.window->Count("reloaded"), 0u);
    EXPECT_EQ(f.window->Count("open"), 0u);
}

// Dialogs that record the thread they were shown on, and can run a nested loop while "open".
class RecordingDialogs : public Prompts {
  public:
    PromptAnswer Message(std::u16string_view text, PromptButtons, PromptAnswer d) override {
        threads.push_back(std::this_thread::get_id());
        texts.emplace_back(text);
        if (whileOpen) whileOpen();
        return d;
    }
    std::optional<std::filesystem::path> ChooseFile(const FileChoice&) override { return std::nullopt; }
    std::vector<std::thread::id> threads;
    std::vector<std::u16string> texts;
    std::function<void()> whileOpen;
};

TEST(Prompts, AMessageRaisedInAJobIsShownOnTheUiThreadAndAnswered) {
    ProgramFixture f;
    RecordingDialogs dialogs;
    UiThreadPrompts prompts(dialogs, f.ui.Blocking());
    std::optional<PromptAnswer> answer;
    f.worker->Post<PromptAnswer>(
        "ask",
        [&](DeviceContext&) { return prompts.Message(u"Really?", PromptButtons::YesNo, PromptAnswer::Yes); },
        [&](PromptAnswer a) { answer = a; });
    ASSERT_TRUE(f.ui.RunUntil([&] { return answer.has_value(); }));
    EXPECT_EQ(*answer, PromptAnswer::Yes);
    ASSERT_EQ(dialogs.threads.size(), 1u);
    EXPECT_EQ(dialogs.threads[0], std::this_thread::get_id());
    // Closed at the end of the run: the default answer, no dialog.
    prompts.Close();
    EXPECT_EQ(prompts.Message(u"x", PromptButtons::YesNo, PromptAnswer::No), PromptAnswer::No);
    EXPECT_EQ(dialogs.threads.size(), 1u);
}

TEST(Prompts, TheDownloadsMacroSpaceMessageReachesTheUser) {
    ProgramFixtureOptions o;
    o.config.memory.settings[settings_field::kMacroUnits] = 1;
    o.config.memory.macro.assign(kMacroUnitSize, 0);
    ProgramFixture f(o);
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    ASSERT_TRUE(f.model->Edit("a long macro", [](EditCopy& edit) {
        edit.macros.push_back(MakeMacro(u"long", 1, Taps(200)));
        return true;
    }));
    const ApplyOutcome r = RunApplyNow(f);
    EXPECT_FALSE(r.downloaded);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0], f.texts[TextId::EXTRA_MACRO_TOO_LONG]);
    EXPECT_TRUE(f.model->applyEnabled());
}

TEST(Prompts, RemovalWhileAMessageBoxIsOpenIsHandledInsideIt) {
    ProgramFixture f;
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    RecordingDialogs dialogs;
    UiThreadPrompts prompts(dialogs, f.ui.Blocking());
    bool goneWhileOpen = false;
    dialogs.whileOpen = [&] {
        // The box's own loop goes on serving the link while the user reads it.
        f.sim->Raise(sim::SimEvent::Detach);
        goneWhileOpen = f.ui.RunUntil([&] { return f.window->Count("hide") == 1; });
    };
    bool done = false;
    f.worker->Post(
        "message", [&](DeviceContext&) { prompts.Inform(u"hello"); }, [&] { done = true; });
    ASSERT_TRUE(f.ui.RunUntil([&] { return done; }));
    EXPECT_TRUE(goneWhileOpen);
    EXPECT_EQ(f.window->Count("device-gone"), 1u);
}

TEST(RestoreDefaults, ClearsTheProfilesKeysAndOnlyTheActiveLayersGKeys) {
    ProgramFixture f;
    f.Start();
    ASSERT_TRUE(Reloaded(f));
    const int profile = f.model->selectedProfile();
    const int other = (profile + 1) % 3;
    const ConfigEntry macro = MakeEntry(AssignmentKind::Macro, 7, 0);
    f.model->Edit("set up", [&](EditCopy& edit) {
        for (int i = 0; i < kGKeyCount; ++i) {
            for (bool layerB : {false, true}) {
                ConfigEntry e = macro;
                e.code = GKeyTag(GKeySlot(i, layerB));
                e.selected = 1;
                edit.image.setEntry(profile, GKeySlot(i, layerB), e);
            }
        }
        edit.image.setEntry(profile, KeySlot(kA), MakeEntry(AssignmentKind::Key, kB));
        edit.image.setEntry(other, KeySlot(kA), MakeEntry(AssignmentKind::Key, kB));
        return true;
    });
    f.model->SetApplyEnabled(false);
    f.model->SetLayerB(true);
    EXPECT_TRUE(f.model->RestoreDefaults());
    EXPECT_TRUE(f.model->applyEnabled());

    std::lock_guard lock(f.stack.store().lockA());
    const ConfigImage& image = f.stack.store().edit().image;
    for (int i = 0; i < kGKeyCount; ++i) {
        const ConfigEntry b = image.entry(profile, GKeySlot(i, true));
        EXPECT_EQ(b.kind, 0) << "G" << i + 1 << " on layer B";
        EXPECT_EQ(b.code, GKeyTag(GKeySlot(i, true))) << "the G key keeps its tag";
        EXPECT_EQ(b.selected, 1u) << "and its selection flag";
        EXPECT_EQ(image.entry(profile, GKeySlot(i, false)).kind, uint16_t(AssignmentKind::Macro))
            << "G" << i + 1 << " on layer A is left alone";
    }
    EXPECT_EQ(image.entry(profile, KeySlot(kA)).kind, 0);
    EXPECT_EQ(image.entry(other, KeySlot(kA)).kind, uint16_t(AssignmentKind::Key))
        << "other profiles keep theirs";
    // The buttons show it: layer B's G keys unassigned, layer A's still assigned.
    EXPECT_FALSE(f.model->LookOf(kGKeyControlIds[0])->assigned);
    f.model->SetLayerB(false);
    EXPECT_TRUE(f.model->LookOf(kGKeyControlIds[0])->assigned);
}

}  // namespace
}  // namespace vornak::test
