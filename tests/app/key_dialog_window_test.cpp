// The key assignment dialog in the main window offscreen: the key click road opens it for the right slot,
// the key shows pressed while it is open, its OK is one edit of the window, a write during a device job is
// refused, and the keyboard's removal and the program's end close it as by its Cancel.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "assign/view/vornak_dlg_composite.h"
#include "keyboard/key_buttons.h"
#include "macro/view/macro_page_view.h"
#include "skin/skin_surfaces.h"
#include "tests/app/window_fixture.h"

namespace vornak::test {
namespace {

constexpr int kButtonA = 1058, kButtonB = 1075;
constexpr int kSlotA = 0x01E;
const int kButtonG1 = kGKeyControlIds[0], kButtonG5 = kGKeyControlIds[4], kButtonG9 = kGKeyControlIds[8];

class KeyDialogWindow : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(f.Ready()); }
    Vornak_DlgComposite& Dialog() { return *f.window->keyDialog(); }
    KeyDialogModel& Model() { return Dialog().model(); }
    // A click on a key button of the main window, and the dialog open and active.
    bool ClickKey(int id) {
        QTest::mouseClick(f.window->button(id), Qt::LeftButton);
        if (!ProcessUntil([&] { return Dialog().isVisible(); }, 3000)) return false;
        QApplication::setActiveWindow(&Dialog());
        return QTest::qWaitForWindowActive(&Dialog());
    }
    void Type(Qt::Key key) { QTest::keyClick(Dialog().windowHandle(), key); }
    void Click(uint16_t control) { QTest::mouseClick(Dialog().button(control), Qt::LeftButton); }
    ConfigEntry At(int slot) {
        std::lock_guard lock(f.stack.store().lockA());
        return f.stack.store().edit().image.entry(f.window->model().selectedProfile(), slot);
    }
    bool ApplyEnabled() { return f.window->button(main_id::kApply)->isEnabled(); }
    // Holds the device worker until the returned flag is set.
    std::shared_ptr<std::atomic<bool>> HoldWorker() {
        auto release = std::make_shared<std::atomic<bool>>(false);
        f.worker->Post("slow", [release](DeviceContext&) {
            while (!release->load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        return release;
    }

    WindowFixture f;
};

TEST_F(KeyDialogWindow, AKeyClickOpensTheDialogForItsSlotWithTheKeyPressedUntilItCloses) {
    ASSERT_TRUE(ClickKey(kButtonA));
    EXPECT_EQ(Model().editedKey(), kSlotA);
    EXPECT_EQ(Model().buttonId(), kButtonA);
    EXPECT_FALSE(Model().macroOnly());
    EXPECT_EQ(Model().shownPage(), DialogPage::SingleKey);
    EXPECT_TRUE(f.window->EditorOpen()) << "scene switches are refused while it is open";
    EXPECT_TRUE(f.window->button(kButtonA)->isDown());
    EXPECT_FALSE(f.window->button(kButtonB)->isDown());
    EXPECT_EQ(Dialog().parentWidget(), f.window.get());
    // Beside the key, never over it.
    CPngButton* a = f.window->button(kButtonA);
    EXPECT_FALSE(
        QRect(Dialog().placedAt(), Dialog().size()).intersects(QRect(a->mapToGlobal(QPoint()), a->size())));

    Type(Qt::Key_B);  // captured, then dropped by Cancel
    Click(kCtlCancel);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_FALSE(Model().isOpen());
    EXPECT_FALSE(f.window->EditorOpen());
    EXPECT_FALSE(f.window->button(kButtonA)->isDown()) << "the key has its normal pictures back";
    EXPECT_EQ(At(kSlotA), ConfigEntry{});
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_FALSE(f.window->history().CanUndo());

    // The same key opens it again, with nothing of the cancelled capture.
    ASSERT_TRUE(ClickKey(kButtonA));
    EXPECT_EQ(Model().capturedKey(), 0);
    Click(kCtlCancel);
}

TEST_F(KeyDialogWindow, HiddenToTheTrayTheWindowKeepsNothingOfTheClosedDialogAndMakesItAnewForTheNextKey) {
    const auto held = [&] { return SkinSurfaces::Instance().Holds(f.paths.skinsDir / "key_normal.jpg"); };
    ASSERT_TRUE(ClickKey(kButtonA));
    const QPointer<Vornak_DlgComposite> first = &Dialog();
    EXPECT_TRUE(held());
    Type(Qt::Key_B);
    Click(kCtlOk);
    ASSERT_FALSE(first->isVisible());
    const ConfigEntry written = At(kSlotA);
    EXPECT_EQ(written, (ConfigEntry{2, 0, 0x030, 0, 0}));

    f.window->hide();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProcessFor(20);
    EXPECT_TRUE(first.isNull()) << "the closed dialog went with the window";
    EXPECT_FALSE(held()) << "and its pictures with it";
    EXPECT_TRUE(f.window->history().CanUndo()) << "what it wrote stays";

    // Shown again, the next key click makes a new dialog on the same model.
    f.window->OnCommand(main_id::kCmdShow);
    ASSERT_TRUE(ClickKey(kButtonB));
    EXPECT_TRUE(held());
    EXPECT_EQ(Model().editedKey(), KeySlot(0x030));
    EXPECT_TRUE(f.window->button(kButtonB)->isDown());
    Type(Qt::Key_A);
    Click(kCtlOk);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(At(KeySlot(0x030)), (ConfigEntry{2, 0, 0x01E, 0, 0}));
    EXPECT_EQ(At(kSlotA), written);
    EXPECT_EQ(f.window->history().history().undoCount(), 2u);
}

TEST_F(KeyDialogWindow, GKeysStandForTheirSlotOnEachLayerAndG9AndTheMacroButtonAreMacroOnly) {
    const struct {
        int clicked;
        bool layerB;
        int slot;
        int pressed;
        bool macroOnly;
    } cases[] = {
        {kButtonG1, false, 256, kButtonG1, false},      {kButtonG5, false, 260, kButtonG5, false},
        {kButtonG1, true, 265, kButtonG1, false},       {kButtonG5, true, 269, kButtonG5, false},
        {kButtonG9, false, 264, kButtonG9, true},       {kButtonG9, true, 273, kButtonG9, true},
        {main_id::kMacro, false, 264, kButtonG9, true}, {main_id::kMacro, true, 273, kButtonG9, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "button " << c.clicked << (c.layerB ? " on layer B" : " on layer A"));
        f.window->OnLedChanged(c.layerB);
        ASSERT_TRUE(ClickKey(c.clicked));
        EXPECT_EQ(Model().editedKey(), c.slot);
        EXPECT_EQ(Model().macroOnly(), c.macroOnly);
        EXPECT_TRUE(f.window->button(c.pressed)->isDown());
        if (c.macroOnly) {
            EXPECT_EQ(Model().shownPage(), DialogPage::Macro);
            EXPECT_FALSE(Dialog().button(kCtlSingleKeyPage)->isEnabled());
            EXPECT_FALSE(Dialog().button(kCtlClear)->isEnabled());
        }
        Click(kCtlCancel);
        EXPECT_FALSE(f.window->button(c.pressed)->isDown());
        EXPECT_FALSE(f.window->button(c.clicked)->isDown());
    }
    EXPECT_EQ(f.window->button(main_id::kMacro)->toolTipText(),
              QString::fromStdU16String(f.texts[TextId::MAIN_MACRO_PROMPT]));
}

TEST_F(KeyDialogWindow, OkIsOneEditOfTheWindowThatEnablesApplyAndIsUndoneByCtrlZ) {
    const QString before = f.window->button(kButtonA)->toolTipText();
    ASSERT_TRUE(ClickKey(kButtonA));
    Type(Qt::Key_B);
    EXPECT_EQ(Dialog().capturedKeyBox()->text(), QStringLiteral("B"));
    EXPECT_FALSE(ApplyEnabled()) << "nothing is written before OK or Apply";
    Click(kCtlOk);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(At(kSlotA), (ConfigEntry{2, 0, 0x030, 0, 0}));
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_TRUE(f.window->button(kButtonA)->selected());
    EXPECT_NE(f.window->button(kButtonA)->toolTipText(), before);
    EXPECT_EQ(f.window->history().history().undoCount(), 1u);
    EXPECT_EQ(f.window->history().UndoText(), u"Undo: A \u2192 Key (B)");

    f.window->activateWindow();
    ASSERT_TRUE(ProcessUntil([&] { return QApplication::activeWindow() == f.window.get(); }));
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(At(kSlotA), ConfigEntry{});
    EXPECT_EQ(f.window->button(kButtonA)->toolTipText(), before);
}

TEST_F(KeyDialogWindow, ApplyInTheDialogWritesAndAMediaRowThenOkIsASecondStep) {
    ASSERT_TRUE(ClickKey(kButtonB));
    Type(Qt::Key_C);
    Click(kCtlApply);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(At(0x030), (ConfigEntry{2, 0, 0x02E, 0, 0}));
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_FALSE(Dialog().button(kCtlApply)->isEnabled());
    Click(kCtlMediaPage);
    Dialog().mediaList()->setCurrentIndex(3);
    emit Dialog().mediaList()->activated(3);  // as a choice in the list does
    Click(kCtlOk);
    EXPECT_EQ(At(0x030), (ConfigEntry{7, 0, 3, 0, 0}));
    EXPECT_EQ(f.window->history().history().undoCount(), 2u);
}

TEST_F(KeyDialogWindow, AnOkWhileAJobRunsIsRefusedAndTheDialogStaysOpenWithItsChoice) {
    ASSERT_TRUE(ClickKey(kButtonA));
    Type(Qt::Key_B);
    const auto release = HoldWorker();
    // The dialog says why, in a message box of its own: answered here.
    QString said;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    answer.start(20);
    Click(kCtlOk);
    ASSERT_TRUE(ProcessUntil([&] { return !said.isEmpty(); }, 3000));
    EXPECT_EQ(said, QString::fromStdU16String(f.texts[TextId::KEY_DIALOG_BUSY]));
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(Model().capturedKey(), 0x030);
    answer.stop();
    *release = true;
    ASSERT_TRUE(ProcessUntil([&] { return !f.worker->busy(); }));
    EXPECT_EQ(At(kSlotA), ConfigEntry{});
    EXPECT_FALSE(ApplyEnabled());

    Click(kCtlOk);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(At(kSlotA), (ConfigEntry{2, 0, 0x030, 0, 0}));
    EXPECT_TRUE(ApplyEnabled());
}

TEST_F(KeyDialogWindow, TheMacroButtonsOkGivesG9TheMacroItMade) {
    ASSERT_TRUE(ClickKey(main_id::kMacro));
    auto* page = Dialog().findChild<MacroPageView*>();
    ASSERT_NE(page, nullptr) << "the macro page is the editor's";
    QTest::mouseClick(static_cast<QAbstractButton*>(page->control(kCtlMacroAdd)), Qt::LeftButton);
    Click(kCtlOk);
    EXPECT_FALSE(Dialog().isVisible());
    const ConfigEntry g9 = At(GKeySlot(8, false));
    EXPECT_EQ(g9.kind, 4);
    std::lock_guard lock(f.stack.store().lockA());
    ASSERT_EQ(f.stack.store().edit().macros.size(), 1u);
    EXPECT_EQ(g9.value & 0xFFFF, f.stack.store().edit().macros[0].id);
}

TEST_F(KeyDialogWindow, TheKeyboardsRemovalClosesTheDialogAsByCancelAndEndsTheCapture) {
    ASSERT_TRUE(ClickKey(kButtonA));
    EXPECT_TRUE(Dialog().keyHook().installed());
    Type(Qt::Key_B);
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isVisible(); }));
    EXPECT_FALSE(Model().isOpen());
    EXPECT_FALSE(Dialog().keyHook().installed());
    EXPECT_FALSE(Dialog().keyHook().grabbing());
    EXPECT_FALSE(f.window->button(kButtonA)->isDown());
    EXPECT_EQ(At(kSlotA), ConfigEntry{});
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(KeyDialogWindow, AClickWaitingForAJobOpensNothingWhenTheKeyboardLeftMeanwhile) {
    const auto release = HoldWorker();
    QTest::mouseClick(f.window->button(kButtonA), Qt::LeftButton);
    EXPECT_TRUE(f.window->button(kButtonA)->isDown()) << "waiting";
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(ProcessUntil([&] { return f.stack.link().state().devicePresent.load() == 0; }));
    *release = true;
    ASSERT_TRUE(ProcessUntil([&] { return !f.worker->busy() && f.window->lastKeyClick().has_value(); }));
    ProcessFor(50);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_FALSE(Model().isOpen());
    EXPECT_FALSE(f.window->button(kButtonA)->isDown());

    // Back again, the same click opens it.
    f.sim->Raise(sim::SimEvent::Attach);
    ASSERT_TRUE(
        ProcessUntil([&] { return f.stack.link().state().devicePresent.load() == 1 && !f.worker->busy(); }));
    f.window->Open();
    ASSERT_TRUE(ClickKey(kButtonA));
    Click(kCtlCancel);
}

TEST_F(KeyDialogWindow, TheProgramsEndClosesTheDialogAsByCancel) {
    ASSERT_TRUE(ClickKey(kButtonA));
    Type(Qt::Key_B);
    ASSERT_TRUE(f.window->CloseProgram());
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_FALSE(Model().isOpen());
    EXPECT_FALSE(Dialog().keyHook().installed());
    EXPECT_EQ(At(kSlotA), ConfigEntry{});
}

}  // namespace
}  // namespace vornak::test
