#include "profile/view/vornak_dlg_update.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>

#include "skin/placement.h"
#include "skin/qt_text.h"
#include "skin/skin_surfaces.h"
#include "skin/style_sheet.h"

namespace vornak {

namespace {

constexpr SkinnedButtonRow kButtons[] = {
    {update_id::kCancelUpdate, u"CONTROL_CUPButton", TextId::UPDATE_CANCEL},
    {update_id::kUpdate, u"CONTROL_UPButton", TextId::UPDATE_START},
    {update_id::kOpen, u"CONTROL_OPENButton", TextId::UPDATE_OPEN},
    {update_id::kBackup, u"CONTROL_BACKUPButton", TextId::UPDATE_BACKUP},
};

}  // namespace

CVornak_DlgUpdate::CVornak_DlgUpdate(FirmwareUpdate& model, const LanguageTexts& texts,
                                     UpdateDialogFiles files, QWidget* parent)
    : CBaseDialog(kTemplateId, parent, files.updateIni, files.skinsDir),
      model_(model),
      texts_(texts),
      files_(std::move(files)) {
    ShapeByAlphaWhereNeeded();
    CreateControls();
}

void CVornak_DlgUpdate::CreateControls() {
    buttons_.emplace(*this, kButtons, [this](int id) { OnControl(id); });
    path_ = new QLabel(this);
    path_->setStyleSheet(SkinStyleSheet("color: @listText; background: transparent; padding-left: 10px;"));
    path_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    path_->setFont(font);
    // Placed by the skin, never shown or filled.
    combo_ = new QComboBox(this);
    combo_->hide();
}

CPngButton* CVornak_DlgUpdate::button(int id) const {
    return buttons_->button(id);
}

void CVornak_DlgUpdate::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    PlaceControls();
    buttons_->SetCaptions([this](TextId caption) { return ToQt(texts_[caption]); });
}

void CVornak_DlgUpdate::PlaceControls() {
    const QPixmap normal = SkinSurfaces::Instance().Get(files_.skinsDir / "update_normal.jpg", size()).pixmap;
    const QPixmap over = SkinSurfaces::Instance().Get(files_.skinsDir / "update_over.jpg", size()).pixmap;
    buttons_->Place(layout(), {normal, over, over, over, over});
    PlaceControl(*path_, layout(), kButtonInfoSection, u"CONTROL_UPStatic");
    PlaceControl(*combo_, layout(), kButtonInfoSection, u"CONTROL_UPCombox");
}

void CVornak_DlgUpdate::OpenDialog() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    model_.DialogOpened();
    InitDialog();
    Render();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void CVornak_DlgUpdate::Render() {
    // A long path keeps its beginning and its file name; the whole of it is the tooltip.
    const QString full = QString::fromStdString(model_.updaterPath().string());
    path_->setText(path_->fontMetrics().elidedText(full, Qt::ElideMiddle, std::max(0, path_->width() - 16)));
    path_->setToolTip(full);
    for (const auto& [id, b] : buttons_->byId()) {
        b->setEnabled(PlacedBySkin(*b) && !model_.busy());
    }
    update();
}

void CVornak_DlgUpdate::OnControl(int id) {
    switch (id) {
        case update_id::kOpen:
            model_.Open();
            break;
        case update_id::kUpdate:
            model_.Update([this](bool started) {
                Render();
                if (started) reject();
            });
            break;
        case update_id::kCancelUpdate:
            model_.CancelUpdate();
            reject();
            break;
        case update_id::kBackup:
            model_.Backup([this](bool) { Render(); });
            break;
        default:
            break;
    }
    Render();
}

}  // namespace vornak
