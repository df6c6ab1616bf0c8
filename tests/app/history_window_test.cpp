// The undo history on the main window offscreen: Ctrl+Z and Ctrl+Y, the menu entries, the drag of one key
// button onto another, and a fresh load.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QTest>

#include "assign/view/vornak_dlg_composite.h"
#include "keyboard/key_buttons.h"
#include "tests/app/window_fixture.h"
#include "tests/support/shots.h"

namespace vornak::test {
namespace {

constexpr int kButtonA = 1058, kButtonB = 1075, kButtonEsc = 1022;
constexpr int kSlotA = 0x1E, kSlotB = 0x30;
const int kButtonG9 = kGKeyControlIds[8];

// A press on one button, moves to another's centre and the release there, as the mouse delivers them: every
// event goes to the pressed button (it holds the mouse), with the pointer's own position.
void Drag(CVornakDlg& window, int fromId, int toId, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    CPngButton* from = window.button(fromId);
    const QPoint start = from->rect().center();
    const QPoint end =
        from->mapFromGlobal(window.button(toId)->mapToGlobal(window.button(toId)->rect().center()));
    const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons held) {
        QMouseEvent e(type, local, from->mapToGlobal(local), Qt::LeftButton, held, mods);
        QApplication::sendEvent(from, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i)
        send(QEvent::MouseMove, start + (end - start) * i / steps, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, end, Qt::NoButton);
}

void SaveShot(QWidget& w, const char* name) {
    test::SaveShot(w, QStringLiteral("history_%1.png").arg(QString::fromLatin1(name)));
}

class HistoryWindow : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(f.Ready()); }
    ConfigEntry At(int slot) {
        std::lock_guard lock(f.stack.store().lockA());
        return f.stack.store().edit().image.entry(f.window->model().selectedProfile(), slot);
    }
    QString ToolTip(int id) { return f.window->button(id)->toolTipText(); }
    // The key dialog opened by a click on the key, the choice made in it, and its OK.
    void KeyDialogOk(int buttonId, const std::function<void(Vornak_DlgComposite&)>& choose) {
        Vornak_DlgComposite& dialog = *f.window->keyDialog();
        f.window->OnCommand(buttonId);
        ASSERT_TRUE(ProcessUntil([&] { return dialog.isVisible(); }));
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        choose(dialog);
        QTest::mouseClick(dialog.button(kCtlOk), Qt::LeftButton);
        ASSERT_FALSE(dialog.isVisible());
        f.window->activateWindow();  // the shortcuts are the active window's
        ASSERT_TRUE(ProcessUntil([&] { return QApplication::activeWindow() == f.window.get(); }));
    }
    void KeyDialogOk(int buttonId, Qt::Key typed) {
        KeyDialogOk(buttonId, [typed](Vornak_DlgComposite& d) { QTest::keyClick(d.windowHandle(), typed); });
    }
    void Apply() {
        QTest::mouseClick(f.window->button(main_id::kApply), Qt::LeftButton);
        ASSERT_TRUE(ProcessUntil(
            [&] { return !f.worker->busy() && !f.window->button(main_id::kApply)->isEnabled(); }));
    }
    std::vector<QString> MenuTexts() {
        QMenu menu;
        f.window->FillMainMenu(menu);
        std::vector<QString> texts;
        for (QAction* a : menu.actions())
            texts.push_back(a->isEnabled() ? a->text() : QStringLiteral("(off) ") + a->text());
        return texts;
    }

    WindowFixture f;
};

TEST_F(HistoryWindow, CtrlZAfterAKeyDialogOkPutsTheOldDescriptionBackAndApplyFollows) {
    const QString original = ToolTip(kButtonA);
    KeyDialogOk(kButtonA, Qt::Key_B);
    const QString remapped = ToolTip(kButtonA);
    ASSERT_NE(remapped, original);
    Apply();
    EXPECT_EQ(MenuTexts()[0], QStringLiteral("Undo: A \u2192 Key (B)\tCtrl+Z"));
    EXPECT_EQ(MenuTexts()[1], QStringLiteral("(off) Redo\tCtrl+Y"));
    {
        QMenu menu(f.window.get());
        f.window->FillMainMenu(menu);
        menu.popup(f.window->mapToGlobal(QPoint(900, 40)));
        ProcessUntil([&] { return menu.isVisible(); });
        SaveShot(menu, "main_menu_undo");
        menu.close();
    }

    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ToolTip(kButtonA), original);
    EXPECT_FALSE(f.window->button(kButtonA)->selected());
    EXPECT_TRUE(f.window->button(main_id::kApply)->isEnabled()) << "the keyboard still holds the remap";
    EXPECT_EQ(MenuTexts()[1], QStringLiteral("Redo: A \u2192 Key (B)\tCtrl+Y"));
    SaveShot(*f.window, "after_undo");

    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ToolTip(kButtonA), remapped);
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(f.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ToolTip(kButtonA), remapped);
}

TEST_F(HistoryWindow, ADragSwapsTwoKeysAndOneCtrlZSwapsThemBack) {
    KeyDialogOk(kButtonA, Qt::Key_Q);
    KeyDialogOk(kButtonB, [](Vornak_DlgComposite& d) {
        QTest::mouseClick(d.button(kCtlFunctionPage), Qt::LeftButton);
        d.functionList()->setCurrentIndex(4);
        emit d.functionList()->activated(4);  // as a choice in the list does
    });
    const QString a = ToolTip(kButtonA), b = ToolTip(kButtonB);
    const size_t steps = f.window->history().history().undoCount();

    Drag(*f.window, kButtonA, kButtonB);
    ASSERT_TRUE(ProcessUntil([&] { return At(kSlotA).kind == 8; }));
    EXPECT_EQ(At(kSlotB), (ConfigEntry{2, 0, 0x010, 0, 0}));
    EXPECT_EQ(f.window->history().history().undoCount(), steps + 1);
    EXPECT_EQ(f.window->lastKeyClick()->slot, kSlotB) << "the drop opened no dialog";
    EXPECT_FALSE(f.window->keyDialog()->isVisible());
    EXPECT_FALSE(f.window->button(kButtonA)->isDown());
    EXPECT_EQ(MenuTexts()[0], QStringLiteral("Undo: Swap A \u2194 B\tCtrl+Z"));
    SaveShot(*f.window, "after_swap");

    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(At(kSlotA), (ConfigEntry{2, 0, 0x010, 0, 0}));
    EXPECT_EQ(At(kSlotB).kind, 8);
    EXPECT_EQ(ToolTip(kButtonA), a);
    EXPECT_EQ(ToolTip(kButtonB), b);

    // With Ctrl: a copy; Esc keeps its own entry meanwhile.
    Drag(*f.window, kButtonB, kButtonEsc, Qt::ControlModifier);
    ASSERT_TRUE(ProcessUntil([&] { return At(0x01).kind == 8; }));
    EXPECT_EQ(At(kSlotB).kind, 8);
}

TEST_F(HistoryWindow, AShortMoveStaysAClick) {
    CPngButton* a = f.window->button(kButtonA);
    QTest::mousePress(a, Qt::LeftButton, Qt::NoModifier, a->rect().center());
    QMouseEvent move(QEvent::MouseMove, a->rect().center() + QPoint(1, 1),
                     a->mapToGlobal(a->rect().center() + QPoint(1, 1)), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(a, &move);
    QTest::mouseRelease(a, Qt::LeftButton, Qt::NoModifier, a->rect().center() + QPoint(1, 1));
    ASSERT_TRUE(ProcessUntil([&] { return f.window->lastKeyClick().has_value(); }));
    EXPECT_EQ(f.window->lastKeyClick()->slot, kSlotA);
    EXPECT_FALSE(f.window->history().CanUndo());
}

TEST_F(HistoryWindow, ADragOfAKeyAssignmentOntoG9IsRefused) {
    KeyDialogOk(kButtonA, Qt::Key_B);
    const size_t steps = f.window->history().history().undoCount();
    Drag(*f.window, kButtonA, kButtonG9);
    ASSERT_TRUE(ProcessUntil([&] { return !f.dialogs.messages.empty(); }));
    EXPECT_EQ(f.dialogs.messages.back(), f.texts[TextId::HISTORY_G9_REFUSED]);
    EXPECT_EQ(At(GKeySlot(8, false)).kind, 0);
    EXPECT_EQ(At(kSlotA).kind, 2);
    EXPECT_EQ(f.window->history().history().undoCount(), steps);
}

TEST_F(HistoryWindow, NothingHappensWhileADialogIsOpenOrAJobRuns) {
    KeyDialogOk(kButtonA, Qt::Key_B);
    const QString remapped = ToolTip(kButtonA);
    {
        QDialog dialog(f.window.get());
        dialog.open();
        ASSERT_TRUE(ProcessUntil([&] { return QApplication::activeModalWidget() == &dialog; }));
        f.window->OnUndo();
        EXPECT_EQ(ToolTip(kButtonA), remapped);
        EXPECT_TRUE(MenuTexts()[0].startsWith(QStringLiteral("(off) Undo: A")));
        dialog.close();
    }
    f.window->activateWindow();  // the shortcuts are the active window's
    ASSERT_TRUE(ProcessUntil([&] { return QApplication::activeWindow() == f.window.get(); }));
    std::atomic<bool> release{false};
    f.worker->Post("slow", [&](DeviceContext&) {
        while (!release.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ToolTip(kButtonA), remapped);
    release = true;
    ASSERT_TRUE(ProcessUntil([&] { return !f.worker->busy(); }));
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(ToolTip(kButtonA), remapped);
}

TEST_F(HistoryWindow, TheReloadAtAttachClearsTheHistory) {
    KeyDialogOk(kButtonA, Qt::Key_B);
    ASSERT_TRUE(f.window->history().CanUndo());
    f.sim->Raise(sim::SimEvent::Detach);
    ASSERT_TRUE(ProcessUntil([&] { return f.stack.link().state().devicePresent.load() == 0; }));
    f.sim->Raise(sim::SimEvent::Attach);
    ASSERT_TRUE(ProcessUntil([&] { return !f.window->history().CanUndo() && !f.worker->busy(); }));
    EXPECT_EQ(MenuTexts()[0], QStringLiteral("(off) Undo\tCtrl+Z"));
}

}  // namespace
}  // namespace vornak::test
