// The key assignment dialog in the main window: made when first opened, opened by the key click road; its OK
// and Apply reach the edit copy through the parts' key dialog host.
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

Vornak_DlgComposite* CVornakDlg::keyDialog() {
    if (keyDialog_ != nullptr) return keyDialog_;
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
    SubDialogMade(keyDialog_);
    return keyDialog_;
}

void CVornakDlg::OpenKeyDialog(const KeyClickTarget& target) {
    lastKeyClick_ = target;
    // A click that waited for a job may find the keyboard gone: its dialog would edit a configuration that
    // the next attach replaces.
    if (closing_ || parts_.keyDialog().isOpen() || s_.link.state().devicePresent.load() == 0) return;
    history_.SetDialogSlot(target.slot);  // its OK and Apply are steps named after this key
    CPngButton* b = button(target.controlId);
    const QRect onScreen = b != nullptr ? QRect(b->mapToGlobal(QPoint(0, 0)), b->size()) : geometry();
    if (!keyDialog()->OpenFor(target.controlId, model_.layerB(), onScreen)) {
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
