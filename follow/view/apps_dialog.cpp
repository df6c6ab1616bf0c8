#include "follow/view/apps_dialog.h"

#include <QHeaderView>
#include <algorithm>

#include "platform/text_format.h"
#include "platform/utf.h"
#include "skin/placement.h"
#include "skin/qt_text.h"
#include "skin/skin_surfaces.h"
#include "skin/style_sheet.h"

namespace vornak {

namespace {

constexpr SkinnedButtonRow kButtons[] = {
    {apps_id::kClose, u"CONTROL_OK", TextId::APPS_CLOSE},
    {apps_id::kAdd, u"FUNC_ADD", TextId::APPS_ADD},
    {apps_id::kRemove, u"FUNC_REMOVE", TextId::APPS_REMOVE},
};

constexpr int kColumnWidths[] = {170, 170, 90};

const char* const kListStyle = VORNAK_SKIN_LIST_STYLE;
const char* const kFieldStyle =
    "QLineEdit, QComboBox { background: @field; color: @text; border: 1px solid @fieldBorder;"
    " border-radius: 5px; padding-left: 8px; }"
    "QLineEdit:focus, QComboBox:focus { border-color: @accent; }"
    "QLineEdit:disabled, QComboBox:disabled { color: @greyText; }"
    "QComboBox::drop-down { border: none; width: 22px; }"
    "QComboBox QAbstractItemView { background: @popup; color: @text; selection-background-color: @selection; "
    "}";
const char* const kCheckStyle =
    "QCheckBox::indicator { width: 12px; height: 12px; border: 1px solid @checkBorder; border-radius: 3px;"
    " background: @field; }"
    "QCheckBox::indicator:hover { border-color: @accent; }"
    "QCheckBox::indicator:checked { background: @accent; border-color: @accent; }";
const char* const kLabelStyle = "color: @label; background: transparent;";
const char* const kHeadingStyle = "color: @white; background: transparent;";
const char* const kNoteStyle = "color: @textDim; background: transparent;";
const char* const kRefusedStyle = "color: @warning; background: transparent;";

}  // namespace

CVornak_DlgApps::CVornak_DlgApps(const LanguageTexts& texts, AppsDialogFiles files,
                                 std::function<std::vector<std::u16string>()> seen, QWidget* parent)
    : CBaseDialog(kTemplateId, parent, files.appsIni, files.skinsDir),
      texts_(texts),
      files_(std::move(files)),
      seen_(std::move(seen)),
      editor_(files_.rulesFile) {
    ShapeByAlphaWhereNeeded();
    CreateControls();
}

void CVornak_DlgApps::CreateControls() {
    buttons_.emplace(*this, kButtons, [this](int id) { OnControl(id); });
    heading_ = new QLabel(this);
    QFont headingFont(QStringLiteral("Tahoma"));
    headingFont.setPointSizeF(11);
    headingFont.setBold(true);
    heading_->setFont(headingFont);
    heading_->setStyleSheet(SkinStyleSheet(kHeadingStyle));
    list_ = new ReportList(this);
    list_->setStyleSheet(SkinStyleSheet(kListStyle));
    list_->setAlternatingRowColors(true);
    list_->setRootIsDecorated(false);
    list_->header()->setSectionsClickable(false);
    list_->setSortingEnabled(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    app_ = new QComboBox(this);
    app_->setEditable(true);
    app_->setInsertPolicy(QComboBox::NoInsert);
    title_ = new QLineEdit(this);
    profile_ = new QComboBox(this);
    default_ = new QComboBox(this);
    for (QWidget* field : std::initializer_list<QWidget*>{app_, title_, profile_, default_})
        field->setStyleSheet(SkinStyleSheet(kFieldStyle));
    on_ = new QCheckBox(this);
    on_->setStyleSheet(SkinStyleSheet(kCheckStyle));
    defaultText_ = new QLabel(this);
    onText_ = new QLabel(this);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel* label : {defaultText_, onText_})
        label->setStyleSheet(SkinStyleSheet(kLabelStyle));
    for (QLabel* label : {heading_, defaultText_, onText_, note_})
        label->setAttribute(Qt::WA_TranslucentBackground);

    connect(title_, &QLineEdit::returnPressed, this, &CVornak_DlgApps::OnAdd);
    connect(default_, &QComboBox::activated, this, &CVornak_DlgApps::OnDefaultChosen);
    connect(on_, &QCheckBox::toggled, this, &CVornak_DlgApps::OnToggled);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CVornak_DlgApps::Render);
}

void CVornak_DlgApps::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    PlaceControls();
    ApplyTexts();
}

void CVornak_DlgApps::PlaceControls() {
    auto picture = [this](const char* name) {
        return SkinSurfaces::Instance().Get(files_.skinsDir / name, size()).pixmap;
    };
    const QPixmap normal = picture("apps_normal.jpg");
    const QPixmap over = picture("apps_over.jpg");
    const QPixmap down = picture("apps_down.jpg");  // also the disabled look
    buttons_->Place(layout(), {normal, over, down, down, normal});
    const std::pair<QWidget*, std::u16string_view> placed[] = {
        {heading_, u"APPS_HEADING"},   {list_, u"RULE_LIST"},       {app_, u"RULE_APP"},
        {title_, u"RULE_TITLE"},       {profile_, u"RULE_PROFILE"}, {defaultText_, u"DEFAULT_TEXT"},
        {default_, u"DEFAULT_SELECT"}, {on_, u"FOLLOW_ON"},         {onText_, u"FOLLOW_ON_TEXT"},
        {note_, u"GNOME_TEXT"},
    };
    for (const auto& [widget, key] : placed)
        PlaceControl(*widget, layout(), kButtonInfoSection, key);
}

void CVornak_DlgApps::ApplyTexts() {
    buttons_->SetCaptions([this](TextId caption) { return ToQt(TextNow(texts_, caption)); });
    heading_->setText(ToQt(texts_[TextId::APPS_TITLE]));
    list_->SetColumns({ToQt(texts_[TextId::APPS_COLUMN_APP]), ToQt(texts_[TextId::APPS_COLUMN_TITLE]),
                       ToQt(texts_[TextId::APPS_COLUMN_PROFILE])},
                      {kColumnWidths[0], kColumnWidths[1], kColumnWidths[2]});
    title_->setPlaceholderText(ToQt(texts_[TextId::APPS_TITLE_HINT]));
    app_->lineEdit()->setPlaceholderText(ToQt(texts_[TextId::APPS_COLUMN_APP]));
    profile_->clear();
    default_->clear();
    default_->addItem(ToQt(texts_[TextId::APPS_LEAVE]));
    for (int p = 1; p <= 3; ++p) {
        const QString name = ToQt(FormatText(texts_[TextId::APPS_PROFILE], {int64_t{p}}));
        profile_->addItem(name);
        default_->addItem(name);
    }
    defaultText_->setText(ToQt(texts_[TextId::APPS_DEFAULT]));
    onText_->setText(ToQt(texts_[TextId::APPS_ON]));
}

void CVornak_DlgApps::OpenDialog() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    InitDialog();
    editor_.Load();
    app_->setEditText({});
    title_->clear();
    Render();
    list_->SelectRow(-1);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void CVornak_DlgApps::Render() {
    if (rendering_) return;
    rendering_ = true;
    const FollowRules& rules = editor_.rules();
    const int selected = list_->selectedRow();
    list_->SetRowCount(static_cast<int>(rules.rules.size()));
    for (int r = 0; r < list_->rowCount(); ++r) {
        const FollowRule& rule = rules.rules[static_cast<size_t>(r)];
        list_->SetCell(r, 0, ToQt(rule.app));
        list_->SetCell(r, 1, ToQt(rule.title));
        list_->SetCell(r, 2, profile_->itemText(rule.profile));
    }
    if (selected >= 0 && selected < list_->rowCount()) list_->SelectRow(selected);

    const QString typed = app_->currentText();
    app_->clear();
    for (const auto& app : editor_.AddChoices(seen_ ? seen_() : std::vector<std::u16string>{}))
        app_->addItem(ToQt(app));
    app_->setEditText(typed);

    default_->setCurrentIndex(rules.defaultProfile ? *rules.defaultProfile + 1 : 0);
    on_->setChecked(!rules.turnedOff);
    const bool editable = editor_.editable();
    for (QWidget* w : std::initializer_list<QWidget*>{app_, title_, profile_, default_, on_})
        w->setEnabled(editable);
    if (CPngButton* add = button(apps_id::kAdd)) add->setEnabled(PlacedBySkin(*add) && editable);
    if (CPngButton* remove = button(apps_id::kRemove))
        remove->setEnabled(PlacedBySkin(*remove) && editable && list_->selectedRow() >= 0);
    ShowError();
    rendering_ = false;
}

void CVornak_DlgApps::ShowError() {
    if (editor_.lastError().empty()) {
        note_->setStyleSheet(SkinStyleSheet(kNoteStyle));
        note_->setText(ToQt(texts_[TextId::APPS_GNOME]));
        return;
    }
    note_->setStyleSheet(SkinStyleSheet(kRefusedStyle));
    const std::u16string error = Utf8ToUtf16(editor_.lastError());
    note_->setText(editor_.editable() ? ToQt(error)
                                      : ToQt(FormatText(texts_[TextId::APPS_REFUSED], {error})));
}

void CVornak_DlgApps::OnControl(int id) {
    switch (id) {
        case apps_id::kAdd:
            OnAdd();
            break;
        case apps_id::kRemove:
            OnRemove();
            break;
        case apps_id::kClose:
            accept();
            break;
        default:
            break;
    }
}

void CVornak_DlgApps::OnAdd() {
    const int row =
        editor_.Add(FromQt(app_->currentText()), FromQt(title_->text()), profile_->currentIndex());
    if (row < 0) {
        Render();
        app_->setFocus();
        return;
    }
    app_->setEditText({});
    title_->clear();
    Render();
    list_->SelectRow(row);
}

void CVornak_DlgApps::OnRemove() {
    const int row = list_->selectedRow();
    if (!editor_.Remove(row)) return Render();
    Render();
    list_->SelectRow(std::min(row, list_->rowCount() - 1));
}

void CVornak_DlgApps::OnDefaultChosen(int index) {
    if (rendering_) return;
    editor_.SetDefault(index <= 0 ? std::nullopt : std::optional<int>(index - 1));
    Render();
}

void CVornak_DlgApps::OnToggled(bool on) {
    if (rendering_) return;
    editor_.SetOn(on);
    Render();
}

}  // namespace vornak
