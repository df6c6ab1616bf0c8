// The running program's bus service with the real main window offscreen, on a private session bus: the built
// vornakctl sends its work there, it runs on the window's device worker, and the window shows what changed.
// With unapplied edits in the window, a change that would overwrite them is refused (exit 6) and the edits
// stay; --force discards them.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>

#include "app/bus_service.h"
#include "device/settings_block.h"
#include "follow/view/follow_driver.h"
#include "keyboard/key_buttons.h"
#include "tests/app/window_fixture.h"
#include "tests/support/private_bus.h"

namespace vornak {
namespace {

using test::ProcessUntil;
using test::WindowFixture;

constexpr KeyCode kCapsLock = 0x03A;

uint16_t ControlOf(KeyCode code) {
    for (const KeyButton& b : kKeyButtons) {
        if (b.code == code) return b.controlId;
    }
    return 0;
}

struct CtlRun {
    int code = -1;
    std::string out;
    std::string err;
};

class BusServiceWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { bus_ = new test::PrivateSessionBus; }
    static void TearDownTestSuite() {
        delete bus_;
        bus_ = nullptr;
    }

    void SetUp() override {
        if (!bus_->running()) GTEST_SKIP() << "no dbus-daemon to run a private session bus";
        window_ = std::make_unique<WindowFixture>();
        ASSERT_TRUE(window_->Ready());
        service_ = std::make_unique<BusService>(*window_->window, "simulated");
        std::string why;
        ASSERT_TRUE(service_->Start(&why)) << why;
    }
    void TearDown() override {
        service_.reset();
        window_.reset();
    }

    // The built vornakctl, run while this process serves the bus (its event loop keeps turning).
    CtlRun Ctl(const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(window_->dir.path().string()));
        p.start(QStringLiteral(VORNAK_BIN_DIR "/vornakctl"), args);
        EXPECT_TRUE(p.waitForStarted());
        const bool ended = ProcessUntil([&] { return p.state() == QProcess::NotRunning; }, 60000);
        EXPECT_TRUE(ended) << "vornakctl did not end";
        return CtlRun{ended ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
                      p.readAllStandardError().toStdString()};
    }

    std::u16string CapsLockShown() { return window_->window->model().LookOf(ControlOf(kCapsLock))->toolTip; }
    // A file of the keyboard's configuration with Caps Lock sending X on profile 1.
    std::string CapsLockIsX() {
        const std::string file = (window_->dir / "caps.fwc").string();
        const CtlRun capture = Ctl({"--simulate", "capture", QString::fromStdString(file)});
        EXPECT_EQ(capture.code, 0) << capture.err;
        const CtlRun assign =
            Ctl({"assign", QString::fromStdString(file), "--profile", "1", "Caps Lock=key:X"});
        EXPECT_EQ(assign.code, 0) << assign.err;
        return file;
    }
    // An edit in the window, not applied: A sends B on the profile shown.
    void EditAWithoutApply() {
        CVornakDlg& w = *window_->window;
        const int profile = w.model().selectedProfile();
        ASSERT_TRUE(w.Edit("A is B", [&](EditCopy& edit) {
            edit.image.setEntry(profile, KeySlot(0x01E), ConfigEntry{2, 0, 0x030, 0, 0});
            return true;
        }));
        ASSERT_TRUE(w.model().applyEnabled());
    }

    static test::PrivateSessionBus* bus_;
    std::unique_ptr<WindowFixture> window_;
    std::unique_ptr<BusService> service_;
};

test::PrivateSessionBus* BusServiceWindow::bus_ = nullptr;

TEST_F(BusServiceWindow, ApplyAndProfileFromVornakctlRunInTheProgramAndTheWindowShowsThem) {
    const CtlRun status = Ctl({"--simulate", "status"});
    ASSERT_EQ(status.code, 0) << status.err;
    EXPECT_NE(status.out.find("opened by:     the running program"), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("profile follows the window in front: focus from"), std::string::npos)
        << status.out;

    const std::u16string before = CapsLockShown();
    const std::string file = CapsLockIsX();
    const CtlRun apply = Ctl({"--simulate", "apply", QString::fromStdString(file)});
    ASSERT_EQ(apply.code, 0) << apply.err;
    // The window shows the new assignment without a restart, and the keyboard took it in whole sequences.
    EXPECT_NE(CapsLockShown(), before);
    EXPECT_NE(CapsLockShown().find(u"X"), std::u16string::npos);
    EXPECT_FALSE(window_->window->model().applyEnabled());
    EXPECT_EQ(window_->sim->violations(), 0);
    const std::vector<std::string> jobs = window_->worker->startedJobs();
    EXPECT_NE(std::find(jobs.begin(), jobs.end(), "outside apply"), jobs.end());

    const CtlRun profile = Ctl({"--simulate", "profile", "2"});
    ASSERT_EQ(profile.code, 0) << profile.err;
    EXPECT_EQ(window_->sim->memory().settings[settings_field::kActiveProfile], 1);
    ASSERT_TRUE(ProcessUntil([&] { return window_->window->model().selectedProfile() == 1; }));
    EXPECT_EQ(window_->stack.link().state().currentProfile.load(), 1);

    // The keyboard kept Caps Lock = X for profile 1: a capture through the program reads it back.
    const std::string back = (window_->dir / "back.fwc").string();
    ASSERT_EQ(Ctl({"--simulate", "capture", QString::fromStdString(back)}).code, 0);
    const CtlRun shown = Ctl({"show", QString::fromStdString(back)});
    EXPECT_NE(shown.out.find("Caps Lock"), std::string::npos) << shown.out;
}

TEST_F(BusServiceWindow, UnappliedEditsAreRefusedWithExit6UntilForced) {
    const std::string file = CapsLockIsX();
    EditAWithoutApply();
    const std::u16string editedA = window_->window->model().LookOf(ControlOf(0x01E))->toolTip;
    const std::u16string caps = CapsLockShown();

    for (const QStringList& args : {QStringList{"--simulate", "apply", QString::fromStdString(file)},
                                    QStringList{"--simulate", "profile", "3"}}) {
        const CtlRun refused = Ctl(args);
        EXPECT_EQ(refused.code, 6) << args.join(' ').toStdString();
        // One line that says why.
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    }
    // Nothing changed: the edit is still there, not applied, and the keyboard runs what it ran.
    EXPECT_TRUE(window_->window->model().applyEnabled());
    EXPECT_EQ(window_->window->model().LookOf(ControlOf(0x01E))->toolTip, editedA);
    EXPECT_EQ(CapsLockShown(), caps);
    EXPECT_EQ(window_->sim->memory().settings[settings_field::kActiveProfile], 0);

    // A status touches no edit.
    EXPECT_EQ(Ctl({"--simulate", "status"}).code, 0);
    EXPECT_TRUE(window_->window->model().applyEnabled());

    // --force discards the edit: the file's keys are shown and Apply is off.
    const CtlRun forced = Ctl({"--simulate", "--force", "apply", QString::fromStdString(file)});
    ASSERT_EQ(forced.code, 0) << forced.err;
    EXPECT_FALSE(window_->window->model().applyEnabled());
    EXPECT_NE(window_->window->model().LookOf(ControlOf(0x01E))->toolTip, editedA);
    EXPECT_NE(CapsLockShown().find(u"X"), std::u16string::npos);

    EditAWithoutApply();
    const CtlRun forcedSwitch = Ctl({"--simulate", "profile", "--force", "3"});
    ASSERT_EQ(forcedSwitch.code, 0) << forcedSwitch.err;
    EXPECT_EQ(window_->sim->memory().settings[settings_field::kActiveProfile], 2);
    EXPECT_FALSE(window_->window->model().applyEnabled());
}

TEST_F(BusServiceWindow, AnotherKeyboardIsNotReachedThroughTheProgram) {
    // Without --simulate vornakctl means the real keyboard; the program runs on the simulated one.
    const CtlRun status = Ctl({"--library", "/nonexistent/libPortHub.so", "status"});
    EXPECT_EQ(status.code, 3) << status.err;
    EXPECT_EQ(status.out.find("the running program"), std::string::npos);
}

// The KWin script and the GNOME Shell extension report the window in front with one method call of the
// service; made here as they make it, from another process, it reaches the profile follower.
TEST_F(BusServiceWindow, TheDesktopScriptsCallReachesTheFollower) {
    FollowDriver* follow = window_->window->follow();
    ASSERT_NE(follow, nullptr);
    QProcess send;
    send.start(
        QStringLiteral("dbus-send"),
        {"--session", "--type=method_call", "--dest=io.github.vornak.Vornak", "/io/github/vornak/Vornak",
         "io.github.vornak.Vornak1.ActiveWindowChanged", "string:org.example.Game", "string:Level 1"});
    if (!send.waitForStarted()) GTEST_SKIP() << "no dbus-send";
    const auto seen = [&] {
        const auto& apps = follow->follower().seenApplications();
        return std::find(apps.begin(), apps.end(), u"org.example.Game") != apps.end();
    };
    EXPECT_TRUE(ProcessUntil(seen)) << "the follower never saw the application";
    send.waitForFinished();
    EXPECT_EQ(send.exitCode(), 0);
}

}  // namespace
}  // namespace vornak
