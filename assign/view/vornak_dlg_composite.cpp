#include "assign/view/vornak_dlg_composite.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "assign/dialog_placement.h"
#include "assign/on_screen_keyboard.h"
#include "skin/palette.h"
#include "skin/placement.h"
#include "skin/qt_text.h"
#include "skin/skin_surfaces.h"
#include "skin/style_sheet.h"

namespace vornak {

namespace {

// Takes every click meant for the window under it while the key dialog is open inside that window.
class InputBlocker : public QWidget {
  public:
    explicit InputBlocker(QWidget* parent) : QWidget(parent) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
    void wheelEvent(QWheelEvent* event) override { event->accept(); }
};

struct ControlKey {
    uint16_t id;
    std::u16string_view key;
};

// The image buttons in stacking order: the page mask lies under everything else.
constexpr ControlKey kImageButtons[] = {
    {1033, u"CONTROL_MASK"},
    {1131, u"CONTROL_TITLE"},
    {kCtlOsk, u"CONTROL_OSK"},
    {kCtlClear, u"CONTROL_CLEAR"},
    {kCtlSingleKeyPage, u"CONTROL_KEY"},
    {kCtlMacroPage, u"CONTROL_MACRO"},
    {kCtlMediaPage, u"CONTROL_MEDIA"},
    {kCtlFunctionPage, u"CONTROL_FUNCTION"},
    {kCtlApply, u"CONTROL2_APPLY"},
    {kCtlOk, u"CONTROL_OK"},
    {kCtlCancel, u"CONTROL_CANCEL"},
};
constexpr uint16_t kCtlMask = 1033;
constexpr uint16_t kCtlTitle = 1131;

constexpr ControlKey kLabels[] = {
    {1199, u"KEY_SETTING"},
    {1201, u"TISHI_SINGLE_STATIC"},
    {1202, u"MEDIA_SETTING_TISHI"},
    {1203, u"FUNCTION_KEY_SETTING_TISHI"},
};
constexpr uint16_t kCtlKeyInput = 1127;
constexpr uint16_t kCtlMediaList = 1128;
constexpr uint16_t kCtlFunctionList = 1129;

constexpr uint16_t kPageButtons[] = {kCtlSingleKeyPage, kCtlMacroPage, kCtlMediaPage, kCtlFunctionPage};

void Reskin(CPngButton& button, const ButtonSurfaces& s) {
    button.SetSurfaces(s.normal, s.over, s.down, s.disabled, s.selected);
}

uint16_t PageButtonOf(DialogPage page) {
    switch (page) {
        case DialogPage::Macro:
            return kCtlMacroPage;
        case DialogPage::Media:
            return kCtlMediaPage;
        case DialogPage::Function:
            return kCtlFunctionPage;
        default:
            return kCtlSingleKeyPage;
    }
}

const char* const kFieldStyle =
    "QLineEdit, QComboBox { background: @field; color: @text; border: 1px solid @fieldBorder;"
    " border-radius: 5px; padding-left: 8px; }"
    "QLineEdit:focus, QComboBox:focus { border-color: @accent; }"
    "QComboBox::drop-down { border: none; width: 26px; }"
    "QComboBox QAbstractItemView { background: @popup; color: @text; selection-background-color: @selection; "
    "}";

}  // namespace

Vornak_DlgComposite::Vornak_DlgComposite(KeyDialogModel& model, const LanguageTexts& texts,
                                         CompositeDialogFiles files, QWidget* parent,
                                         MacroPageFactory macroPage)
    : CBaseDialog(kTemplateId, parent, files.compositeIni, files.skinsDir),
      model_(model),
      texts_(texts),
      files_(std::move(files)),
      macroPageFactory_(std::move(macroPage)),
      hook_(*this) {
    ShapeByAlphaWhereNeeded();
    CreateControls();
    ConnectControls();
    openHelp_ = [help = files_.helpIndex] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(help.string())));
    };
    const char* path = std::getenv("PATH");
    SetOnScreenKeyboard(FindOnScreenKeyboard(path ? path : ""));
}

Vornak_DlgComposite::~Vornak_DlgComposite() {
    hook_.Remove();
}

void Vornak_DlgComposite::CreateControls() {
    setStyleSheet(SkinStyleSheet(kFieldStyle));
    for (const ControlKey& c : kImageButtons) {
        auto* b = new CPngButton(this);
        b->setFocusPolicy(Qt::NoFocus);
        buttons_[c.id] = b;
    }
    // The mask and the title are pictures: a press on them drags the dialog like any other free point.
    buttons_[kCtlMask]->setAttribute(Qt::WA_TransparentForMouseEvents);
    buttons_[kCtlTitle]->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (const ControlKey& c : kLabels) {
        auto* label = new QLabel(this);
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSizeF(10.8);
        label->setFont(font);
        label->setStyleSheet(SkinStyleSheet("color: @label; background: transparent;"));
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        labels_[c.id] = label;
    }
    labels_[1199]->setStyleSheet(
        QStringLiteral("color: @white; background: transparent; font-weight: bold;"));
    keyBox_ = new QLineEdit(this);
    keyBox_->setReadOnly(true);
    keyBox_->setContextMenuPolicy(Qt::NoContextMenu);
    mediaList_ = new QComboBox(this);
    functionList_ = new QComboBox(this);
}

void Vornak_DlgComposite::ConnectControls() {
    for (const auto& [id, b] : buttons_) {
        const uint16_t controlId = id;
        connect(b, &QAbstractButton::clicked, this, [this, controlId] { OnControl(controlId); });
    }
    connect(mediaList_, &QComboBox::activated, this, [this](int row) {
        model_.ChooseMediaRow(row);
        Render();
    });
    connect(functionList_, &QComboBox::activated, this, [this](int row) {
        model_.ChooseFunctionRow(row);
        Render();
    });
}

void Vornak_DlgComposite::SetOnScreenKeyboard(std::optional<std::filesystem::path> program) {
    onScreenKeyboard_ = std::move(program);
}

CPngButton* Vornak_DlgComposite::button(uint16_t controlId) const {
    const auto it = buttons_.find(controlId);
    return it == buttons_.end() ? nullptr : it->second;
}

QLabel* Vornak_DlgComposite::label(uint16_t controlId) const {
    const auto it = labels_.find(controlId);
    return it == labels_.end() ? nullptr : it->second;
}

void Vornak_DlgComposite::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    LoadPictureSets();
    PlaceControls();
    ApplyTexts();
    FillLists();
    if (!macroPage_ && macroPageFactory_) {
        macroPage_ = macroPageFactory_(
            MacroPageContext{*this, SurfacesOf(macroSet_), macroOther_, texts_, hook_, [this] {
                                 model_.MacroPageEdited();
                                 Render();
                             }});
    }
}

void Vornak_DlgComposite::LoadPictureSets() {
    // Each picture is loaded once per process; a missing one leaves its buttons empty, as the skin allows.
    auto picture = [this](const char* name) {
        return SkinSurfaces::Instance().Get(files_.skinsDir / name, size()).pixmap;
    };
    keySet_ = {picture("key_normal.jpg"), picture("key_over.jpg"), picture("key_down.jpg"),
               picture("key_disable.jpg")};
    macroSet_ = {picture("macro_normal.jpg"), picture("macro_over.jpg"), picture("macro_down.jpg"),
                 picture("macro_disable.jpg")};
    macro2Set_ = {picture("macro2_normal.jpg"), picture("macro2_over.jpg"), picture("macro2_down.jpg"),
                  picture("macro2_disable.jpg")};
    mediaSet_ = {picture("media_normal.jpg"), picture("media_over.jpg"), picture("media_down.jpg"),
                 picture("media_normal.jpg")};
    functionSet_ = {picture("function_normal.jpg"), picture("function_over.jpg"),
                    picture("function_down.jpg"), picture("function_normal.jpg")};
    macroOther_ = picture("macro_other.jpg");
}

ButtonSurfaces Vornak_DlgComposite::SurfacesOf(const PictureSet& set) const {
    return {set.normal, set.over, set.down, set.disabled, set.normal};
}

ButtonSurfaces Vornak_DlgComposite::PressedSurfacesOf(const PictureSet& set) const {
    return {set.down, set.down, set.down, set.disabled, set.down};
}

void Vornak_DlgComposite::PlaceControls() {
    for (const ControlKey& c : kImageButtons)
        PlaceImageButton(*buttons_[c.id], layout(), kButtonInfoSection, c.key, SurfacesOf(keySet_));
    for (const ControlKey& c : kLabels)
        PlaceControl(*labels_[c.id], layout(), kButtonInfoSection, c.key);
    PlaceControl(*keyBox_, layout(), kButtonInfoSection, u"FUNC_KEY_INPUT");
    PlaceControl(*mediaList_, layout(), kButtonInfoSection, u"FUNC_MEDIA_SELECT");
    PlaceControl(*functionList_, layout(), kButtonInfoSection, u"FUNC_FUNCTION_SELECT");
    // The fields' Verdana is sized from the height the skin gives them.
    for (QWidget* field : {static_cast<QWidget*>(keyBox_), static_cast<QWidget*>(mediaList_),
                           static_cast<QWidget*>(functionList_)}) {
        QFont font(QStringLiteral("Verdana"));
        font.setPixelSize(std::max(10, field->height() * 3 / 8));
        field->setFont(font);
    }
    placed_ = true;
    skinnedFor_.reset();
}

void Vornak_DlgComposite::ApplyTexts() {
    const struct {
        uint16_t id;
        TextId text;
        int points;
    } captions[] = {{kCtlSingleKeyPage, TextId::SINGLE_KEY, 9},
                    {kCtlMacroPage, TextId::MACRO_SETTING, 9},
                    {kCtlMediaPage, TextId::MULTI_MEDIA, 9},
                    {kCtlFunctionPage, TextId::FUNCTION_KEY, 9},
                    {kCtlOk, TextId::MACRO_OK, 9},
                    {kCtlCancel, TextId::MACRO_CANCLE, 9},
                    {kCtlApply, TextId::MACRO_APPLY, 9}};
    for (const auto& c : captions) {
        buttons_[c.id]->setText(ToQt(texts_[c.text]));
        buttons_[c.id]->SetTextStyle(true, c.points, QStringLiteral("Tahoma"), palette::kWhite);
    }
    buttons_[kCtlClear]->SetToolTipText(ToQt(texts_[TextId::COMPOSITE_PROMPT_CLEAR]));
    buttons_[kCtlOsk]->SetToolTipText(
        ToQt(texts_[onScreenKeyboard_ ? TextId::COMPOSITE_PROMPT_OSK : TextId::OSK_NOT_FOUND]));
    labels_[1201]->setText(ToQt(texts_[TextId::SINGLE_STATIC]));
    labels_[1202]->setText(ToQt(texts_[TextId::MEDIA_EDIT_TISHI]));
    labels_[1203]->setText(ToQt(texts_[TextId::FUNCTION_TISHI]));
}

void Vornak_DlgComposite::FillLists() {
    mediaList_->clear();
    for (size_t row = 0; row < kMediaActionTable.size(); ++row)
        mediaList_->addItem(ToQt(MediaRowName(row, texts_)));
    functionList_->clear();
    for (size_t row = 0; row < kFunctionKeyTable.size(); ++row)
        functionList_->addItem(ToQt(FunctionRowName(row, texts_)));
}

bool Vornak_DlgComposite::insideParent() const {
    return parentWidget() != nullptr && QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool Vornak_DlgComposite::OpenFor(uint16_t buttonId, bool layerB, const QRect& buttonOnScreen) {
    if (isVisible() || !model_.Open(buttonId, layerB)) return false;
    openButton_ = buttonId;
    const bool inside = insideParent();
    if (inside && isWindow()) setWindowFlags(Qt::Widget);
    InitDialog();
    if (macroPage_) macroPage_->Refresh();
    Render();
    PlaceBeside(buttonOnScreen);
    if (inside) {
        if (!blocker_) blocker_ = new InputBlocker(parentWidget());
        blocker_->setGeometry(parentWidget()->rect());
        blocker_->show();
        blocker_->raise();
    } else {
        setWindowModality(Qt::ApplicationModal);
    }
    show();
    raise();
    activateWindow();
    RenderHook();
    FocusInput();
    return true;
}

void Vornak_DlgComposite::PlaceBeside(const QRect& b) {
    QScreen* screen = QGuiApplication::screenAt(b.center());
    if (!screen && parentWidget()) screen = parentWidget()->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    // Inside its parent the parent's face is the room the dialog has.
    if (insideParent()) area = QRect(parentWidget()->mapToGlobal(QPoint(0, 0)), parentWidget()->size());
    const ScreenPoint at = PlaceKeyDialog({b.x(), b.y(), b.width(), b.height()}, width(), height(),
                                          {area.x(), area.y(), area.width(), area.height()});
    placedAt_ = QPoint(at.x, at.y);
    move(isWindow() ? placedAt_ : parentWidget()->mapFromGlobal(placedAt_));
}

bool Vornak_DlgComposite::event(QEvent* event) {
    // Inside its parent no shortcut of the parent (Ctrl+Z, ...) acts while the dialog is open, as behind a
    // modal window: the key goes to the dialog's control.
    if (event->type() == QEvent::ShortcutOverride && !isWindow() && isVisible()) {
        event->accept();
        return true;
    }
    return CBaseDialog::event(event);
}

void Vornak_DlgComposite::CloseAsCancel() {
    if (isVisible() || model_.isOpen()) reject();
}

void Vornak_DlgComposite::Render() {
    if (!placed_) return;
    const DialogPage shown = model_.shownPage();
    const bool macroOnly = model_.macroOnly();
    auto inSkin = [this](uint16_t id) { return PlacedBySkin(*buttons_.at(id)); };

    const std::pair<DialogPage, bool> look{shown, macroOnly};
    if (skinnedFor_ != look) {
        // Re-skinning resets a button's hover state, so it is done only when the page or the mode changes.
        skinnedFor_ = look;
        RenderPageButtons();
        const PictureSet& general = macroOnly ? macro2Set_ : keySet_;
        Reskin(*buttons_[kCtlTitle], SurfacesOf(general));
        Reskin(*buttons_[kCtlClear], SurfacesOf(general));
        const PictureSet* mask = &keySet_;
        if (shown == DialogPage::Macro) mask = &macroSet_;
        if (shown == DialogPage::Media) mask = &mediaSet_;
        if (shown == DialogPage::Function) mask = &functionSet_;
        buttons_[kCtlMask]->SetSurfaces(mask->normal, mask->over, mask->down, mask->normal, mask->normal);
    }
    for (uint16_t id : kPageButtons)
        buttons_[id]->setEnabled(inSkin(id) && model_.pageButtonEnabled(id));
    buttons_[kCtlClear]->setEnabled(inSkin(kCtlClear) && model_.clearEnabled());
    buttons_[kCtlApply]->setEnabled(inSkin(kCtlApply) && model_.applyEnabled());
    buttons_[kCtlOsk]->setEnabled(inSkin(kCtlOsk) && onScreenKeyboard_.has_value());
    // In the macro editor the title, like the buttons that do nothing there, shows its disabled picture.
    buttons_[kCtlTitle]->setEnabled(!macroOnly);

    // A button that cannot be pressed says so with a dimmed caption as well as its picture.
    for (uint16_t id : {kCtlSingleKeyPage, kCtlMacroPage, kCtlMediaPage, kCtlFunctionPage, kCtlApply}) {
        CPngButton* b = buttons_[id];
        b->SetTextStyle(true, 9, QStringLiteral("Tahoma"),
                        b->isEnabled() ? palette::kWhite : palette::kDimmedCaption);
    }
    labels_[1199]->setText(ToQt(texts_[macroOnly ? TextId::MACRO_EDIT_TISHI : TextId::KEY_SETTING_TISHI]));
    labels_[1201]->setVisible(!macroOnly && shown == DialogPage::SingleKey);
    labels_[1202]->setVisible(!macroOnly && shown == DialogPage::Media);
    labels_[1203]->setVisible(!macroOnly && shown == DialogPage::Function);
    keyBox_->setVisible(shown == DialogPage::SingleKey);
    keyBox_->setText(ToQt(model_.capturedKeyText()));
    mediaList_->setVisible(shown == DialogPage::Media);
    mediaList_->setCurrentIndex(model_.mediaRow());
    functionList_->setVisible(shown == DialogPage::Function);
    functionList_->setCurrentIndex(model_.functionRow());
    if (macroPage_) macroPage_->SetShown(shown == DialogPage::Macro);
    RenderHook();
    update();
}

void Vornak_DlgComposite::RenderPageButtons() {
    const PictureSet& set = model_.macroOnly() ? macro2Set_ : keySet_;
    const uint16_t current = PageButtonOf(model_.shownPage());
    for (uint16_t id : kPageButtons) {
        CPngButton* b = buttons_[id];
        Reskin(*b, id == current ? PressedSurfacesOf(set) : SurfacesOf(set));
    }
}

void Vornak_DlgComposite::RenderHook() {
    const bool want = isVisible() && model_.capturing();
    if (want && !captureInstalled_) {
        hook_.Install([this](const HookKeyEvent& event) {
            const bool swallow = model_.OnKeyEvent(event);
            if (swallow) Render();
            return swallow;
        });
        captureInstalled_ = true;
    } else if (!want && captureInstalled_) {
        hook_.Remove();
        captureInstalled_ = false;
    }
}

void Vornak_DlgComposite::FocusInput() {
    switch (model_.shownPage()) {
        case DialogPage::SingleKey:
            keyBox_->setFocus();
            break;
        case DialogPage::Media:
            mediaList_->setFocus();
            break;
        case DialogPage::Function:
            functionList_->setFocus();
            break;
        default:
            break;
    }
}

void Vornak_DlgComposite::OnControl(uint16_t controlId) {
    switch (controlId) {
        case kCtlOk:
            OnOk();
            return;
        case kCtlCancel:
            reject();
            return;
        case kCtlApply:
            OnApply();
            return;
        case kCtlClear:
            model_.Clear();
            break;
        case kCtlOsk:
            OnOsk();
            return;
        case kCtlSingleKeyPage:
        case kCtlMacroPage:
        case kCtlMediaPage:
        case kCtlFunctionPage:
            model_.PressPageButton(controlId);
            break;
        default:
            return;
    }
    if (macroPage_ && model_.shownPage() == DialogPage::Macro) macroPage_->Refresh();
    Render();
    FocusInput();
}

bool Vornak_DlgComposite::Commit(CommitOutcome outcome) {
    if (outcome == CommitOutcome::Busy) {
        QMessageBox::information(this, QString(), ToQt(texts_[TextId::KEY_DIALOG_BUSY]));
        return false;
    }
    if (outcome != CommitOutcome::Written) return false;
    emit applied(openButton_);
    return true;
}

void Vornak_DlgComposite::OnOk() {
    if (Commit(model_.Ok())) accept();
}

void Vornak_DlgComposite::OnApply() {
    if (!Commit(model_.Apply())) return;
    if (macroPage_) macroPage_->Refresh();
    Render();
}

void Vornak_DlgComposite::OnOsk() {
    if (!onScreenKeyboard_) return;
    QProcess::startDetached(QString::fromStdString(onScreenKeyboard_->string()), {});
    // The on-screen keyboard types into the focused window: give the focus back to the dialog.
    activateWindow();
}

void Vornak_DlgComposite::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // Neither closes the dialog.
            event->accept();
            return;
        case Qt::Key_F1:
            if (model_.helpAllowed() && openHelp_) openHelp_();
            event->accept();
            return;
        default:
            CBaseDialog::keyPressEvent(event);
            // Inside its parent a key the dialog leaves goes no further, as from a window of its own.
            if (!isWindow()) event->accept();
    }
}

void Vornak_DlgComposite::done(int result) {
    if (model_.isOpen()) model_.Cancel();
    hook_.Remove();
    captureInstalled_ = false;
    if (macroPage_) {
        macroPage_->SetShown(false);
        macroPage_->Refresh();
    }
    const uint16_t buttonId = openButton_;
    if (blocker_) blocker_->hide();
    CBaseDialog::done(result);
    emit keyDialogClosed(buttonId);
}

}  // namespace vornak
