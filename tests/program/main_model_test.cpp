#include "program/main_model.h"

#include <gtest/gtest.h>

#include <mutex>

#include "assign/assign_rules.h"
#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;

class MainModel : public ::testing::Test {
  protected:
    ConfigStore store;
    LanguageTexts texts;
    MainWindowModel model{store, texts};
};

TEST_F(MainModel, KeyClicksStandForTheirSlotAndGKeysForTheActiveLayer) {
    const auto a = model.ClickTarget(1058);  // A
    ASSERT_TRUE(a);
    EXPECT_EQ(a->slot, KeySlot(0x01E));
    EXPECT_FALSE(a->macroOnly);
    const auto numLock = model.ClickTarget(1104);  // an E0 key: slot (code + 0x80) & 0xFF
    ASSERT_TRUE(numLock);
    EXPECT_EQ(numLock->slot, (0x145 + 0x80) & 0xFF);

    EXPECT_EQ(model.ClickTarget(1000)->slot, 256);
    EXPECT_EQ(model.ClickTarget(1143)->slot, 264);
    EXPECT_TRUE(model.ClickTarget(1143)->macroOnly);
    EXPECT_FALSE(model.ClickTarget(1142)->macroOnly);
    model.SetLayerB(true);
    EXPECT_EQ(model.ClickTarget(1000)->slot, 265);
    EXPECT_EQ(model.ClickTarget(1143)->slot, 273);
    // FUNC_MACRO: G9 of the active layer, macro-only, shown on G9's button.
    const auto macro = model.ClickTarget(1007);
    ASSERT_TRUE(macro);
    EXPECT_EQ(macro->slot, 273);
    EXPECT_TRUE(macro->macroOnly);
    EXPECT_EQ(macro->controlId, 1143);
    // Not a key: the Fn picture, Apply.
    EXPECT_FALSE(model.ClickTarget(1174));
    EXPECT_FALSE(model.ClickTarget(1006));
}

TEST_F(MainModel, LayerButtonsAreLabelledForTheLayer) {
    EXPECT_EQ(model.GKeyLabel(0), u"A1");
    EXPECT_EQ(model.GKeyLabel(4), u"A5");
    EXPECT_EQ(model.GKeyLabel(5), u"");
    model.SetLayerB(true);
    EXPECT_EQ(model.GKeyLabel(2), u"B3");
    model.SetLayerB(false);
    EXPECT_EQ(model.GKeyLabel(2), u"A3");
}

TEST_F(MainModel, LooksFollowTheSelectedProfile) {
    model.Edit("two profiles", [](EditCopy& edit) {
        edit.image.setEntry(1, KeySlot(0x01E), MakeEntry(AssignmentKind::Key, 0x030));
        return true;
    });
    EXPECT_FALSE(model.LookOf(1058)->assigned);
    model.SelectProfile(1);
    EXPECT_TRUE(model.LookOf(1058)->assigned);
    EXPECT_NE(model.LookOf(1058)->toolTip, model.LookOf(1075)->toolTip);
    model.SelectProfile(7);  // out of range: kept
    EXPECT_EQ(model.selectedProfile(), 1);
    model.SelectProfile(-1);
    EXPECT_EQ(model.selectedProfile(), 1);
}

class RecordingObserver : public EditObserver {
  public:
    void BeforeEdit(const EditCopy& edit, std::string_view what) override {
        log.push_back("before " + std::string(what));
        kindBefore = edit.image.entry(0, KeySlot(0x01E)).kind;
    }
    void AfterEdit(const EditCopy& edit) override {
        log.push_back("after");
        kindAfter = edit.image.entry(0, KeySlot(0x01E)).kind;
    }
    void Loaded() override { log.push_back("loaded"); }
    std::vector<std::string> log;
    uint16_t kindBefore = 99, kindAfter = 99;
};

TEST_F(MainModel, EveryEditGoesThroughTheObserverAndEnablesApply) {
    RecordingObserver observer;
    model.SetEditObserver(&observer);
    EXPECT_TRUE(model.Edit("A is B", [](EditCopy& edit) {
        edit.image.setEntry(0, KeySlot(0x01E), MakeEntry(AssignmentKind::Key, 0x030));
        return true;
    }));
    EXPECT_EQ(observer.log, (std::vector<std::string>{"before A is B", "after"}));
    EXPECT_EQ(observer.kindBefore, 0);
    EXPECT_EQ(observer.kindAfter, uint16_t(AssignmentKind::Key));
    EXPECT_TRUE(model.applyEnabled());
    EXPECT_TRUE(model.LookOf(1058)->assigned);

    // An edit that changed nothing leaves Apply as it was.
    model.SetApplyEnabled(false);
    EXPECT_FALSE(model.Edit("nothing", [](EditCopy&) { return false; }));
    EXPECT_FALSE(model.applyEnabled());

    // A fresh load forgets the all-profiles request and tells the observer.
    model.RequestAllProfilesOnNextApply();
    LoadOutcome load;
    load.replaced = true;
    load.currentProfile = 2;
    model.Loaded(load, false);
    EXPECT_FALSE(model.allProfilesNextApply());
    EXPECT_EQ(model.selectedProfile(), 2);
    EXPECT_EQ(observer.log.back(), "loaded");

    // A file that reached the edit copy but not the keyboard leaves Apply enabled to send it again; one that
    // reached both disables it; one that was not taken leaves Apply as it was.
    LoadOutcome half;
    half.replaced = true;
    half.ok = false;
    model.FileLoaded(half);
    EXPECT_TRUE(model.applyEnabled());
    LoadOutcome refused;
    model.FileLoaded(refused);
    EXPECT_TRUE(model.applyEnabled());
    LoadOutcome whole;
    whole.replaced = true;
    whole.ok = true;
    whole.currentProfile = 0;
    model.FileLoaded(whole);
    EXPECT_FALSE(model.applyEnabled());

    // A profile button of the profile the keyboard runs only shows it.
    EXPECT_FALSE(model.ShowIfRunning(1, 0));
    EXPECT_EQ(model.selectedProfile(), 0);
    EXPECT_TRUE(model.ShowIfRunning(1, 1));
    EXPECT_EQ(model.selectedProfile(), 1);
}

TEST_F(MainModel, ASceneLoadedAnewShowsTheEditCopyAsItIsAndKeepsApply) {
    RecordingObserver observer;
    model.SetEditObserver(&observer);
    model.SetApplyEnabled(true);
    model.RequestAllProfilesOnNextApply();
    {
        // The switch's job loaded the keyboard's profile 2 into the edit copy, past the model.
        std::lock_guard lock(store.lockA());
        store.edit().image.setEntry(2, KeySlot(0x01E), MakeEntry(AssignmentKind::Key, 0x030));
    }
    EXPECT_FALSE(model.LookOf(1058)->assigned);
    model.SceneLoaded(2);
    EXPECT_EQ(model.selectedProfile(), 2);
    EXPECT_TRUE(model.LookOf(1058)->assigned);
    EXPECT_TRUE(model.applyEnabled()) << "a scene's load leaves Apply as it was";
    EXPECT_FALSE(model.allProfilesNextApply());
    EXPECT_EQ(observer.log, (std::vector<std::string>{"loaded"})) << "the undo history starts over";

    // A keyboard whose profile is unknown keeps the selection.
    model.SceneLoaded(-1);
    EXPECT_EQ(model.selectedProfile(), 2);
}

TEST_F(MainModel, ApplyTakesTheAllProfilesFlagAndClearsItOnlyOnSuccess) {
    model.Edit("x", [](EditCopy&) { return true; });
    model.RequestAllProfilesOnNextApply();
    auto plan = model.BeginApply();
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->send);
    EXPECT_TRUE(plan->allProfiles);
    ApplyOutcome failed;
    failed.sent = true;
    failed.saved = true;
    model.FinishApply(failed);
    EXPECT_TRUE(model.applyEnabled());
    EXPECT_TRUE(model.allProfilesNextApply());
    plan = model.BeginApply();
    ApplyOutcome ok;
    ok.sent = ok.saved = ok.downloaded = true;
    model.FinishApply(ok);
    EXPECT_FALSE(model.applyEnabled());
    EXPECT_FALSE(model.allProfilesNextApply());
}

TEST_F(MainModel, BusyPictureStepsThroughTenFrames) {
    model.ShowBusy();
    EXPECT_TRUE(model.busyVisible());
    for (int i = 0; i < kBusyFrames; ++i)
        model.BusyTick();
    EXPECT_EQ(model.busyFrame(), 0);
    model.BusyTick();
    EXPECT_EQ(model.busyFrame(), 1);
    model.HideBusy();
    EXPECT_FALSE(model.busyVisible());
}

TEST(RestoreDefaultEntries, FreesTheNamesOfTheEntriesItClears) {
    EditCopy edit;
    const int slot = KeySlot(0x01E);
    edit.image.setEntry(0, slot, MakeEntry(AssignmentKind::TextBlock, 0));
    edit.names.Set(EntryIndex(0, slot), u"hello");
    edit.image.setEntry(1, slot, MakeEntry(AssignmentKind::TextBlock, 0));
    edit.names.Set(EntryIndex(1, slot), u"kept");
    RestoreDefaultEntries(edit, 0, false);
    EXPECT_FALSE(edit.names.name(EntryIndex(0, slot)));
    EXPECT_EQ(edit.names.total(), edit.names.SizeOf(EntryIndex(1, slot)));
}

TEST(Timers, NothingTicksWhileHiddenOrMinimised) {
    WindowState s;
    s.busyVisible = true;
    s.hasLightingPanel = true;
    s.lightingSwitch = true;
    s.lightingStale = true;
    for (auto [shown, minimised] : {std::pair{false, false}, {true, true}, {false, true}}) {
        s.shown = shown;
        s.minimised = minimised;
        const TimerPlan p = PlanTimers(s);
        EXPECT_FALSE(p.busy || p.preview || p.arrows || p.lightingReread);
    }
    s.shown = true;
    s.minimised = false;
    const TimerPlan p = PlanTimers(s);
    EXPECT_TRUE(p.busy && p.preview && p.arrows && p.lightingReread);
    // The preview moves only with the lighting switch on; nothing of the panel without a panel.
    s.lightingSwitch = false;
    EXPECT_FALSE(PlanTimers(s).preview);
    EXPECT_FALSE(PlanTimers(s).arrows || EffectArrowsShown(s)) << "the arrows go with the effect list";
    s.hasLightingPanel = false;
    s.lightingSwitch = true;
    EXPECT_FALSE(PlanTimers(s).preview || PlanTimers(s).lightingReread);
}

}  // namespace
}  // namespace vornak
