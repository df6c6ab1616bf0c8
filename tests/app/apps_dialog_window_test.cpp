// The Applications dialog in the program's main window, offscreen: opened from the main menu and the scene
// menu, its edits reach the rules file at once and the follower reads them back through its watch.
// Screenshots go to $VORNAK_SHOTS when it is set.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPointer>
#include <QTest>

#include "follow/view/apps_dialog.h"
#include "follow/view/follow_driver.h"
#include "skin/qt_text.h"
#include "skin/skin_surfaces.h"
#include "tests/app/window_fixture.h"
#include "tests/support/shots.h"
#include "tests/support/temp_dir.h"

namespace vornak::test {
namespace {

QAction* ActionNamed(QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
        if (a->text() == text) return a;
    return nullptr;
}

FollowRules OnDisk(const std::filesystem::path& file) {
    std::string error;
    auto rules = LoadFollowRules(file, &error);
    EXPECT_TRUE(rules) << error;
    return rules.value_or(FollowRules{});
}

TEST(AppsDialogWindow, RulesAddedRemovedAndTheDefaultReachTheFileAndTheFollower) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    FollowDriver* follow = f.window->follow();
    ASSERT_NE(follow, nullptr);
    const std::filesystem::path file = follow->rulesFile();
    follow->follower().ActiveWindowChanged(u"org.example.Game", u"Level 1");
    follow->follower().ActiveWindowChanged(u"org.gnome.TextEditor", u"notes.txt");

    const QString appsText = ToQt(f.texts[TextId::MENU_APPS]);
    QMenu mainMenu;
    f.window->FillMainMenu(mainMenu);
    QAction* fromMain = ActionNamed(mainMenu, appsText);
    ASSERT_NE(fromMain, nullptr);
    fromMain->trigger();
    CVornak_DlgApps* dlg = f.window->appsDialog();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(ProcessUntil([&] { return dlg->isVisible(); }));
    EXPECT_EQ(dlg->list()->rowCount(), 0);
    EXPECT_TRUE(dlg->onBox()->isChecked());
    EXPECT_EQ(dlg->defaultBox()->currentIndex(), 0) << "leave the profile as it is";
    EXPECT_FALSE(dlg->button(apps_id::kRemove)->isEnabled()) << "nothing selected";

    // Add from the windows seen since start (the most recent first) ...
    ASSERT_EQ(dlg->appBox()->count(), 2);
    EXPECT_EQ(dlg->appBox()->itemText(0), QStringLiteral("org.gnome.TextEditor"));
    dlg->appBox()->setCurrentIndex(1);
    dlg->profileBox()->setCurrentIndex(1);
    QTest::mouseClick(dlg->button(apps_id::kAdd), Qt::LeftButton);
    // ... and typed, with a title text.
    dlg->appBox()->setEditText(QStringLiteral("firefox"));
    QTest::keyClicks(dlg->titleBox(), QStringLiteral("YouTube"));
    dlg->profileBox()->setCurrentIndex(2);
    QTest::mouseClick(dlg->button(apps_id::kAdd), Qt::LeftButton);
    ASSERT_EQ(dlg->list()->rowCount(), 2);
    EXPECT_EQ(dlg->list()->cellText(1, 1), QStringLiteral("YouTube"));
    EXPECT_EQ(dlg->appBox()->count(), 1) << "a seen application with a rule is offered no more";
    FollowRules rules = OnDisk(file);
    ASSERT_EQ(rules.rules.size(), 2u);
    EXPECT_EQ(rules.rules[0].app, u"org.example.Game");
    EXPECT_EQ(rules.rules[0].profile, 1);
    EXPECT_EQ(rules.rules[1].title, u"YouTube");
    EXPECT_EQ(rules.rules[1].profile, 2);
    SaveShot(*dlg, QStringLiteral("applications_dialog.png"));

    // An empty application adds nothing.
    QTest::mouseClick(dlg->button(apps_id::kAdd), Qt::LeftButton);
    EXPECT_EQ(OnDisk(file).rules.size(), 2u);

    dlg->list()->SelectRow(0);
    ASSERT_TRUE(dlg->button(apps_id::kRemove)->isEnabled());
    QTest::mouseClick(dlg->button(apps_id::kRemove), Qt::LeftButton);
    dlg->defaultBox()->setCurrentIndex(3);
    emit dlg->defaultBox()->activated(3);
    QTest::mouseClick(dlg->onBox(), Qt::LeftButton);
    rules = OnDisk(file);
    ASSERT_EQ(rules.rules.size(), 1u);
    EXPECT_EQ(rules.rules[0].app, u"firefox");
    EXPECT_EQ(rules.defaultProfile, 2);
    EXPECT_TRUE(rules.turnedOff);
    // The follower reads the file again through its watch.
    EXPECT_TRUE(ProcessUntil([&] {
        const FollowRules& seen = follow->follower().rules();
        return seen.rules.size() == 1 && seen.turnedOff && seen.defaultProfile == 2;
    }));

    // Closed, it opens again from the scene menu, on the file as it is now.
    QTest::mouseClick(dlg->button(apps_id::kClose), Qt::LeftButton);
    ASSERT_TRUE(ProcessUntil([&] { return !dlg->isVisible(); }));
    f.window->OnCommand(main_id::kCmdSceneMenu);
    QMenu& scenes = f.window->sceneMenu();
    QAction* fromScenes = ActionNamed(scenes, appsText);
    ASSERT_NE(fromScenes, nullptr);
    scenes.hide();
    fromScenes->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return dlg->isVisible(); }));
    EXPECT_EQ(dlg->list()->rowCount(), 1);
    EXPECT_FALSE(dlg->onBox()->isChecked());
    EXPECT_EQ(dlg->defaultBox()->currentIndex(), 3);
    dlg->reject();
    ASSERT_TRUE(ProcessUntil([&] { return !dlg->isVisible(); }));

    // A file mended badly by hand is named, and the dialog changes nothing in it.
    const std::string damaged = "[Rule]\nApplication=gimp\nProfile=7\n";
    WriteText(file, damaged);
    f.window->OnCommand(main_id::kCmdApps);
    ASSERT_TRUE(ProcessUntil([&] { return dlg->isVisible(); }));
    EXPECT_FALSE(dlg->button(apps_id::kAdd)->isEnabled());
    EXPECT_FALSE(dlg->onBox()->isEnabled());
    EXPECT_FALSE(dlg->defaultBox()->isEnabled());
    SaveShot(*dlg, QStringLiteral("applications_dialog_refused.png"));
    QTest::mouseClick(dlg->button(apps_id::kClose), Qt::LeftButton);
    EXPECT_EQ(ReadText(file), damaged);
}

TEST(AppsDialogWindow, OpenedWhileTheWindowIsInTheTrayItGoesWhenClosed) {
    WindowFixture f;
    ASSERT_TRUE(f.Ready());
    f.window->hide();
    ProcessFor(20);
    const auto held = [&] { return SkinSurfaces::Instance().Holds(f.paths.skinsDir / "apps_normal.jpg"); };
    f.window->OnCommand(main_id::kCmdApps);
    const QPointer<CVornak_DlgApps> dlg = f.window->appsDialog();
    ASSERT_FALSE(dlg.isNull());
    ASSERT_TRUE(ProcessUntil([&] { return dlg->isVisible(); }));
    EXPECT_TRUE(held());
    EXPECT_FALSE(f.window->isVisible());
    QTest::mouseClick(dlg->button(apps_id::kClose), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProcessFor(20);
    EXPECT_TRUE(dlg.isNull());
    EXPECT_FALSE(held());
}

}  // namespace
}  // namespace vornak::test
