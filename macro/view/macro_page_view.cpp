#include "macro/view/macro_page_view.h"

#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "skin/palette.h"
#include "skin/qt_text.h"
#include "skin/style_sheet.h"

namespace vornak {

namespace {

QStringList ToList(const std::vector<std::u16string>& texts) {
    QStringList list;
    for (const auto& t : texts)
        list << ToQt(t);
    return list;
}

struct ButtonInfo {
    int id;
    const char16_t* key;
    std::optional<TextId> caption;
    int points;
};
const ButtonInfo kButtons[] = {
    {kCtlMacroAdd, u"FUNC_MACRO_ADD", std::nullopt, 9},
    {kCtlMacroDelete, u"FUNC_MACRO_DELETE", std::nullopt, 9},
    {kCtlMacroRecord, u"FUNC_MACRO_RECORD", TextId::A_RECORD, 9},
    {kCtlMacroDeleteAction, u"FUNC_MACRO_DELETE2", TextId::A_DELETE, 9},
    {kCtlMacroClearActions, u"FUNC_MACRO_CLEAR", TextId::A_CLEAR, 9},
    {kCtlMacroTop, u"FUNC_MACRO_UP_TOP", TextId::A_TOP, 9},
    {kCtlMacroUp, u"FUNC_MACRO_UP", TextId::A_UP, 9},
    {kCtlMacroDown, u"FUNC_MACRO_DOWN", TextId::A_DOWN, 8},
    {kCtlMacroBottom, u"FUNC_MACRO_DOWN_BOTTOM", TextId::A_BOTTOM, 8},
};

constexpr int kActionColumnWidths[] = {70, 60, 70};
constexpr int kKeyDropDownRows = 20;
constexpr int kActionDropDownRows = 6;

const char* const kFieldStyle =
    "QComboBox, QLineEdit { background: @field; color: @text; border: 1px solid @fieldBorder;"
    " border-radius: 5px; padding-left: 8px; }"
    "QComboBox:disabled, QLineEdit:disabled { color: @greyText; }"
    "QComboBox::drop-down { border: none; width: 22px; }";
const char* const kListStyle =
    "QTreeWidget { background: @field; color: @listText; border: 1px solid @fieldBorder; }"
    "QTreeWidget::item { height: 22px; }"
    "QTreeWidget::item:selected { background: @selection; }"
    "QHeaderView { background: @header; }"
    "QHeaderView::section { background: @header; color: @textDim; border: none;"
    " border-right: 1px solid @fieldBorder; padding: 4px 6px; }"
    "QLineEdit, QComboBox { background: @field; color: @white; border: 1px solid @accent; }";
const char* const kLabelStyle = "color: @label; background: transparent;";

}  // namespace

MacroPageFactory MacroEditorPageFactory(MacroEditor& editor, MacroPageSettings settings) {
    return [&editor, settings](const MacroPageContext& context) -> std::unique_ptr<MacroPageWidgets> {
        return std::make_unique<MacroPageView>(context, editor, settings);
    };
}

MacroPageView::MacroPageView(const MacroPageContext& context, MacroEditor& editor, MacroPageSettings settings)
    : QObject(&context.dialog),
      dialog_(context.dialog),
      editor_(editor),
      texts_(context.texts),
      settings_(std::move(settings)),
      edited_(context.edited) {
    guard_ = std::make_unique<RecordingGuard>(
        dialog_, context.keys,
        [this](const HookKeyEvent& event) {
            const bool swallowed = editor_.OnKeyEvent(event.vk, event.flags, event.time);
            flush_.start();
            return swallowed;
        },
        [this] { editor_.StopRecording(); });
    flush_.setSingleShot(true);
    flush_.setInterval(static_cast<int>(kReleaseHoldMs));
    connect(&flush_, &QTimer::timeout, this, [this] { editor_.FlushRecording(); });
    CreateControls();
    PlaceControls(context);
    SetCaptions();
    ConnectControls();
    editor_.SetObserver(this);
    Refresh();
    SetShown(false);
}

MacroPageView::~MacroPageView() {
    editor_.SetObserver(nullptr);
    guard_->End();
}

void MacroPageView::CreateControls() {
    list_ = new QComboBox(&dialog_);
    list_->setEditable(true);
    list_->setInsertPolicy(QComboBox::NoInsert);
    list_->setStyleSheet(SkinStyleSheet(kFieldStyle));
    actions_ = new ReportList(&dialog_);
    actions_->setStyleSheet(SkinStyleSheet(kListStyle));
    actions_->SetGreyColor(palette::kGreyText);
    cycles_ = new QLineEdit(&dialog_);
    cycles_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), cycles_));
    cycles_->setStyleSheet(SkinStyleSheet(kFieldStyle));
    recordDelay_ = new QCheckBox(&dialog_);
    nameLabel_ = new QLabel(&dialog_);
    cyclesLabel_ = new QLabel(&dialog_);
    recordDelayLabel_ = new QLabel(&dialog_);
    for (QLabel* label : {nameLabel_, cyclesLabel_, recordDelayLabel_}) {
        label->setStyleSheet(SkinStyleSheet(kLabelStyle));
        label->setAttribute(Qt::WA_TranslucentBackground);
    }
    meter_ = new LevelMeter(&dialog_);
    for (const ButtonInfo& info : kButtons)
        buttons_[static_cast<size_t>(info.id - kCtlMacroAdd)] = new CPngButton(&dialog_);
}

void MacroPageView::PlaceControls(const MacroPageContext& context) {
    const SkinLayout& layout = context.dialog.layout();
    ButtonSurfaces record = context.macroSet;
    record.selected = context.macroOther;
    for (const ButtonInfo& info : kButtons) {
        PlaceImageButton(*Button(info.id), layout, kButtonInfoSection, info.key,
                         info.id == kCtlMacroRecord ? record : context.macroSet);
    }
    PlaceControl(*list_, layout, kButtonInfoSection, u"FUNC_MACRO_LIST");
    PlaceControl(*actions_, layout, kButtonInfoSection, u"FUNC_MACRO_LIST2");
    PlaceControl(*cycles_, layout, kButtonInfoSection, u"FUNC_MACRO_CYCLES");
    PlaceControl(*cyclesLabel_, layout, kButtonInfoSection, u"FUNC_MACRO_CYCLES_PROMPT");
    PlaceControl(*recordDelay_, layout, kButtonInfoSection, u"FUNC_MACRO_RECORD_DELAY");
    PlaceControl(*recordDelayLabel_, layout, kButtonInfoSection, u"FUNC_MACRO_RECORD_DELAY2");
    PlaceControl(*nameLabel_, layout, kButtonInfoSection, u"MARCO_NAME_SETTING");
    PlaceControl(*meter_, layout, kButtonInfoSection, u"FUNC_MACRO_MEMORY");
}

void MacroPageView::SetCaptions() {
    for (const ButtonInfo& info : kButtons) {
        CPngButton* button = Button(info.id);
        if (!info.caption) continue;
        button->setText(ToQt(texts_[*info.caption]));
        button->SetTextStyle(true, info.points, QStringLiteral("Tahoma"), palette::kWhite);
    }
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPointSizeF(9);
    nameLabel_->setText(ToQt(texts_[TextId::MACRO_NAME_SETTING]));
    cyclesLabel_->setText(ToQt(texts_[TextId::MACRO_CYCLES]));
    recordDelayLabel_->setText(ToQt(texts_[TextId::RECORD_DELAY]));
    for (QLabel* label : {nameLabel_, cyclesLabel_, recordDelayLabel_})
        label->setFont(labelFont);
    meter_->SetCaption(ToQt(texts_[TextId::MACRO_MEMORY]));
    meter_->setFont(labelFont);
    QPalette palette = meter_->palette();
    palette.setColor(QPalette::WindowText, palette::kLabel);
    meter_->setPalette(palette);
    QList<int> widths(std::begin(kActionColumnWidths), std::end(kActionColumnWidths));
    actions_->SetColumns({ToQt(texts_[TextId::MACRO_KEYS_TISHI]), ToQt(texts_[TextId::MACRO_ACTION_TISHI]),
                          ToQt(texts_[TextId::MACRO_DELAY_MS])},
                         widths);
}

void MacroPageView::ConnectControls() {
    connect(list_, &QComboBox::activated, this, [this](int index) { editor_.Select(index); });
    connect(list_->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.TypeName(text.toStdU16String()); });
    connect(Button(kCtlMacroAdd), &QAbstractButton::clicked, this, [this] { editor_.Add(); });
    connect(Button(kCtlMacroDelete), &QAbstractButton::clicked, this, [this] { editor_.DeleteSelected(); });
    connect(Button(kCtlMacroRecord), &QAbstractButton::clicked, this, [this] { editor_.ToggleRecording(); });
    connect(Button(kCtlMacroDeleteAction), &QAbstractButton::clicked, this, [this] { editor_.DeleteRow(); });
    connect(Button(kCtlMacroClearActions), &QAbstractButton::clicked, this, [this] { editor_.ClearRows(); });
    connect(Button(kCtlMacroTop), &QAbstractButton::clicked, this, [this] { editor_.MoveRowToTop(); });
    connect(Button(kCtlMacroUp), &QAbstractButton::clicked, this, [this] { editor_.MoveRowUp(); });
    connect(Button(kCtlMacroDown), &QAbstractButton::clicked, this, [this] { editor_.MoveRowDown(); });
    connect(Button(kCtlMacroBottom), &QAbstractButton::clicked, this, [this] { editor_.MoveRowToBottom(); });
    connect(actions_, &ReportList::rowSelected, this, [this](int row) { editor_.SelectRow(row); });
    connect(actions_, &ReportList::cellClicked, this, [this](int row, int column, bool wasSelected) {
        if (wasSelected) OnCellClicked(row, column);
    });
    connect(actions_, &ReportList::choiceMade, this, &MacroPageView::OnChoiceMade);
    connect(actions_, &ReportList::numberCommitted, this,
            [this](int row, int, const QString& text) { editor_.CommitDelay(row, text.toStdU16String()); });
    connect(cycles_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.TypeRepeat(text.toStdU16String()); });
    connect(cycles_, &QLineEdit::editingFinished, this, [this] { editor_.FinishRepeat(); });
    connect(recordDelay_, &QCheckBox::toggled, this, &MacroPageView::OnRecordDelayToggled);
}

void MacroPageView::LoadRecordDelay() {
    const RecordDelayMode mode = settings_.profile != nullptr
                                     ? LoadRecordDelayMode(*settings_.profile, texts_)
                                     : RecordDelayMode::Fixed;
    editor_.SetDelayMode(mode);
    const QSignalBlocker block(recordDelay_);
    recordDelay_->setChecked(mode == RecordDelayMode::Measured);
}

void MacroPageView::OnRecordDelayToggled(bool on) {
    const RecordDelayMode mode = on ? RecordDelayMode::Measured : RecordDelayMode::Fixed;
    editor_.SetDelayMode(mode);
    if (settings_.profile != nullptr) SaveRecordDelayMode(*settings_.profile, texts_, mode);
}

void MacroPageView::SetShown(bool shown) {
    if (!shown) editor_.StopRecording();
    if (shown == visible_) return;
    visible_ = shown;
    for (QWidget* w : std::initializer_list<QWidget*>{list_, actions_, cycles_, recordDelay_, nameLabel_,
                                                      cyclesLabel_, recordDelayLabel_, meter_})
        w->setVisible(shown);
    for (CPngButton* b : buttons_) {
        if (b != nullptr) b->setVisible(shown);
    }
}

void MacroPageView::Refresh() {
    if (settingsReadAt_ != editor_.loads()) {
        settingsReadAt_ = editor_.loads();
        LoadRecordDelay();
    }
    if (settings_.capacity) editor_.SetMacroCapacity(settings_.capacity());
    MacroListChanged();
    RowsReset();
    RepeatTextChanged();
    RecordingChanged();
}

QWidget* MacroPageView::control(int id) const {
    switch (id) {
        case kCtlMacroList:
            return list_;
        case kCtlMacroActions:
            return actions_;
        case kCtlMacroCycles:
            return cycles_;
        case kCtlMacroRecordDelay:
            return recordDelay_;
        case kCtlMacroNameLabel:
            return nameLabel_;
        case kCtlMacroCyclesLabel:
            return cyclesLabel_;
        case kCtlMacroRecordDelayLabel:
            return recordDelayLabel_;
        default:
            return Button(id);
    }
}

CPngButton* MacroPageView::Button(int id) const {
    if (id < kCtlMacroAdd || id > kCtlMacroBottom) return nullptr;
    return buttons_[static_cast<size_t>(id - kCtlMacroAdd)];
}

// --- Rendering the model ---

void MacroPageView::MacroListChanged() {
    {
        const QSignalBlocker block(list_);
        const auto& macros = editor_.macros();
        while (list_->count() > static_cast<int>(macros.size()))
            list_->removeItem(list_->count() - 1);
        for (size_t i = 0; i < macros.size(); ++i) {
            const QString name = ToQt(macros[i].Name());
            if (static_cast<int>(i) < list_->count()) {
                list_->setItemText(static_cast<int>(i), name);
            } else {
                list_->addItem(name);
            }
        }
        list_->setCurrentIndex(editor_.selected());
        if (editor_.selected() < 0) list_->setEditText(QString());
    }
    UpdateEnabled();
    UpdateMeter();
}

void MacroPageView::MacroRenamed(int index) {
    const QSignalBlocker block(list_);
    QLineEdit* edit = list_->lineEdit();
    const int cursor = edit->cursorPosition();
    list_->setItemText(index, ToQt(editor_.macros()[static_cast<size_t>(index)].Name()));
    edit->setCursorPosition(cursor);
}

void MacroPageView::FillRow(int row) {
    const MacroActionRow& r = editor_.rows()[static_cast<size_t>(row)];
    for (int column = 0; column < 3; ++column)
        actions_->SetCell(row, column, ToQt(editor_.CellText(row, column)), r.grey && column < 2);
}

void MacroPageView::RowsReset() {
    const QSignalBlocker block(actions_);
    actions_->SetRowCount(static_cast<int>(editor_.rows().size()));
    for (int row = 0; row < actions_->rowCount(); ++row)
        FillRow(row);
    actions_->SelectRow(editor_.selectedRow());
    if (editor_.selectedRow() >= 0) actions_->setFocus(Qt::OtherFocusReason);
}

void MacroPageView::RowInserted(int row) {
    const QSignalBlocker block(actions_);
    actions_->InsertRow(row);
    FillRow(row);
    if (row > 0) FillRow(row - 1);
    actions_->SelectRow(editor_.selectedRow());
}

void MacroPageView::RowChanged(int row) {
    FillRow(row);
}

void MacroPageView::RepeatTextChanged() {
    const QString text = ToQt(editor_.repeatText());
    if (cycles_->text() != text) {
        const QSignalBlocker block(cycles_);
        cycles_->setText(text);
    }
}

void MacroPageView::RecordingChanged() {
    const bool on = editor_.recording();
    CPngButton* record = Button(kCtlMacroRecord);
    record->setText(ToQt(texts_[on ? TextId::MACRO_ACTION_STOP_RECORD : TextId::MACRO_ACTION_RECORD]));
    record->SetSelected(on);
    if (on) {
        guard_->Begin();
    } else {
        guard_->End();
    }
    UpdateEnabled();
}

void MacroPageView::Edited() {
    UpdateMeter();
    if (edited_) edited_();
}

void MacroPageView::FinishCellEdit() {
    actions_->CommitEditor();
}

void MacroPageView::UpdateEnabled() {
    const bool listOn = editor_.listEnabled();
    list_->setEnabled(listOn);
    Button(kCtlMacroAdd)->setEnabled(listOn);
    Button(kCtlMacroDelete)->setEnabled(listOn);
    for (int id = kCtlMacroRecord; id <= kCtlMacroBottom; ++id)
        Button(id)->setEnabled(editor_.rowButtonsEnabled());
}

void MacroPageView::UpdateMeter() {
    const MacroMemoryUse use = editor_.memoryUse();
    const MacroMemoryText text = DescribeMacroMemory(use, texts_);
    LevelMeter::Level level = LevelMeter::Level::Normal;
    if (use.fit == MacroMemoryFit::WithoutNames) level = LevelMeter::Level::Warning;
    if (use.fit == MacroMemoryFit::TooLarge) level = LevelMeter::Level::Over;
    meter_->SetValue(use.used(), use.capacity, level);
    meter_->SetTexts(ToQt(text.amount), ToQt(text.state));
}

// --- Cell editors ---

void MacroPageView::OnCellClicked(int row, int column) {
    editor_.OpenCellEditor();
    switch (column) {
        case 0:
            actions_->OpenDropDown(row, column, ToList(editor_.KeyChoices()), editor_.KeyChoice(row),
                                   kKeyDropDownRows);
            break;
        case 1:
            actions_->OpenDropDown(row, column, ToList(editor_.ActionChoices()), editor_.ActionChoice(row),
                                   kActionDropDownRows);
            break;
        case 2:
            actions_->OpenNumberEditor(row, column, ToQt(editor_.CellText(row, 2)));
            break;
        default:
            break;
    }
}

void MacroPageView::OnChoiceMade(int row, int column, int index) {
    if (column == 0) editor_.ChooseKey(row, index);
    if (column == 1) editor_.ChooseAction(row, index);
}

}  // namespace vornak
