#include <gtest/gtest.h>

#include <mutex>
#include <utility>

#include "profile/profile_file.h"
#include "tests/profile/scene_fixture.h"
#include "tests/support/config_builders.h"
#include "tests/support/traffic.h"

namespace vornak {
namespace {

using test::CommandsSent;
using test::MakeEntry;
using test::SceneFixture;

constexpr int kSlotA = 0x1E;
constexpr uint8_t kWriteSettings = 4;

ConfigEntry EntryOf(ConfigStore& store, int profile, int slot) {
    std::lock_guard lock(store.lockA());
    return store.edit().image.entry(profile, slot);
}

void EditEntry(ConfigStore& store, int profile, int slot, const ConfigEntry& entry) {
    std::lock_guard lock(store.lockA());
    store.edit().image.setEntry(profile, slot, entry);
}

// The keyboard runs profile p and the program knows it; the traffic starts empty.
void RunProfile(SceneFixture& s, int p) {
    ASSERT_TRUE(s.f.transfer.SetCurrentProfile(p));
    s.f.sim().ClearTraffic();
}

TEST(SceneMenu, ThreeLabelsOfTheProfileButtonsAndTheCheckedOneOnTheCaption) {
    SceneFixture s;
    const auto labels = SceneLabels(s.f.texts);
    EXPECT_EQ(labels[0], s.f.texts.ReadNow(TextId::PROFILE_1));
    EXPECT_EQ(labels[1], s.f.texts.ReadNow(TextId::PROFILE_2));
    EXPECT_EQ(labels[2], s.f.texts.ReadNow(TextId::PROFILE_3));
    EXPECT_NE(labels[0], labels[1]);
    EXPECT_NE(labels[1], labels[2]);
    EXPECT_NE(labels[0], labels[2]);

    const SceneMenu menu = BuildSceneMenu(1, labels, s.f.texts);
    ASSERT_EQ(menu.items.size(), 5u);
    EXPECT_EQ(menu.items[0].command, 9000);
    EXPECT_EQ(menu.items[0].text, u"<Default Profile>");
    EXPECT_TRUE(menu.items[1].separator);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(menu.items[size_t(i) + 2].command, 9001 + i);
        EXPECT_EQ(menu.items[size_t(i) + 2].text, labels[size_t(i)]);
        EXPECT_EQ(menu.items[size_t(i) + 2].checked, i == 1);
    }
    EXPECT_FALSE(menu.items[0].checked);
    EXPECT_EQ(menu.checkedPosition, 3);
    EXPECT_EQ(menu.caption, labels[1]);
    EXPECT_EQ(menu.toolTip, s.f.texts[TextId::PROFILE_TIP] + labels[1]);
}

TEST(SceneMenu, UnknownProfileChecksTheDefaultItem) {
    LanguageTexts texts;  // no language file: the buttons' texts are empty, the labels the numbers
    const auto labels = SceneLabels(texts);
    EXPECT_EQ(labels[0], u"1");
    EXPECT_EQ(labels[2], u"3");
    for (int profile : {-1, 3, 7}) {
        const SceneMenu menu = BuildSceneMenu(profile, labels, texts);
        EXPECT_EQ(menu.checkedPosition, 0) << profile;
        EXPECT_TRUE(menu.items[0].checked);
        EXPECT_EQ(menu.caption, u"<Default Profile>");
        EXPECT_EQ(menu.toolTip, u"The current contextual  mode: <Default Profile>");
    }
}

TEST(SceneMenu, CommandsAndIndexes) {
    EXPECT_FALSE(IsSceneCommand(8999));
    EXPECT_TRUE(IsSceneCommand(9000));
    EXPECT_TRUE(IsSceneCommand(9200));
    EXPECT_FALSE(IsSceneCommand(9201));
    EXPECT_EQ(SceneIndexOfCommand(9000), -1);
    EXPECT_EQ(SceneIndexOfCommand(9003), 2);
    EXPECT_EQ(ClampSceneIndex(SceneIndexOfCommand(9004)), 0);
    EXPECT_EQ(ClampSceneIndex(SceneIndexOfCommand(9200)), 0);
    EXPECT_EQ(ClampSceneIndex(-1), -1);
    EXPECT_EQ(ClampSceneIndex(2), 2);
}

TEST(SwitchScene, DefaultProfileSendsNothingAndKeepsTheCheckMark) {
    SceneFixture s;
    RunProfile(s, 2);
    EXPECT_TRUE(s.switcher.SwitchSceneCommand(9000));
    EXPECT_TRUE(s.f.sim().commandsSent().empty());
    EXPECT_EQ(s.keyboardProfile(), 2);
    ASSERT_TRUE(s.host.menu);
    EXPECT_EQ(s.host.menu->checkedPosition, 4);
    EXPECT_EQ(s.host.menu->caption, s.f.texts.ReadNow(TextId::PROFILE_3));
    ASSERT_EQ(s.host.outcomes.size(), 1u);
    EXPECT_FALSE(s.host.outcomes[0].replaced);
    EXPECT_EQ(s.host.outcomes[0].currentProfile, 2);
    EXPECT_TRUE(s.f.prompts.messages.empty());
}

TEST(SwitchScene, IndexPastTheLastSceneSwitchesToTheFirst) {
    SceneFixture s;
    RunProfile(s, 2);
    EXPECT_TRUE(s.switcher.SwitchSceneCommand(9004));
    EXPECT_EQ(s.keyboardProfile(), 0);
    EXPECT_EQ(s.f.link().state().currentProfile.load(), 0);
    EXPECT_EQ(s.host.menu->checkedPosition, 2);
    EXPECT_EQ(s.host.outcomes.at(0).requested, 0);
    EXPECT_TRUE(s.host.outcomes.at(0).switched);
}

TEST(SwitchScene, RefusedWhileTheKeyDialogIsOpen) {
    SceneFixture s;
    RunProfile(s, 1);
    s.host.editorOpen = true;
    s.host.applyEnabled = true;  // not even the question is asked
    for (int command : {9000, 9001, 9003, 9004}) {
        EXPECT_FALSE(s.switcher.SwitchSceneCommand(command)) << command;
    }
    EXPECT_TRUE(s.f.sim().commandsSent().empty());
    EXPECT_EQ(s.keyboardProfile(), 1);
    EXPECT_TRUE(s.log.empty()) << "no job was posted";
    EXPECT_FALSE(s.host.menu);
    ASSERT_EQ(s.f.prompts.messages.size(), 4u);
    EXPECT_EQ(s.f.prompts.messages[0], s.f.texts[TextId::PROFILE_SEELCT_PROMPT2]);
    EXPECT_TRUE(s.host.applyEnabled);
}

TEST(SwitchScene, NoRevertsTheWindowToTheWorkingFile) {
    SceneFixture s;
    RunProfile(s, 0);
    ASSERT_TRUE(s.f.files.ReloadFromKeyboard(true));  // the working file holds the keyboard's keys
    const ConfigEntry kept = EntryOf(s.f.store, 0, kSlotA);
    const auto block = s.f.sim().keyBlock(0);
    EditEntry(s.f.store, 0, kSlotA, MakeEntry(AssignmentKind::Disabled, 0));
    s.host.applyEnabled = true;
    s.f.sim().ClearTraffic();

    s.f.prompts.answers = {PromptAnswer::No};
    EXPECT_TRUE(s.switcher.SwitchScene(1));
    ASSERT_EQ(s.f.prompts.messages.size(), 1u);
    EXPECT_EQ(s.f.prompts.messages[0], s.f.texts[TextId::PROFILE_SELECT_PROMPT]);
    EXPECT_EQ(EntryOf(s.f.store, 0, kSlotA), kept);
    EXPECT_FALSE(s.host.applyEnabled);
    EXPECT_EQ(s.f.sim().keyBlock(0), block) << "the discarded edit never reached the keyboard";
    EXPECT_EQ(test::CountCode(CommandsSent(s.f.sim()), 8), 0);
    EXPECT_EQ(s.keyboardProfile(), 1);
    ASSERT_EQ(s.host.outcomes.size(), 1u);
    EXPECT_TRUE(s.host.outcomes[0].replaced) << "the undo history starts anew";
    EXPECT_EQ(s.host.menu->checkedPosition, 3);
}

TEST(SwitchScene, NoWithoutAReadableWorkingFileLeavesTheDefaults) {
    SceneFixture s;
    RunProfile(s, 0);
    EditEntry(s.f.store, 0, kSlotA, MakeEntry(AssignmentKind::Disabled, 0));
    s.host.applyEnabled = true;
    s.f.prompts.answers = {PromptAnswer::No};
    EXPECT_TRUE(s.switcher.SwitchScene(2));
    EXPECT_EQ(EntryOf(s.f.store, 0, kSlotA), ConfigImage::Default().entry(0, kSlotA));
    EXPECT_TRUE(s.host.outcomes.at(0).replaced);
    EXPECT_EQ(s.keyboardProfile(), 2);
}

TEST(SwitchScene, YesDownloadsTheEditsBeforeTheSwitch) {
    SceneFixture s;
    RunProfile(s, 0);
    ASSERT_TRUE(s.f.files.ReloadFromKeyboard(true));
    const auto before = s.f.sim().keyBlock(0);
    EditEntry(s.f.store, 0, kSlotA, MakeEntry(AssignmentKind::Disabled, 0));
    s.host.applyEnabled = true;
    s.f.prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(s.switcher.SwitchScene(2));
    EXPECT_EQ(s.log, (std::vector<std::string>{"apply", "switch scene", "switched"}));
    EXPECT_NE(s.f.sim().keyBlock(0), before) << "profile 0 got its edit";
    EXPECT_EQ(s.keyboardProfile(), 2);
    EXPECT_FALSE(s.host.outcomes.at(0).replaced) << "the edits stay in the edit copy";
    EXPECT_EQ(EntryOf(s.f.store, 0, kSlotA).kind, static_cast<uint16_t>(AssignmentKind::Disabled));
}

// Asks like the dialog on screen would, while another switch arrives through the message loop.
class ReenteringPrompts : public test::ScriptedPrompts {
  public:
    PromptAnswer Message(std::u16string_view text, PromptButtons buttons, PromptAnswer def) override {
        if (buttons == PromptButtons::YesNo && reenter) std::exchange(reenter, nullptr)();
        return ScriptedPrompts::Message(text, buttons, def);
    }
    std::function<void()> reenter;
};

TEST(SwitchScene, ASecondSwitchDuringTheQuestionDoesNotAskAgain) {
    test::ConfigFixture f;
    ReenteringPrompts prompts;
    std::vector<std::string> log;
    test::FakeMainWindow host(f, log);
    SceneSwitcher switcher(f.link().state(), f.texts, prompts,
                           RunJobsInline({f.link(), f.store, f.transfer, f.files}));
    switcher.SetHost(&host);
    ASSERT_TRUE(f.transfer.SetCurrentProfile(0));
    host.applyEnabled = true;
    bool inner = false;
    prompts.reenter = [&] {
        EXPECT_TRUE(switcher.promptOnScreen());
        inner = switcher.SwitchScene(1);
        EXPECT_EQ(ActiveProfileOf(f.sim().settings()), 1) << "the second switch went through";
    };
    prompts.answers = {PromptAnswer::No};
    EXPECT_TRUE(switcher.SwitchScene(2));
    EXPECT_TRUE(inner);
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(switcher.promptOnScreen());
    EXPECT_EQ(ActiveProfileOf(f.sim().settings()), 2) << "the first switch ends last";
    EXPECT_EQ(host.outcomes.size(), 2u);
}

TEST(SwitchScene, TheOpenSceneDialogFollowsASwitchWithoutEdits) {
    SceneFixture s;
    RunProfile(s, 0);
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    EXPECT_TRUE(s.switcher.SwitchScene(2));
    EXPECT_EQ(s.dialog.checkedRow(), 2);
    EXPECT_FALSE(s.dialog.applyEnabled());
    EXPECT_TRUE(s.f.prompts.messages.empty());

    // A tick in the dialog is an unsaved change: the switch asks, and leaves the dialog's marks alone.
    s.dialog.SetChecked(1, true);
    s.f.prompts.answers = {PromptAnswer::No};
    EXPECT_TRUE(s.switcher.SwitchScene(0));
    EXPECT_EQ(s.f.prompts.messages.size(), 1u);
    EXPECT_EQ(s.dialog.checkedRow(), 1);
    EXPECT_TRUE(s.dialog.applyEnabled());
    EXPECT_EQ(s.keyboardProfile(), 0);
}

TEST(SwitchScene, WithoutAKeyboardTheMenuShowsTheDefaultProfile) {
    SceneFixture s(test::SimHarness::NoKeyboard());
    EXPECT_TRUE(s.switcher.SwitchScene(1));
    ASSERT_TRUE(s.host.menu);
    EXPECT_EQ(s.host.menu->checkedPosition, 0);
    EXPECT_EQ(s.host.menu->caption, u"<Default Profile>");
    EXPECT_FALSE(s.host.outcomes.at(0).switched);
    EXPECT_EQ(s.host.outcomes.at(0).currentProfile, -1);
    EXPECT_EQ(s.switcher.CurrentSceneMenu().caption, u"<Default Profile>");
}

TEST(SwitchScene, AFailedSwitchLeavesTheProfileUnknown) {
    SceneFixture s;
    RunProfile(s, 1);
    s.f.sim().InjectFault({.kind = sim::FaultKind::StatusFF, .count = 10, .command = kWriteSettings});
    EXPECT_TRUE(s.switcher.SwitchScene(2));
    EXPECT_EQ(s.f.link().state().currentProfile.load(), -1);
    EXPECT_EQ(s.host.menu->checkedPosition, 0);
    EXPECT_FALSE(s.host.outcomes.at(0).switched);
}

}  // namespace
}  // namespace vornak
