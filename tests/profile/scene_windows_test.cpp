// The scene menu, the FUNC_PROFILES caption, the scene dialog and the update dialog offscreen in the
// program's main window, on the in-process simulated keyboard. Screenshots go to $VORNAK_SHOTS when it is
// set.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLabel>
#include <QTest>
#include <cstdlib>
#include <fstream>

#include "profile/view/vornak_dlg_profile.h"
#include "profile/view/vornak_dlg_update.h"
#include "tests/app/window_fixture.h"
#include "tests/support/config_builders.h"
#include "tests/support/shots.h"
#include "tests/support/traffic.h"

namespace vornak::test {
namespace {

namespace fs = std::filesystem;

void Shot(QWidget& widget, const char* name) {
    SaveShot(widget, QString::fromLatin1(name));
}

int KeyboardProfile(WindowFixture& f) {
    return ActiveProfileOf(f.sim->settings());
}

bool Idle(WindowFixture& f) {
    return ProcessUntil([&] { return !f.worker->busy(); });
}

std::vector<std::string> SceneItems(QMenu& menu) {
    std::vector<std::string> items;
    for (QAction* a : menu.actions())
        if (!a->isSeparator() && a->isCheckable()) items.push_back(a->text().toStdString());
    return items;
}

std::string CheckedItem(QMenu& menu) {
    for (QAction* a : menu.actions())
        if (a->isChecked()) return a->text().toStdString();
    return {};
}

std::string Text(const CPngButton* b) {
    return b->text().toStdString();
}

TEST(SceneWindows, TheMenuTheCaptionAndTheProfileButtonsAgree) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(Idle(f));
    QMenu& menu = f.window->sceneMenu();
    const std::vector<std::string> items = SceneItems(menu);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], ToQt(f.texts[TextId::DEFAULT_PROFILE_NAME]).toStdString());
    const int buttons[3] = {main_id::kProfile1, main_id::kProfile2, main_id::kProfile3};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(items[size_t(i) + 1], Text(f.window->button(buttons[i])));
    EXPECT_NE(items[1], items[2]);
    EXPECT_NE(items[2], items[3]);
    EXPECT_NE(items[1], items[3]);
    CPngButton* caption = f.window->button(main_id::kScenes);
    EXPECT_EQ(CheckedItem(menu), items[size_t(KeyboardProfile(f)) + 1])
        << "the profile the keyboard was found in";
    EXPECT_EQ(Text(caption), CheckedItem(menu));
    EXPECT_EQ(caption->toolTipText(), ToQt(f.texts[TextId::PROFILE_TIP]) + caption->text());

    f.sim->ClearTraffic();
    f.window->OnCommand(9003);
    ASSERT_TRUE(Idle(f));
    EXPECT_EQ(KeyboardProfile(f), 2);
    EXPECT_EQ(Text(caption), items[3]);
    EXPECT_EQ(CheckedItem(menu), items[3]);
    EXPECT_TRUE(f.window->button(main_id::kProfile3)->selected());
    EXPECT_FALSE(f.window->button(main_id::kProfile1)->selected());

    // "<Default Profile>" sends nothing and keeps the check mark.
    f.sim->ClearTraffic();
    f.window->OnCommand(9000);
    ASSERT_TRUE(Idle(f));
    EXPECT_TRUE(f.sim->commandsSent().empty());
    EXPECT_EQ(CheckedItem(menu), items[3]);
    EXPECT_EQ(Text(caption), items[3]);

    f.window->OnCommand(9004);
    ASSERT_TRUE(Idle(f));
    EXPECT_EQ(KeyboardProfile(f), 0);
    EXPECT_EQ(Text(caption), items[1]);

    Shot(*f.window, "main_window_scene_caption.png");
    f.window->OnCommand(main_id::kCmdSceneMenu);
    ASSERT_TRUE(ProcessUntil([&] { return menu.isVisible(); }));
    Shot(menu, "scene_menu.png");
    menu.hide();
}

TEST(SceneWindows, AProfileButtonWithUnappliedEditsAsksFirst) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(Idle(f));
    f.window->SetApplyEnabled(true);
    f.dialogs.answers = {PromptAnswer::No};
    QTest::mouseClick(f.window->button(main_id::kProfile2), Qt::LeftButton);
    ASSERT_TRUE(Idle(f));
    ASSERT_TRUE(ProcessUntil([&] { return f.window->button(main_id::kProfile2)->selected(); }));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0], f.texts[TextId::PROFILE_SELECT_PROMPT]);
    EXPECT_FALSE(f.window->button(main_id::kApply)->isEnabled());
    EXPECT_EQ(KeyboardProfile(f), 1);
}

TEST(SceneWindows, TheSceneDialogListsTheScenesAndApplies) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(Idle(f));
    f.window->OnCommand(main_id::kScenes);
    CVornak_DlgProfile* d = f.window->sceneDialog();
    ASSERT_TRUE(ProcessUntil([&] { return d->isVisible(); }));
    EXPECT_EQ(d->size(), d->background().size());
    ReportList* list = d->list();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->cellText(0, 1), QStringLiteral("$Profile0"));
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(list->topLevelItem(r)->checkState(0) == Qt::Checked, r == KeyboardProfile(f)) << r;
    EXPECT_FALSE(d->button(profile_id::kApply)->isEnabled());
    EXPECT_EQ(d->model().openCount(), 1);
    Shot(*d, "scene_dialog.png");

    // A tick on row 3 unticks the others and enables Apply; Apply switches the keyboard.
    list->topLevelItem(2)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(d->button(profile_id::kApply)->isEnabled());
    QTest::mouseClick(d->button(profile_id::kApply), Qt::LeftButton);
    ASSERT_TRUE(Idle(f));
    ASSERT_TRUE(ProcessUntil([&] { return f.window->button(main_id::kProfile3)->selected(); }));
    EXPECT_EQ(KeyboardProfile(f), 2);
    EXPECT_FALSE(d->button(profile_id::kApply)->isEnabled());
    const AppProfile profile(f.paths.appProfile);
    EXPECT_EQ(profile.GetInt(u"PROFILE00", 0), 3);

    // Unapplied edits of the main window: No keeps them off the keyboard.
    const auto block = f.sim->keyBlock(2);
    ASSERT_TRUE(f.window->Edit("A off", [](EditCopy& e) {
        e.image.setEntry(2, 0x1E, MakeEntry(AssignmentKind::Disabled, 0));
        return true;
    }));
    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    f.dialogs.answers = {PromptAnswer::No};
    QTest::mouseClick(d->button(profile_id::kOk), Qt::LeftButton);
    ASSERT_TRUE(Idle(f));
    ASSERT_TRUE(ProcessUntil([&] { return f.window->button(main_id::kProfile2)->selected(); }));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->model().openCount(), 0);
    EXPECT_EQ(f.dialogs.messages.back(), f.texts[TextId::PROFILE_SELECT_PROMPT]);
    EXPECT_EQ(f.sim->keyBlock(2), block);
    EXPECT_FALSE(f.window->button(main_id::kApply)->isEnabled());
    EXPECT_FALSE(f.window->model().LookOf(1058)->assigned)
        << "the key buttons show the keyboard's keys again";
}

TEST(SceneWindows, TheSceneDialogClosesAsCancelWhenTheKeyboardGoes) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    f.window->OnCommand(main_id::kScenes);
    CVornak_DlgProfile* d = f.window->sceneDialog();
    ASSERT_TRUE(ProcessUntil([&] { return d->isVisible(); }));
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(ProcessUntil([&] { return !d->isVisible(); }));
    EXPECT_EQ(d->model().openCount(), 0);
}

// An updater that leaves a mark in the folder it runs in.
fs::path WriteUpdater(const fs::path& folder) {
    const fs::path p = folder / "kx1-update";
    std::ofstream(p) << "#!/bin/sh\ntouch started-here\n";
    ::chmod(p.c_str(), 0755);
    return p;
}

TEST(UpdateWindow, AnEmptyPathSendsNothingAndAStartedUpdaterClosesTheDialog) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(Idle(f));
    f.window->OnCommand(main_id::kCmdUpdate);
    CVornak_DlgUpdate* d = f.window->updateDialog();
    ASSERT_TRUE(ProcessUntil([&] { return d->isVisible(); }));
    EXPECT_EQ(d->size(), d->background().size());
    f.sim->ClearTraffic();
    QTest::mouseClick(d->button(update_id::kUpdate), Qt::LeftButton);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0], f.texts[TextId::MAIN_UPDATE_ERROR_TEXT]);
    ASSERT_TRUE(Idle(f));
    EXPECT_TRUE(f.sim->commandsSent().empty());
    EXPECT_TRUE(d->isVisible());

    const fs::path updater = WriteUpdater(f.dir.path());
    f.dialogs.files.push_back(updater);
    QTest::mouseClick(d->button(update_id::kOpen), Qt::LeftButton);
    EXPECT_EQ(d->pathText()->toolTip(), QString::fromStdString(updater.string()));
    EXPECT_FALSE(d->pathText()->text().isEmpty());
    Shot(*d, "update_dialog.png");

    f.dialogs.answers = {PromptAnswer::No};  // no backup first
    QTest::mouseClick(d->button(update_id::kUpdate), Qt::LeftButton);
    ASSERT_TRUE(ProcessUntil([&] { return !d->isVisible(); }));
    EXPECT_EQ(f.dialogs.messages.back(), f.texts[TextId::MAIN_UPDATE_BACKUP_ASK]);
    EXPECT_EQ(f.sim->bootModeRequests(), 1);
    EXPECT_TRUE(f.window->firmwareUpdate().updaterPath().empty());
    EXPECT_TRUE(ProcessUntil([&] { return fs::exists(f.dir / "started-here"); }))
        << "the updater ran in its own folder";
}

TEST(UpdateWindow, AKeyboardThatLeavesForItsLoaderStillGetsItsUpdaterStarted) {
    WindowFixtureOptions options;
    options.config.modes.bootLeaves = true;
    WindowFixture f(options);
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(Idle(f));
    f.window->OnCommand(main_id::kCmdUpdate);
    CVornak_DlgUpdate* d = f.window->updateDialog();
    ASSERT_TRUE(ProcessUntil([&] { return d->isVisible(); }));
    const fs::path backup = f.dir / "before.fwc";
    f.dialogs.files = {WriteUpdater(f.dir.path()), backup};
    QTest::mouseClick(d->button(update_id::kOpen), Qt::LeftButton);
    f.dialogs.answers = {PromptAnswer::Yes};  // the backup first
    QTest::mouseClick(d->button(update_id::kUpdate), Qt::LeftButton);
    ASSERT_TRUE(ProcessUntil([&] { return !d->isVisible(); }));
    EXPECT_TRUE(fs::exists(backup));
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::u16string>{f.texts[TextId::MAIN_UPDATE_BACKUP_ASK],
                                                               f.texts[TextId::MAIN_UPDATE_BACKUP_OK]}));
    EXPECT_EQ(f.sim->bootModeRequests(), 1);
    EXPECT_TRUE(ProcessUntil([&] { return fs::exists(f.dir / "started-here"); }));
    // The keyboard went: the window follows it away, and the scene label forgets its profile.
    EXPECT_TRUE(ProcessUntil([&] { return !f.sim->attached() && f.window->isMinimized(); }));
    EXPECT_TRUE(ProcessUntil([&] {
        return f.window->button(main_id::kScenes)->text() == ToQt(f.texts[TextId::DEFAULT_PROFILE_NAME]);
    }));
}

TEST(UpdateWindow, ThePathOutlivesTheDialogAndNoKeyboardMeansNoUpdateMode) {
    WindowFixtureOptions options;
    options.config.attached = false;
    WindowFixture f(options);
    ASSERT_TRUE(ProcessUntil([&] { return f.window->ready(); }));
    f.window->OnCommand(main_id::kCmdUpdate);
    CVornak_DlgUpdate* d = f.window->updateDialog();
    ASSERT_TRUE(ProcessUntil([&] { return d->isVisible(); }));
    const fs::path updater = WriteUpdater(f.dir.path());
    f.dialogs.files.push_back(updater);
    QTest::mouseClick(d->button(update_id::kOpen), Qt::LeftButton);
    d->reject();  // Esc
    f.window->OnCommand(main_id::kCmdUpdate);
    d = f.window->updateDialog();  // closed while the window was never shown, the first one went
    ASSERT_TRUE(ProcessUntil([&] { return d->isVisible(); }));
    EXPECT_EQ(d->pathText()->toolTip(), QString::fromStdString(updater.string()));

    QTest::mouseClick(d->button(update_id::kUpdate), Qt::LeftButton);
    ASSERT_TRUE(ProcessUntil([&] { return !f.dialogs.messages.empty(); }));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::u16string>{f.texts[TextId::MAIN_BOOT_ERROR_TEXT]});
    EXPECT_EQ(f.sim->bootModeRequests(), 0);
    EXPECT_TRUE(f.sim->commandsSent().empty());
    EXPECT_FALSE(fs::exists(f.dir / "started-here"));
    EXPECT_TRUE(d->isVisible());
    QTest::mouseClick(d->button(update_id::kCancelUpdate), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(f.window->firmwareUpdate().updaterPath().empty());
}

}  // namespace
}  // namespace vornak::test
