// The key assignment dialog in the main window: made once, opened by the key click road, its OK and Apply
// written through the window's edit entry point.
#include <QDesktopServices>
#include <QUrl>

#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "assign/view/vornak_dlg_composite.h"
#include "device/port_hub_link.h"
#include "keyboard/key_buttons.h"
#include "macro/view/macro_page_view.h"
#include "platform/paths.h"

namespace vornak {

void CVornakDlg::CreateKeyDialog() {
    PortHubLink& link = s_.link;
    MacroPageSettings settings;
    settings.profile = &parts_.appProfile();
    settings.capacity = [&link] { return link.state().macroCapacity.load(); };
    keyDialog_ = new Vornak_DlgComposite(
        parts_.keyDialog(), s_.texts,
        CompositeDialogFiles{s_.paths.compositeIni, s_.paths.skinsDir, s_.paths.helpIndex}, this,
        MacroEditorPageFactory(parts_.macroEditor(), settings));
    // F1 opens the help page at the dialog's own section.
    keyDialog_->SetHelpOpener([help = s_.paths.helpIndex] {
        QUrl url = QUrl::fromLocalFile(QString::fromStdString(help.string()));
        url.setFragment(QStringLiteral("key-dialog"));
        QDesktopServices::openUrl(url);
    });
    connect(keyDialog_, &Vornak_DlgComposite::keyDialogClosed, this, &CVornakDlg::KeyDialogClosed);
    // A button that loses the focus lets go of its pressed look, and the dialog takes the focus as it opens:
    // the key buttons never take it, so the key stays pressed while its dialog is open.
    for (const KeyButton& k : kKeyButtons)
        button(k.controlId)->setFocusPolicy(Qt::NoFocus);
    for (const uint16_t id : kGKeyControlIds)
        button(id)->setFocusPolicy(Qt::NoFocus);
}

void CVornakDlg::OpenKeyDialog(const KeyClickTarget& target) {
    lastKeyClick_ = target;
    // A click that waited for a job may find the keyboard gone: its dialog would edit a configuration that
    // the next attach replaces.
    if (closing_ || parts_.keyDialog().isOpen() || s_.link.state().devicePresent.load() == 0) return;
    history_.SetDialogSlot(target.slot);  // its OK and Apply are steps named after this key
    CPngButton* b = button(target.controlId);
    const QRect onScreen = b != nullptr ? QRect(b->mapToGlobal(QPoint(0, 0)), b->size()) : geometry();
    if (!keyDialog_->OpenFor(target.controlId, model_.layerB(), onScreen)) {
        history_.SetDialogSlot(-1);
        return;
    }
    if (b != nullptr) b->setDown(true);  // pressed while its dialog is open
}

void CVornakDlg::KeyDialogClosed(uint16_t buttonId) {
    if (CPngButton* b = button(buttonId)) b->setDown(false);
    // Later edits (a drag, Restore defaults) are named for themselves, not for this key.
    history_.SetDialogSlot(-1);
}

}  // namespace vornak
