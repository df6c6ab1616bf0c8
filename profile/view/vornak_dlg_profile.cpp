#include "profile/view/vornak_dlg_profile.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QUrl>

#include "profile/profile_files.h"
#include "skin/placement.h"
#include "skin/qt_text.h"
#include "skin/skin_surfaces.h"
#include "skin/style_sheet.h"

namespace vornak {

namespace {

constexpr SkinnedButtonRow kButtons[] = {
    {profile_id::kOk, u"CONTROL_OK", TextId::PROFILE_OK},
    {profile_id::kCancel, u"CONTROL_CANCEL", TextId::PROFILE_CANCLE},
    {profile_id::kAdd, u"FUNC_ADD", TextId::SCENE_ADD},
    {profile_id::kLoad, u"FUNC_LOAD", TextId::SCENE_LOAD},
    {profile_id::kDelete, u"FUNC_DELETE", TextId::SCENE_DELETE},
    {profile_id::kApply, u"CONTROL2_APPLY", TextId::PROFILE_APPLY},
};

constexpr int kColumnWidths[] = {60, 120, 230};

const char* const kListStyle = VORNAK_SKIN_LIST_STYLE
    // The check boxes as the skin's switches: an outlined box, filled with the accent when checked.
    "QTreeView::indicator { width: 12px; height: 12px; border: 1px solid @checkBorder; border-radius: 3px;"
    " background: @field; }"
    "QTreeView::indicator:hover { border-color: @accent; }"
    "QTreeView::indicator:checked { background: @accent; border-color: @accent; }";

}  // namespace

CVornak_DlgProfile::CVornak_DlgProfile(SceneDialogModel& model, SceneSwitcher& switcher,
                                       const LanguageTexts& texts, Prompts& prompts, ProfileDialogFiles files,
                                       QWidget* parent)
    : CBaseDialog(kTemplateId, parent, files.profileIni, files.skinsDir),
      model_(model),
      switcher_(switcher),
      texts_(texts),
      prompts_(prompts),
      files_(std::move(files)) {
    ShapeByAlphaWhereNeeded();
    CreateControls();
    ConnectControls();
    openHelp_ = [help = files_.helpIndex] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(help.string())));
    };
}

void CVornak_DlgProfile::CreateControls() {
    buttons_.emplace(*this, kButtons, [this](int id) { OnControl(id); });
    list_ = new ReportList(this);
    list_->setStyleSheet(SkinStyleSheet(kListStyle));
    list_->setAlternatingRowColors(true);
    list_->setRootIsDecorated(false);
    list_->header()->setSectionsClickable(false);
    list_->setSortingEnabled(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void CVornak_DlgProfile::ConnectControls() {
    connect(list_, &QTreeWidget::itemChanged, this, &CVornak_DlgProfile::OnCheckChanged);
}

CPngButton* CVornak_DlgProfile::button(int id) const {
    return buttons_->button(id);
}

void CVornak_DlgProfile::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    PlaceControls();
    ApplyTexts();
}

void CVornak_DlgProfile::PlaceControls() {
    auto picture = [this](const char* name) {
        return SkinSurfaces::Instance().Get(files_.skinsDir / name, size()).pixmap;
    };
    const QPixmap normal = picture("Profile_normal.jpg");
    const QPixmap over = picture("Profile_over.jpg");
    const QPixmap down = picture("Profile_down.jpg");  // also the disabled look
    buttons_->Place(layout(), {normal, over, down, down, normal});
    PlaceControl(*list_, layout(), kButtonInfoSection, u"PROGRAM_LIST");
}

void CVornak_DlgProfile::ApplyTexts() {
    buttons_->SetCaptions([this](TextId caption) { return ToQt(TextNow(texts_, caption)); });
    list_->SetColumns({ToQt(texts_[TextId::SCENE_COLUMN_ACTIVE]), ToQt(texts_[TextId::SCENE_COLUMN_NAME]),
                       ToQt(texts_[TextId::SCENE_COLUMN_PATH])},
                      {kColumnWidths[0], kColumnWidths[1], kColumnWidths[2]});
}

void CVornak_DlgProfile::OpenDialog(int currentProfile) {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    model_.Open(WorkingProfileFileIn(files_.userFolder), currentProfile);
    InitDialog();
    Render();
    list_->SelectRow(-1);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void CVornak_DlgProfile::CloseAsCancel() {
    if (isVisible() || model_.isOpen()) reject();
}

void CVornak_DlgProfile::Render() {
    rendering_ = true;
    const auto& rows = model_.rows();
    const int selected = list_->selectedRow();
    list_->SetRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        list_->SetCell(r, 1, ToQt(rows[static_cast<size_t>(r)].name));
        list_->SetCell(r, 2, ToQt(rows[static_cast<size_t>(r)].folder));
        QTreeWidgetItem* item = list_->topLevelItem(r);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, r == model_.checkedRow() ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(2, ToQt(rows[static_cast<size_t>(r)].folder));
    }
    if (selected >= 0 && selected < list_->rowCount()) list_->SelectRow(selected);
    if (CPngButton* apply = button(profile_id::kApply)) {
        apply->setEnabled(PlacedBySkin(*apply) && model_.applyEnabled());
    }
    rendering_ = false;
}

void CVornak_DlgProfile::OnCheckChanged(QTreeWidgetItem* item, int column) {
    if (rendering_ || column != 0) return;
    const int row = list_->indexOfTopLevelItem(item);
    model_.SetChecked(row, item->checkState(0) == Qt::Checked);
    Render();
}

void CVornak_DlgProfile::OnControl(int id) {
    switch (id) {
        case profile_id::kAdd:
            OnAdd();
            break;
        case profile_id::kLoad:
            OnLoad();
            break;
        case profile_id::kDelete:
            OnDelete();
            break;
        case profile_id::kApply:
            OnApply();
            break;
        case profile_id::kOk:
            OnApply();
            accept();
            break;
        case profile_id::kCancel:
            reject();
            break;
        default:
            break;
    }
}

void CVornak_DlgProfile::OnAdd() {
    const auto file = prompts_.ChooseFile(model_.AddChoice(files_.userFolder));
    if (file && model_.Add(*file)) {
        Render();
        list_->SelectRow(list_->rowCount() - 1);
    }
}

void CVornak_DlgProfile::OnLoad() {
    const auto file = prompts_.ChooseFile(model_.LoadChoice(files_.userFolder));
    if (!file) return;
    model_.Load(*file);
    Render();
    list_->SelectRow(list_->rowCount() - 1);
}

void CVornak_DlgProfile::OnDelete() {
    const int next = model_.Delete(list_->selectedRow());
    Render();
    list_->SelectRow(next);
}

void CVornak_DlgProfile::OnApply() {
    switcher_.ApplySceneDialog();
    Render();
}

void CVornak_DlgProfile::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (openHelp_) openHelp_();
        event->accept();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

void CVornak_DlgProfile::done(int result) {
    if (model_.isOpen()) model_.Close();
    CBaseDialog::done(result);
}

}  // namespace vornak
