#include <gtest/gtest.h>

#include <mutex>

#include "platform/file_io.h"
#include "platform/utf.h"
#include "profile/profile_file.h"
#include "tests/profile/scene_fixture.h"
#include "tests/support/config_builders.h"
#include "tests/support/traffic.h"

namespace vornak {
namespace {

namespace fs = std::filesystem;
using test::CommandsSent;
using test::CountCode;
using test::MakeEntry;
using test::SceneFixture;

constexpr int kSlotA = 0x1E;
constexpr uint8_t kWriteSettings = 4;
constexpr uint8_t kWriteKeyBlock = 8;

std::u16string U16(const fs::path& p) {
    return Utf8ToUtf16(p.string());
}

TEST(SceneDialog, OpensWithOneRowPerProfileAndTheCurrentOneChecked) {
    SceneFixture s;
    const fs::path working = s.f.files.WorkingProfilePath();
    s.dialog.Open(working, 1);
    EXPECT_EQ(s.dialog.openCount(), 1);
    ASSERT_EQ(s.dialog.rows().size(), 3u);
    for (const SceneRow& row : s.dialog.rows()) {
        EXPECT_EQ(row.name, u"$Profile0");
        EXPECT_EQ(row.folder, U16(s.f.paths.userFolder) + u"/");
    }
    EXPECT_EQ(s.dialog.checkedRow(), 1);
    EXPECT_FALSE(s.dialog.applyEnabled());

    // Rows of an earlier opening are gone; an unknown profile checks nothing.
    s.dialog.Load(s.f.dir / "x.fwc");
    s.dialog.Close();
    EXPECT_FALSE(s.dialog.isOpen());
    s.dialog.Open(working, -1);
    EXPECT_EQ(s.dialog.rows().size(), 3u);
    EXPECT_EQ(s.dialog.checkedRow(), -1);
    s.dialog.Close();
    s.dialog.Close();
    EXPECT_EQ(s.dialog.openCount(), 0);
}

TEST(SceneDialog, OneCheckAtMostAndEveryChangeEnablesApply) {
    SceneFixture s;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    s.dialog.SetChecked(0, true);
    EXPECT_FALSE(s.dialog.applyEnabled()) << "ticking the checked row changes nothing";
    s.dialog.SetChecked(1, false);
    EXPECT_FALSE(s.dialog.applyEnabled());
    s.dialog.SetChecked(2, true);
    EXPECT_EQ(s.dialog.checkedRow(), 2);
    EXPECT_TRUE(s.dialog.applyEnabled());
    s.dialog.SetChecked(2, false);
    EXPECT_EQ(s.dialog.checkedRow(), -1);
    s.dialog.SetChecked(7, true);
    EXPECT_EQ(s.dialog.checkedRow(), -1);
}

TEST(SceneDialog, AddWritesADefaultProfileAndLoadReadsNothing) {
    SceneFixture s;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    const FileChoice add = s.dialog.AddChoice(s.f.paths.userFolder);
    EXPECT_TRUE(add.save);
    EXPECT_TRUE(add.overwritePrompt);
    EXPECT_EQ(add.defaultExtension, u"fwc");
    EXPECT_EQ(add.filter, u"(*.fwc)|*.fwc|(*.*)|*.*||");
    EXPECT_EQ(add.initialName, U16(s.f.paths.userFolder / "New profile"));
    const FileChoice load = s.dialog.LoadChoice(s.f.paths.userFolder);
    EXPECT_FALSE(load.save);
    EXPECT_EQ(load.initialName, u"*.fwc");
    EXPECT_EQ(load.initialFolder, s.f.paths.userFolder);

    const fs::path added = s.f.dir / "games" / "Racing.fwc";
    fs::create_directories(added.parent_path());
    ASSERT_TRUE(s.dialog.Add(added));
    EXPECT_TRUE(s.dialog.applyEnabled());
    EXPECT_EQ(fs::file_size(added), kConfigImageSize);
    EXPECT_EQ(s.f.files.ValidateProfileFile(added), kProfileValid);
    ASSERT_EQ(s.dialog.rows().size(), 4u);
    EXPECT_EQ(s.dialog.rows()[3].name, u"Racing");
    EXPECT_EQ(s.dialog.rows()[3].folder, U16(added.parent_path()) + u"/");

    s.dialog.Load(s.f.dir / "absent.fwc");
    ASSERT_EQ(s.dialog.rows().size(), 5u);
    EXPECT_EQ(s.dialog.rows()[4].name, u"absent");
    EXPECT_FALSE(fs::exists(s.f.dir / "absent.fwc"));
    EXPECT_TRUE(s.f.prompts.messages.empty());
}

TEST(SceneDialog, AddWhereNoFileCanBeWrittenSaysSoAndAddsNoRow) {
    SceneFixture s;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    test::WriteBytes(s.f.dir / "plain", std::vector<uint8_t>{1});
    const fs::path impossible = s.f.dir / "plain" / "New.fwc";  // a file where its folder should be
    EXPECT_FALSE(s.dialog.Add(impossible));
    EXPECT_EQ(s.dialog.rows().size(), 3u);
    EXPECT_FALSE(s.dialog.applyEnabled());
    ASSERT_EQ(s.f.prompts.messages.size(), 1u);
    const std::u16string& m = s.f.prompts.messages[0];
    EXPECT_EQ(m.rfind(u"The new profile file could not be written: ", 0), 0u) << Utf16ToUtf8(m);
    EXPECT_NE(m.find(U16(impossible)), std::u16string::npos) << Utf16ToUtf8(m);
}

TEST(SceneDialog, DeleteSelectsTheNextRowOrThePreviousAtTheEnd) {
    SceneFixture s;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 2);
    s.dialog.Load(s.f.dir / "a.fwc");
    s.dialog.Load(s.f.dir / "b.fwc");  // rows: P P P a b; row 2 checked
    s.dialog.DisableApply();
    EXPECT_EQ(s.dialog.Delete(-1), -1);
    EXPECT_FALSE(s.dialog.applyEnabled()) << "no selection: nothing happens";
    EXPECT_EQ(s.dialog.Delete(1), 1);  // P P a b
    EXPECT_TRUE(s.dialog.applyEnabled());
    EXPECT_EQ(s.dialog.checkedRow(), 1) << "the check mark stays on its row";
    EXPECT_EQ(s.dialog.rows()[2].name, u"a");
    EXPECT_EQ(s.dialog.Delete(3), 2) << "the last row: the one before it";
    EXPECT_EQ(s.dialog.Delete(1), 1);  // P a: the checked row is gone
    EXPECT_EQ(s.dialog.checkedRow(), -1);
    EXPECT_EQ(s.dialog.Delete(1), 0);
    EXPECT_EQ(s.dialog.Delete(0), -1);
    EXPECT_TRUE(s.dialog.rows().empty());
}

TEST(SceneDialogApply, NoRowCheckedWritesTheKeysAndSwitchesNothing) {
    SceneFixture s;
    ASSERT_TRUE(s.f.transfer.SetCurrentProfile(1));
    s.dialog.Open(s.f.files.WorkingProfilePath(), 1);
    s.dialog.SetChecked(1, false);
    s.dialog.Load(s.f.dir / "extra.fwc");
    s.f.sim().ClearTraffic();
    s.switcher.ApplySceneDialog();

    EXPECT_EQ(s.appProfile.GetInt(u"PROFILE00", -1), 4);
    const std::u16string folder = U16(s.f.paths.userFolder) + u"/";
    EXPECT_EQ(s.appProfile.GetString(u"PROFILE01", u""), folder + u"$Profile0.fwc");
    EXPECT_EQ(s.appProfile.GetString(u"PROFILE03", u""), folder + u"$Profile0.fwc");
    EXPECT_EQ(s.appProfile.GetString(u"PROFILE04", u""), U16(s.f.dir.path()) + u"/extra.fwc");
    const auto sent = CommandsSent(s.f.sim());
    EXPECT_EQ(CountCode(sent, kWriteSettings), 0);
    EXPECT_GT(CountCode(sent, 7), 0) << "the key blocks were read again";
    EXPECT_EQ(ActiveProfileOf(s.f.sim().settings()), 1);
    EXPECT_TRUE(fs::exists(s.f.paths.userFolder / "$Profile0"));
    EXPECT_FALSE(s.dialog.applyEnabled());
    EXPECT_FALSE(s.host.applyEnabled);
    ASSERT_EQ(s.host.outcomes.size(), 1u);
    EXPECT_TRUE(s.host.outcomes[0].replaced);
    EXPECT_EQ(s.host.menu->checkedPosition, 3);
}

TEST(SceneDialogApply, AnAddedRowStandsForTheFirstProfile) {
    SceneFixture s;
    ASSERT_TRUE(s.f.transfer.SetCurrentProfile(2));
    s.dialog.Open(s.f.files.WorkingProfilePath(), 2);
    s.dialog.Load(s.f.dir / "a.fwc");
    s.dialog.SetChecked(3, true);
    s.switcher.ApplySceneDialog();
    EXPECT_EQ(ActiveProfileOf(s.f.sim().settings()), 0);
    EXPECT_EQ(s.host.outcomes.at(0).requested, 0);
    EXPECT_TRUE(s.host.outcomes.at(0).switched);
}

TEST(SceneDialogApply, UnappliedEditsAreAskedForAndNoKeepsThemOffFileAndKeyboard) {
    SceneFixture s;
    ASSERT_TRUE(s.f.transfer.SetCurrentProfile(0));
    ASSERT_TRUE(s.f.files.ReloadFromKeyboard(true));
    const auto blocks = std::array{s.f.sim().keyBlock(0), s.f.sim().keyBlock(1)};
    {
        std::lock_guard lock(s.f.store.lockA());
        s.f.store.edit().image.setEntry(0, kSlotA, MakeEntry(AssignmentKind::Disabled, 0));
    }
    s.host.applyEnabled = true;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    s.dialog.SetChecked(1, true);
    s.f.sim().ClearTraffic();
    s.f.prompts.answers = {PromptAnswer::No};
    s.switcher.ApplySceneDialog();

    ASSERT_EQ(s.f.prompts.messages.size(), 1u);
    EXPECT_EQ(s.f.prompts.messages[0], s.f.texts[TextId::PROFILE_SELECT_PROMPT]);
    EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "apply"), 0);
    EXPECT_EQ(CountCode(CommandsSent(s.f.sim()), kWriteKeyBlock), 0);
    EXPECT_EQ(s.f.sim().keyBlock(0), blocks[0]);
    EXPECT_EQ(s.f.sim().keyBlock(1), blocks[1]);
    const auto file = ReadWholeFile(s.f.paths.userFolder / "$Profile0");
    ASSERT_TRUE(file);
    const auto copy = ParseProfileFile(*file);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->image.entry(0, kSlotA).kind, static_cast<uint16_t>(AssignmentKind::Disabled));
    {
        std::lock_guard lock(s.f.store.lockA());
        EXPECT_NE(s.f.store.edit().image.entry(0, kSlotA).kind,
                  static_cast<uint16_t>(AssignmentKind::Disabled));
    }
    EXPECT_EQ(ActiveProfileOf(s.f.sim().settings()), 1);
    EXPECT_FALSE(s.host.applyEnabled);
}

TEST(SceneDialogApply, YesSendsTheEditsBeforeTheReload) {
    SceneFixture s;
    ASSERT_TRUE(s.f.transfer.SetCurrentProfile(0));
    ASSERT_TRUE(s.f.files.ReloadFromKeyboard(true));
    {
        std::lock_guard lock(s.f.store.lockA());
        s.f.store.edit().image.setEntry(0, kSlotA, MakeEntry(AssignmentKind::Disabled, 0));
    }
    s.host.applyEnabled = true;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    s.dialog.SetChecked(2, true);
    s.f.prompts.answers = {PromptAnswer::Yes};
    s.switcher.ApplySceneDialog();
    EXPECT_EQ(s.log, (std::vector<std::string>{"apply", "scene dialog apply", "switched"}));
    std::lock_guard lock(s.f.store.lockA());
    EXPECT_EQ(s.f.store.edit().image.entry(0, kSlotA).kind, static_cast<uint16_t>(AssignmentKind::Disabled))
        << "read back from the keyboard, which got the edit first";
    EXPECT_EQ(ActiveProfileOf(s.f.sim().settings()), 2);
}

TEST(SceneDialogApply, WithoutEditsNothingIsAsked) {
    SceneFixture s;
    s.dialog.Open(s.f.files.WorkingProfilePath(), 0);
    s.dialog.SetChecked(2, true);
    s.switcher.ApplySceneDialog();
    EXPECT_TRUE(s.f.prompts.messages.empty());
    EXPECT_EQ(s.log, (std::vector<std::string>{"scene dialog apply", "switched"}));
}

}  // namespace
}  // namespace vornak
