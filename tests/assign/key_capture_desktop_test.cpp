// The key capture on real window systems. On an X server (Xvfb, driven by xdotool's XTest events): the scan
// codes the server reports, the keyboard grab, and the rule that keys typed into another window are never
// captured. On a Wayland compositor (headless sway): the request for the compositor's shortcuts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "assign/view/vornak_dlg_composite.h"
#include "tests/support/fake_macro_page.h"

namespace vornak {
namespace {

std::filesystem::path Skins() {
    return std::filesystem::path(VORNAK_BIN_DIR) / "Skins";
}

void XdoKey(const QString& key) {
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
}

// Waits until the condition holds, serving events meanwhile.
template <typename Condition>
bool Within(int ms, Condition condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) return false;
        QTest::qWait(20);
    }
    return true;
}

class X11CaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X server";
        texts.LoadLanguageTexts(Skins() / "language.ini");
        dialog = std::make_unique<Vornak_DlgComposite>(
            model, texts, CompositeDialogFiles{Skins() / "Composite.ini", Skins(), {}});
        ASSERT_TRUE(dialog->OpenFor(1058, false, QRect(100, 100, 36, 36)));
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        ASSERT_TRUE(Within(2000, [&] { return dialog->keyHook().grabbing(); }));
    }
    void TearDown() override {
        if (dialog) dialog->CloseAsCancel();
    }
    KeyCode CaptureOf(const QString& key) {
        XdoKey(key);
        Within(2000, [&] { return model.capturedKey() != before_; });
        before_ = model.capturedKey();
        return before_;
    }

    ConfigStore store;
    StoreDialogHost host{store};
    test::FakeMacroPage macroPage;
    LanguageTexts texts;
    KeyDialogModel model{host, macroPage, texts};
    std::unique_ptr<Vornak_DlgComposite> dialog;
    KeyCode before_ = 0;
};

TEST_F(X11CaptureTest, KeysArriveByTheirScanCodes) {
    EXPECT_EQ(CaptureOf("Control_R"), 0x11D);
    EXPECT_EQ(CaptureOf("Control_L"), 0x01D);
    EXPECT_EQ(CaptureOf("KP_Enter"), 0x11C);
    EXPECT_EQ(CaptureOf("Home"), 0x147);
    EXPECT_EQ(CaptureOf("KP_Home"), 0x047);  // Num 7: the same key symbol family, another key
    EXPECT_EQ(CaptureOf("Super_R"), 0x15C);
    EXPECT_EQ(CaptureOf("Super_L"), 0x15B);
    EXPECT_EQ(CaptureOf("Escape"), 0x001);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->capturedKeyBox()->text(), "Esc");
}

TEST_F(X11CaptureTest, MediaKeysPassAndShortcutsDoNotRun) {
    EXPECT_EQ(CaptureOf("b"), 0x030);
    XdoKey("XF86AudioMute");
    QTest::qWait(300);
    EXPECT_EQ(model.capturedKey(), 0x030);
    // Alt+F4 and Alt+Tab are keys like others here: the last key pressed is captured, nothing closes.
    XdoKey("alt+F4");
    EXPECT_TRUE(Within(2000, [&] { return model.capturedKey() == 0x03E; }));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(X11CaptureTest, KeysTypedIntoAnotherWindowAreNeverCaptured) {
    int lost = 0;
    QObject::connect(&dialog->keyHook(), &KeyEventHook::focusLost, [&] { ++lost; });
    // Another program's window takes the focus.
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--other-window")});
    ASSERT_TRUE(other.waitForStarted());
    QString window;
    ASSERT_TRUE(Within(5000, [&] {
        QProcess search;
        search.start("xdotool", {"search", "--onlyvisible", "--name", "^vornak-other-window$"});
        search.waitForFinished();
        window = QString::fromLatin1(search.readAllStandardOutput()).trimmed();
        return !window.isEmpty();
    }));
    QProcess::execute("xdotool", {"windowfocus", "--sync", window});
    EXPECT_TRUE(Within(2000, [&] { return !dialog->keyHook().grabbing(); }));
    EXPECT_EQ(lost, 1);
    XdoKey("x");
    QTest::qWait(300);
    EXPECT_EQ(model.capturedKey(), 0);
    other.kill();
    other.waitForFinished();
    // The user comes back to the dialog: the capture grabs again.
    QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(dialog->winId())});
    ASSERT_TRUE(Within(2000, [&] { return dialog->keyHook().grabbing(); }));
    EXPECT_EQ(CaptureOf("y"), 0x015);
}

// On Wayland no client grabs the keyboard: the capture asks the compositor for its shortcuts instead.
TEST(WaylandCapture, AsksTheCompositorForItsShortcutsWhileCapturing) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "needs Wayland";
    if (!ShortcutsInhibitor::supported()) GTEST_SKIP() << "built without the Wayland client library";
    ConfigStore store;
    StoreDialogHost host{store};
    test::FakeMacroPage macroPage;
    LanguageTexts texts;
    KeyDialogModel model{host, macroPage, texts};
    Vornak_DlgComposite dialog(model, texts, CompositeDialogFiles{Skins() / "Composite.ini", Skins(), {}});
    ASSERT_TRUE(dialog.OpenFor(1058, false, QRect(100, 100, 36, 36)));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ShortcutsInhibitor& inhibitor = dialog.keyHook().shortcutsInhibitor();
    ASSERT_TRUE(Within(3000, [&] { return inhibitor.requested(); }));
    EXPECT_TRUE(Within(3000, [&] { return inhibitor.active(); }));
    // Off the single-key page the compositor's shortcuts are its own again.
    QTest::mouseClick(dialog.button(kCtlMediaPage), Qt::LeftButton);
    EXPECT_FALSE(inhibitor.requested());
    QTest::mouseClick(dialog.button(kCtlSingleKeyPage), Qt::LeftButton);
    EXPECT_TRUE(Within(3000, [&] { return inhibitor.active(); }));
    dialog.CloseAsCancel();
    EXPECT_FALSE(inhibitor.requested());
}

}  // namespace
}  // namespace vornak

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--other-window") {
        // The window of another program, for the focus test.
        QLineEdit edit;
        edit.setWindowTitle(QStringLiteral("vornak-other-window"));
        edit.show();
        return app.exec();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
