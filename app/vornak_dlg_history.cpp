// Undo and redo of the main window's edits, and the drag of one key button onto another.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "history/step_text.h"
#include "keyboard/key_buttons.h"

namespace vornak {

namespace {

const QKeySequence kUndoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QKeySequence kRedoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Y),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};

QMouseEvent* AsMouse(QEvent* event) {
    return static_cast<QMouseEvent*>(event);
}

}  // namespace

void CVornakDlg::CreateHistory() {
    undoAction_ = new QAction(this);
    undoAction_->setShortcuts(QList<QKeySequence>(std::begin(kUndoKeys), std::end(kUndoKeys)));
    undoAction_->setShortcutContext(Qt::WindowShortcut);
    connect(undoAction_, &QAction::triggered, this, &CVornakDlg::OnUndo);
    addAction(undoAction_);
    redoAction_ = new QAction(this);
    redoAction_->setShortcuts(QList<QKeySequence>(std::begin(kRedoKeys), std::end(kRedoKeys)));
    redoAction_->setShortcutContext(Qt::WindowShortcut);
    connect(redoAction_, &QAction::triggered, this, &CVornakDlg::OnRedo);
    addAction(redoAction_);
    for (const KeyButton& k : kKeyButtons)
        buttons_[k.controlId]->installEventFilter(this);
    for (const uint16_t id : kGKeyControlIds)
        buttons_[id]->installEventFilter(this);
}

bool CVornakDlg::HistoryAllowed() const {
    // A dialog (the key dialog, a message, About) is modal; a job may hold the edit copy.
    return !closing_ && !s_.worker.busy() && QApplication::activeModalWidget() == nullptr;
}

void CVornakDlg::OnUndo() {
    if (!HistoryAllowed() || !history_.Undo()) return;
    RefreshKeyButtons();
    RefreshApply();
}

void CVornakDlg::OnRedo() {
    if (!HistoryAllowed() || !history_.Redo()) return;
    RefreshKeyButtons();
    RefreshApply();
}

void CVornakDlg::AddHistoryEntries(QMenu& menu) {
    const bool allowed = HistoryAllowed();
    const auto entry = [&](const std::u16string& text, const QKeySequence& keys, bool enabled,
                           void (CVornakDlg::*run)()) {
        // The keys after a tab: the menu shows them in its shortcut column.
        QAction* a = menu.addAction(ToQt(text) + u'\t' + keys.toString(QKeySequence::NativeText), this, run);
        a->setEnabled(allowed && enabled);
    };
    entry(history_.UndoText(), kUndoKeys[0], history_.CanUndo(), &CVornakDlg::OnUndo);
    entry(history_.RedoText(), kRedoKeys[0], history_.CanRedo(), &CVornakDlg::OnRedo);
    menu.addSeparator();
}

int CVornakDlg::DragSlotOf(const QObject* button) const {
    for (const KeyButton& k : kKeyButtons) {
        if (buttons_.at(k.controlId) == button) return KeySlot(k.code);
    }
    for (const uint16_t id : kGKeyControlIds) {
        if (buttons_.at(id) == button) return model_.ClickTarget(id)->slot;
    }
    return -1;
}

int CVornakDlg::DragSlotAt(const QPoint& globalPos) const {
    for (QWidget* w = childAt(mapFromGlobal(globalPos)); w != nullptr && w != this; w = w->parentWidget()) {
        if (const int slot = DragSlotOf(w); slot >= 0) return slot;
    }
    return -1;
}

bool CVornakDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return CBaseDialog::eventFilter(watched, event);
    const int slot = DragSlotOf(watched);
    if (slot < 0) return CBaseDialog::eventFilter(watched, event);
    auto* button = static_cast<CPngButton*>(watched);
    QMouseEvent* e = AsMouse(event);
    const QPoint at = e->globalPosition().toPoint();
    const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
    switch (type) {
        case QEvent::MouseButtonPress:
            if (e->button() == Qt::LeftButton) {
                // While the lights are painted a drag paints: the lighting panel takes it.
                drag_.Press(slot, at.x(), at.y(), lighting_ && lighting_->KeyClicksPaint());
            }
            return false;
        case QEvent::MouseMove:
            if (!e->buttons().testFlag(Qt::LeftButton)) return false;
            if (!drag_.dragging() && !drag_.Move(at.x(), at.y(), QApplication::startDragDistance()))
                return false;
            button->setDown(false);  // a drag is no click: the release finds the button up
            if (QApplication::overrideCursor() == nullptr)
                QApplication::setOverrideCursor(Qt::DragMoveCursor);
            QApplication::changeOverrideCursor(ctrl ? Qt::DragCopyCursor : Qt::DragMoveCursor);
            return true;
        case QEvent::MouseButtonRelease: {
            if (e->button() != Qt::LeftButton) return false;
            const bool wasDrag = drag_.dragging();
            const int from = drag_.sourceSlot();
            const DropAction action = drag_.Release(wasDrag ? DragSlotAt(at) : -1, ctrl);
            if (!wasDrag) return false;  // a click
            while (QApplication::overrideCursor() != nullptr)
                QApplication::restoreOverrideCursor();
            button->setDown(false);
            if (action != DropAction::None) DropKey(from, DragSlotAt(at), action == DropAction::Copy);
            return false;  // the button, being up, lets the release go without a click
        }
        default:
            return false;
    }
}

void CVornakDlg::DropKey(int fromSlot, int toSlot, bool copy) {
    // An edit of the edit copy: it waits for a running job, as a key click does.
    s_.worker.WhenIdle("drop", [this, fromSlot, toSlot, copy] {
        if (closing_) return;
        const AssignRefusal refusal =
            copy ? history_.Copy(fromSlot, toSlot) : history_.Swap(fromSlot, toSlot);
        RefreshKeyButtons();
        RefreshApply();
        if (const std::u16string why = MoveRefusalText(refusal, s_.texts); !why.empty()) prompts_.Inform(why);
    });
}

}  // namespace vornak
