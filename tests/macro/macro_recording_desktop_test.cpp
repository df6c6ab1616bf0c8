// Recording a macro on a real X server (Xvfb, keys typed through the server with xdotool's XTest events),
// from the macro page of the key dialog to the simulated keyboard's memory, which this test reads with a
// decoder of its own. Also: a held key and keys typed into another program's window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "assign/assignment.h"
#include "assign/view/vornak_dlg_composite.h"
#include "macro/view/macro_page_view.h"
#include "platform/tick_count.h"
#include "tests/support/config_fixture.h"
#include "tests/support/shots.h"

namespace vornak {
namespace {

constexpr uint16_t kKeyButtonQ = 1044;
constexpr size_t kMatrixPositionQ = 43;

std::filesystem::path Skins() {
    return std::filesystem::path(VORNAK_BIN_DIR) / "Skins";
}

void Xdo(const QStringList& args) {
    QProcess::execute(QStringLiteral("xdotool"), args);
}

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

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

// The keyboard's macro memory read back: the macros as the firmware will play them.
struct PlayedAction {
    unsigned delay;
    unsigned type;  // usage type: 2 keyboard page
    bool press;
    unsigned low;   // 0x02 key, 0x01 modifier
    unsigned high;  // usage id or modifier bit
};
struct PlayedMacro {
    unsigned cycles = 0;
    std::u16string name;
    std::vector<PlayedAction> actions;
};
std::vector<PlayedMacro> ReadMacroMemory(const std::vector<uint8_t>& area) {
    std::vector<PlayedMacro> macros;
    if (area.size() < 16 || Le16(area, 0) != 0x55AA) return macros;
    const unsigned count = Le16(area, 4);
    for (unsigned i = 0; i < count; ++i) {
        size_t at = Le16(area, 16 + 2 * i);
        PlayedMacro m;
        const unsigned actions = Le16(area, at);
        m.cycles = area.at(at + 2);
        const unsigned nameUnits = area.at(at + 3);
        at += 4;
        for (unsigned k = 0; k < actions; ++k, at += 4) {
            const uint16_t w0 = Le16(area, at), w1 = Le16(area, at + 2);
            m.actions.push_back(
                {(w0 & 0xFFFu) * 10, (w0 >> 12) & 7u, (w0 & 0x8000) != 0, w1 & 0xFFu, unsigned{w1} >> 8});
        }
        for (unsigned k = 0; k < nameUnits; ++k, at += 2)
            m.name.push_back(static_cast<char16_t>(Le16(area, at)));
        macros.push_back(m);
    }
    return macros;
}

class X11RecordingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X server";
        f.texts.LoadLanguageTexts(Skins() / "language.ini");
        settings.profile = &profile;
        settings.capacity = [this] { return f.link().state().macroCapacity.load(); };
        dialog = std::make_unique<Vornak_DlgComposite>(
            model, f.texts, CompositeDialogFiles{Skins() / "Composite.ini", Skins(), {}}, nullptr,
            [this](const MacroPageContext& context) {
                auto widgets = MacroEditorPageFactory(editor, settings)(context);
                page = static_cast<MacroPageView*>(widgets.get());
                return widgets;
            });
        ASSERT_TRUE(dialog->OpenFor(kKeyButtonQ, false, QRect(100, 100, 36, 36)));
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QTest::mouseClick(dialog->button(kCtlMacroPage), Qt::LeftButton);
        QTest::mouseClick(Button(kCtlMacroAdd), Qt::LeftButton);
        ASSERT_EQ(editor.macros().size(), 1u);
    }
    void TearDown() override {
        if (dialog) dialog->CloseAsCancel();
    }
    CPngButton* Button(int id) const { return static_cast<CPngButton*>(page->control(id)); }
    void StartRecording() {
        QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
        ASSERT_TRUE(editor.recording());
        ASSERT_TRUE(Within(2000, [&] { return dialog->keyHook().grabbing(); }));
    }
    // A key pressed, held for a while and released, as the user does.
    void Press(const char* key, int holdMs) {
        Xdo({QStringLiteral("keydown"), QString::fromLatin1(key)});
        QTest::qWait(holdMs);
        Xdo({QStringLiteral("keyup"), QString::fromLatin1(key)});
    }
    bool RowsReach(size_t n) {
        return Within(3000, [&] { return editor.rows().size() >= n; });
    }

    test::ConfigFixture f;
    test::TempDir dir;
    AppProfile profile{dir / "Vornak_Pellam.ini"};
    MacroPageSettings settings;
    MacroEditor editor{f.texts, f.prompts,
                       [this](const MacroRecord& m) { return f.transfer.MacroUsedByKeys(m); }, TickCount,
                       IsMultimediaKey};
    StoreDialogHost host{f.store};
    KeyDialogModel model{host, editor, f.texts};
    std::unique_ptr<Vornak_DlgComposite> dialog;
    MacroPageView* page = nullptr;
};

TEST_F(X11RecordingTest, RecordedMacroReachesTheKeyboardAsItWasTyped) {
    page->recordDelayBox()->click();  // measured delays
    ASSERT_EQ(editor.delayMode(), RecordDelayMode::Measured);
    EXPECT_EQ(profile.GetString(u"RecordDelay", u""), u"1");
    StartRecording();
    Press("a", 300);
    ASSERT_TRUE(RowsReach(2));
    QTest::qWait(400);
    Press("b", 250);
    ASSERT_TRUE(RowsReach(4));
    test::SaveShot(*dialog, QStringLiteral("macro_x11_recording.png"));
    QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
    ASSERT_EQ(editor.rows().size(), 4u);

    // The waits the user made (300, 400 and 250 ms), give or take what a loaded machine adds to when each key
    // is seen, and not the 50 ms of fixed delays; the last action waits nothing.
    const auto& rows = editor.rows();
    EXPECT_GT(rows[0].action.delay, 50u);
    EXPECT_GE(rows[1].action.delay, 200u);
    EXPECT_GT(rows[2].action.delay, 50u);
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(rows[static_cast<size_t>(i)].action.delay, 2000u) << i;
    EXPECT_EQ(rows[3].action.delay, 0u);
    const std::vector<MacroAction> recorded = {rows[0].action, rows[1].action, rows[2].action,
                                               rows[3].action};

    // OK gives the key the macro; the main window's Apply downloads the edit copy.
    QTest::mouseClick(dialog->button(kCtlOk), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    {
        std::lock_guard lock(f.store.lockA());
        ASSERT_TRUE(f.transfer.CopyAndDownload(true)) << f.transfer.lastError();
    }
    EXPECT_EQ(f.sim().violations(), 0);

    const std::vector<PlayedMacro> played = ReadMacroMemory(f.sim().macroArea());
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].cycles, 1u);
    EXPECT_EQ(played[0].name, u"Macro1");
    ASSERT_EQ(played[0].actions.size(), 4u);
    const unsigned usageA = 0x04, usageB = 0x05;  // HID keyboard page
    const unsigned usages[] = {usageA, usageA, usageB, usageB};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const PlayedAction& a = played[0].actions[i];
        EXPECT_EQ(a.type, 2u);
        EXPECT_EQ(a.press, i % 2 == 0);
        EXPECT_EQ(a.low, 0x02u);
        EXPECT_EQ(a.high, usages[i]);
        EXPECT_EQ(a.delay, recorded[i].delay / 10 * 10);  // sent in 10 ms steps
    }
    // Q plays the first macro of the list.
    const sim::KeyBlock block = f.sim().keyBlock(0);
    EXPECT_EQ(block[3 * kMatrixPositionQ], 0x05);
    EXPECT_EQ(block[3 * kMatrixPositionQ + 1], 0x01);
    EXPECT_EQ(block[3 * kMatrixPositionQ + 2], 0x00);
}

TEST_F(X11RecordingTest, HeldKeyRecordsOnePressAndOneRelease) {
    StartRecording();
    Press("a", 1500);  // long enough for the server's auto-repeat
    ASSERT_TRUE(RowsReach(2));
    QTest::qWait(300);
    ASSERT_EQ(editor.rows().size(), 2u);
    EXPECT_EQ(editor.rows()[0].action.release, 0);
    EXPECT_EQ(editor.rows()[1].action.release, 1);
}

TEST_F(X11RecordingTest, KeysTypedIntoAnotherWindowNeverReachTheMacro) {
    StartRecording();
    Press("a", 50);
    ASSERT_TRUE(RowsReach(2));
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
    Xdo({"windowfocus", "--sync", window});
    EXPECT_TRUE(Within(2000, [&] { return !editor.recording(); }));
    Press("x", 50);
    Press("y", 50);
    QTest::qWait(300);
    EXPECT_EQ(editor.rows().size(), 2u);
    other.kill();
    other.waitForFinished();
}

}  // namespace
}  // namespace vornak

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--other-window") {
        QLineEdit edit;
        edit.setWindowTitle(QStringLiteral("vornak-other-window"));
        edit.show();
        return app.exec();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
