#include "app/vornak_dlg.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmapCache>
#include <QWindow>
#include <cstdio>

#include "app/ui_thread.h"
#include "assign/view/vornak_dlg_composite.h"
#include "device/port_hub_link.h"
#include "follow/view/apps_dialog.h"
#include "keyboard/key_buttons.h"
#include "lighting/view/lighting_panel.h"
#include "platform/heap.h"
#include "platform/paths.h"
#include "platform/text_format.h"
#include "profile/view/vornak_dlg_profile.h"
#include "profile/view/vornak_dlg_update.h"
#include "program/worker_lighting_jobs.h"
#include "skin/palette.h"
#include "skin/placement.h"
#include "skin/skin_surfaces.h"

namespace vornak {

namespace {

constexpr int kMainTemplate = 102;
constexpr const char* kDefaultLink = "https://nimbrel.example/kx1";
constexpr int kArrowStepMs = 1000;
constexpr int kPreviewFirstMs = 100;
constexpr int kPreviewMs = 50;

// Which picture serves as which surface, by control.
enum class Looks { Plain, Apply, Marked, Link, Lamp, Flip0, Still };

struct ControlInfo {
    int id;
    const char16_t* key;
    Looks looks;
    std::optional<TextId> toolTip;
    std::optional<TextId> caption;
};

const ControlInfo kControls[] = {
    {main_id::kOk, u"CONTROL_OK", Looks::Plain, {}, TextId::PROFILE_OK},
    {main_id::kCancel, u"CONTROL_CANCEL", Looks::Plain, {}, TextId::PROFILE_CANCLE},
    {main_id::kScenes, u"FUNC_PROFILES", Looks::Plain, {}, {}},
    {main_id::kApply, u"CONTROL2_APPLY", Looks::Apply, {}, TextId::PROFILE_APPLY},
    {main_id::kMacro, u"FUNC_MACRO", Looks::Plain, TextId::MAIN_MACRO_PROMPT, TextId::PROFILE_MACRO},
    {main_id::kLink, u"TORVEL_LINK", Looks::Link, {}, {}},
    {main_id::kHelp, u"CONTROL_HELP", Looks::Plain, TextId::MAIN_HELP_PROMPT, {}},
    {main_id::kMinimize, u"CONTROL_MINIMIZE", Looks::Plain, TextId::MAIN_MINIMIZE_PROMPT, {}},
    {main_id::kClose, u"CONTROL_CLOSE", Looks::Plain, TextId::MAIN_CLOSE_PROMPT, {}},
    {main_id::kMenu, u"CONTROL_MENU", Looks::Plain, TextId::MAIN_MENU_PROMPT, {}},
    {main_id::kLockCaps, u"LOCK_CAPS", Looks::Lamp, {}, {}},
    {main_id::kLockNum, u"LOCK_NUM", Looks::Lamp, {}, {}},
    {main_id::kLockScroll, u"LOCK_SCROLL", Looks::Lamp, {}, {}},
    {main_id::kLockAB, u"LOCK_AB", Looks::Lamp, {}, {}},
    {main_id::kFlip0, u"FLIP_0", Looks::Flip0, {}, {}},
    {main_id::kFlip1, u"FLIP_1", Looks::Marked, {}, {}},
    {main_id::kFlip2, u"FLIP_2", Looks::Marked, {}, {}},
    {main_id::kProfile1, u"FUNC_PROFILE1", Looks::Marked, {}, TextId::PROFILE_1},
    {main_id::kProfile2, u"FUNC_PROFILE2", Looks::Marked, {}, TextId::PROFILE_2},
    {main_id::kProfile3, u"FUNC_PROFILE3", Looks::Marked, {}, TextId::PROFILE_3},
    {main_id::kDefault, u"FUNC_DEFAULT", Looks::Marked, {}, TextId::PROFILE_DEFAULT},
    {main_id::kReport1, u"FUNC_REPORT1", Looks::Marked, {}, {}},
    {main_id::kReport2, u"FUNC_REPORT2", Looks::Marked, {}, {}},
    {main_id::kReport3, u"FUNC_REPORT3", Looks::Marked, {}, {}},
    {main_id::kReport4, u"FUNC_REPORT4", Looks::Marked, {}, {}},
    {main_id::kFn, u"KEY_FN", Looks::Marked, {}, {}},
    {main_id::kVersion, u"TORVEL_VER", Looks::Still, {}, {}},
    {main_id::kSwitch, u"FUNC_SWITCH", Looks::Marked, {}, {}},
};

bool IsLightingControl(int id) {
    return (id >= main_id::kFlip0 && id <= main_id::kFlip2) || id == main_id::kReport1 ||
           (id >= main_id::kReport2 && id <= main_id::kReport4);
}

}  // namespace

CVornakDlg::CVornakDlg(MainWindowServices services)
    : CBaseDialog(kMainTemplate, nullptr, services.paths.mainIni, services.paths.skinsDir),
      s_(services),
      parts_(MainWindowPartsServices{services.paths, services.texts, services.store, services.transfer,
                                     services.link.state(), services.worker, services.prompts,
                                     StartProgramDetached},
             *this),
      model_(parts_.model()),
      history_(parts_.history()),
      switcher_(parts_.scenes()),
      prompts_(services.prompts),
      tray_(services.paths.skinsDir, services.texts, this) {
    // A window of its own with a taskbar entry while shown.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    ShapeByAlphaWhereNeeded();
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateButtons();
    CreateTimers();
    CreateHistory();
    ConnectTray();
}

CVornakDlg::~CVornakDlg() {
    // The dialogs go before the parts they stand on (the key dialog's macro page lets go of the macro editor
    // when it is destroyed), those let go earlier and still waiting for their deletion too.
    for (CBaseDialog* dialog : findChildren<CBaseDialog*>(Qt::FindDirectChildrenOnly))
        delete dialog;
}

void CVornakDlg::Init() {
    s_.link.state().currentProfile.store(-1);
    InitDialog();  // the skin: ends the process when its background or mask cannot be loaded
    LayOutControls();
    ApplyTexts();
    CreateLightingPanel();
    setWindowTitle(LanguageText(s_.texts, TextId::MAIN_CAPTION));
    RefreshKeyButtons();
    RefreshApply();
    // MSG_INIT, posted: the tray icon and the ready mark once the event loop runs.
    QMetaObject::invokeMethod(this, &CVornakDlg::HandleInit, Qt::QueuedConnection);
}

CPngButton* CVornakDlg::AddButton(int id, std::u16string_view key) {
    auto* b = new CPngButton(this);
    buttons_[id] = b;
    keys_[id] = std::u16string(key);
    if (id > 0) connect(b, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    return b;
}

void CVornakDlg::CreateButtons() {
    for (const ControlInfo& c : kControls)
        AddButton(c.id, c.key);
    for (const KeyButton& k : kKeyButtons) {
        AddButton(k.controlId, FormatText(u"KEY_%03X", {int64_t{KeySlot(k.code)}}));
    }
    for (int i = 0; i < kGKeyCount; ++i)
        AddButton(kGKeyControlIds[static_cast<size_t>(i)], FormatText(u"FUNC_G%d", {int64_t{i + 1}}));
    leftArrow_ = new CPngButton(this);
    rightArrow_ = new CPngButton(this);
    leftArrow_->setEnabled(false);
    rightArrow_->setEnabled(false);
    busy_ = new QLabel(this);
    busy_->hide();
    // A button that loses the focus lets go of its pressed look, and the key dialog takes the focus as it
    // opens: the key buttons never take it, so the key stays pressed while its dialog is open.
    for (const KeyButton& k : kKeyButtons)
        button(k.controlId)->setFocusPolicy(Qt::NoFocus);
    for (const uint16_t id : kGKeyControlIds)
        button(id)->setFocusPolicy(Qt::NoFocus);
}

void CVornakDlg::LayOutControls() {
    // Without these the window cannot be drawn: the program ends, naming the file, rather than show keys
    // without faces.
    for (const char* file : {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg",
                             "Arrow.jpg", "main_color0.jpg", "main_color1.jpg"}) {
        const SkinSurface& picture = SkinSurfaces::Instance().Get(s_.paths.skinsDir / file, size());
        if (!picture.loaded) EndForSkinFailure(picture.error);
    }
    AttachPictures();
    for (auto& [id, b] : buttons_) {
        // The lighting panel shows its own buttons when it needs them.
        if (IsLightingControl(id)) b->hide();
    }
    buttons_[main_id::kVersion]->setEnabled(false);
    const SkinLayout& skin = layout();
    PlaceControl(*busy_, skin, kButtonInfoSection, u"CONTROL_JDTStatic");
    const std::u16string link = skin.Text(kScreenSection, u"Link", u"", kScreenValueCapacity);
    linkAddress_ = link.empty() ? QString::fromLatin1(kDefaultLink) : ToQt(link);
}

void CVornakDlg::AttachPictures() {
    const QSize size = this->size();
    auto surface = [&](const char* file) -> QPixmap {
        return SkinSurfaces::Instance().Get(s_.paths.skinsDir / file, size).pixmap;
    };
    const QPixmap normal = surface("main_normal.jpg");
    const QPixmap over = surface("main_over.jpg");
    const QPixmap down = surface("main_down.jpg");
    const QPixmap disabled = surface("main_disable.jpg");
    const auto surfacesFor = [&](Looks looks) -> ButtonSurfaces {
        switch (looks) {
            case Looks::Plain:
                return {normal, over, down, normal, normal};
            case Looks::Apply:
                return {normal, over, down, disabled, normal};
            case Looks::Marked:
                return {normal, over, down, normal, disabled};
            case Looks::Link:
                return {normal, over, disabled, normal, normal};
            case Looks::Lamp:
                return {normal, normal, normal, normal, over};
            case Looks::Flip0:
                return {normal, normal, normal, normal, disabled};
            case Looks::Still:
                break;
        }
        return {normal, normal, normal, normal, normal};
    };
    const SkinLayout& skin = layout();
    std::map<int, Looks> looks;
    for (const ControlInfo& c : kControls)
        looks[c.id] = c.looks;
    for (auto& [id, b] : buttons_) {
        const auto it = looks.find(id);
        const bool down = b->isDown();  // a key whose dialog is open stays pressed
        PlaceImageButton(*b, skin, kButtonInfoSection, keys_[id],
                         surfacesFor(it == looks.end() ? Looks::Marked : it->second));
        if (down) b->setDown(true);
        b->update();
    }

    // Read when the window shows: a picture of 256 pixels the tray need not hold.
    QImage icon;
    LoadSkinPicture(s_.paths.skinsDir / "vornak.png", &icon, nullptr);
    setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    arrowSheet_ = surface("Arrow.jpg");
    PlaceImageButtonFrom(*leftArrow_, skin, u"LEFT_ARROW", kButtonInfo2Section,
                         FormatText(u"UP_ARROW_LEFT%d", {int64_t{arrowFrame_}}), arrowSheet_);
    PlaceImageButtonFrom(*rightArrow_, skin, u"RIGHT_ARROW", kButtonInfo2Section,
                         FormatText(u"UP_ARROW_RIGHT%d", {int64_t{arrowFrame_}}), arrowSheet_);

    for (int i = 0; i < kBusyFrames; ++i) {
        QImage frame;
        std::string ignored;
        const auto file = s_.paths.skinsDir / ("jdt" + std::to_string(i + 1) + ".bmp");
        if (LoadSkinPicture(file, &frame, &ignored))
            busyFrames_[static_cast<size_t>(i)] = QPixmap::fromImage(frame);
    }
    if (model_.busyVisible()) busy_->setPixmap(busyFrames_[static_cast<size_t>(model_.busyFrame())]);
}

void CVornakDlg::ReleaseShownPictures() {
    if (picturesReleased_) return;
    picturesReleased_ = true;
    ReleasePictures();
    for (auto& [id, b] : buttons_) {
        const bool down = b->isDown();
        b->SetSurfaces({}, {}, {}, {}, {}, false);
        if (down) b->setDown(true);
    }
    for (CPngButton* arrow : {leftArrow_, rightArrow_})
        arrow->SetSurfaces({}, {}, {}, {}, {}, false);
    arrowSheet_ = QPixmap();
    setWindowIcon(QIcon());
    busyFrames_ = {};
    busy_->clear();
    LetClosedDialogsGo();
    // The window's own frame buffer too: the next paint after showing sizes it to the window again.
    if (QBackingStore* store = backingStore(); store && store->size() != QSize(1, 1))
        store->resize(QSize(1, 1));
    TrimPictures();
}

void CVornakDlg::LetClosedDialogsGo() {
    // Later: a dialog's own handler may still be on the stack. Its pictures go once it is destroyed.
    const auto letGo = [](auto*& dialog, bool open) {
        if (dialog == nullptr || dialog->isVisible() || open) return;
        dialog->deleteLater();
        dialog = nullptr;
    };
    letGo(keyDialog_, parts_.keyDialog().isOpen());
    letGo(sceneDialog_, parts_.sceneDialog().isOpen());
    letGo(updateDialog_, false);
    letGo(appsDialog_, false);
}

void CVornakDlg::SubDialogMade(QDialog* dialog) {
    // One closed while the window stays hidden (the Applications dialog, from the tray's scene menu) goes
    // too.
    connect(dialog, &QDialog::finished, this, [this] {
        if (picturesReleased_) LetClosedDialogsGo();
    });
    // Queued: the trim comes once the dialog and its buttons are gone whole.
    connect(
        dialog, &QObject::destroyed, this,
        [this] {
            if (picturesReleased_) TrimPictures();
        },
        Qt::QueuedConnection);
}

void CVornakDlg::TrimPictures() {
    SkinSurfaces::Instance().Trim();
    // Qt's own cache of drawn pictures (the window icon at each size, styled controls) keeps them until a
    // timer of its own ages them out.
    QPixmapCache::clear();
    // Pictures this size come back to the same heap: give the freed pages back to the system.
    ReturnFreeHeap();
}

void CVornakDlg::RestoreShownPictures() {
    if (!picturesReleased_) return;
    picturesReleased_ = false;
    std::string error;
    // A picture that went missing since the start leaves its part of the window empty.
    if (!TryLoadSkin(&error)) std::fprintf(stderr, "vornak: %s\n", error.c_str());
    AttachPictures();
    if (lighting_) lighting_->KeyButtonsReset();
}

void CVornakDlg::ApplyTexts() {
    for (const ControlInfo& c : kControls) {
        CPngButton* b = buttons_[c.id];
        if (c.toolTip) b->SetToolTipText(LanguageText(s_.texts, *c.toolTip));
        if (c.caption) {
            b->setText(LanguageText(s_.texts, *c.caption));
            b->SetTextStyle(true, 9, QStringLiteral("Tahoma"), palette::kWhite);
        }
    }
    buttons_[main_id::kLink]->SetToolTipText(linkAddress_);
    CPngButton* version = buttons_[main_id::kVersion];
    QString text = LanguageText(s_.texts, TextId::MAIN_BUTTON_TORVEL_VER);
    if (text.isEmpty()) text = QStringLiteral("Vornak %1").arg(QCoreApplication::applicationVersion());
    version->setText(text);
    version->SetTextStyle(true, 8, QStringLiteral("Verdana"), palette::kTextDim,
                          kDtLeft | kDtVCenter | kDtSingleLine);
    for (int i = 0; i < 5; ++i)
        buttons_[kGKeyControlIds[static_cast<size_t>(i)]]->SetTextStyle(true, 9, QStringLiteral("Tahoma"),
                                                                        palette::kWhite);
}

void CVornakDlg::CreateLightingPanel() {
    LightingPanelServices services{
        *this,
        WorkerLightingJobs(s_.worker),
        s_.link.state(),
        s_.texts.language(),
        s_.paths.skinsDir,
        [this](int id) { return button(id); },
        [this] { return switcher_.SwitchScene(s_.link.state().currentProfile.load()); },
        [this] { UpdateTimers(); },
        LanguageText(s_.texts, TextId::MAIN_PAINT_NOTICE)};
    SetLightingPanel(std::make_unique<LightingPanel>(services));
}

void CVornakDlg::CreateTimers() {
    busyTimer_.setInterval(kBusyFrameMs);
    connect(&busyTimer_, &QTimer::timeout, this, [this] {
        model_.BusyTick();
        RefreshBusy();
    });
    busyLinger_.setSingleShot(true);
    busyLinger_.setInterval(kBusyLingerMs);
    connect(&busyLinger_, &QTimer::timeout, this, [this] {
        model_.HideBusy();
        RefreshBusy();
    });
    lightingReread_.setSingleShot(true);
    lightingReread_.setInterval(0);
    connect(&lightingReread_, &QTimer::timeout, this, [this] {
        lightingStale_ = false;
        if (lighting_) lighting_->ReadLightingAgain();
    });
    preview_.setInterval(kPreviewMs);
    connect(&preview_, &QTimer::timeout, this, [this] {
        // After the first, later tick; setting the interval restarts the timer, so only once.
        if (preview_.interval() != kPreviewMs) preview_.setInterval(kPreviewMs);
        if (lighting_) lighting_->PreviewTick();
    });
    arrows_.setInterval(kArrowStepMs);
    connect(&arrows_, &QTimer::timeout, this, &CVornakDlg::StepArrows);
}

void CVornakDlg::ConnectTray() {
    connect(&tray_, &CTrayIcon::command, this, &CVornakDlg::OnCommand);
}

void CVornakDlg::HandleInit() {
    tray_.Create(LanguageText(s_.texts, TextId::KEYBOARD_TRAY_DESC));
    tray_.SetClickCommand(main_id::kCmdSceneMenu);
    switcher_.RebuildSceneMenu();
    CreateFollower();
    ready_ = true;
    s_.link.state().mainWindowReady.store(true);
    hide();
    // Laid out and never shown: no hide event tells the window to give its pictures back.
    if (!isVisible()) ReleaseShownPictures();
}

void CVornakDlg::EditShown() {
    RefreshKeyButtons();
    RefreshApply();
}

CPngButton* CVornakDlg::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

// ---- rendering

void CVornakDlg::RefreshKeyButtons() {
    for (const KeyButton& k : kKeyButtons) {
        CPngButton* b = buttons_[k.controlId];
        const auto look = model_.LookOf(k.controlId);
        b->SetSelected(look && look->assigned);
        if (look) b->SetToolTipText(ToQt(look->toolTip));
    }
    RefreshGKeys();
    RefreshProfileButtons();
}

void CVornakDlg::RefreshGKeys() {
    for (int i = 0; i < kGKeyCount; ++i) {
        CPngButton* b = buttons_[kGKeyControlIds[static_cast<size_t>(i)]];
        const auto look = model_.LookOf(kGKeyControlIds[static_cast<size_t>(i)]);
        b->SetSelected(look && look->assigned);
        if (look) b->SetToolTipText(ToQt(look->toolTip));
        if (i < 5) b->setText(ToQt(model_.GKeyLabel(i)));
    }
    buttons_[main_id::kLockAB]->SetSelected(model_.layerB());
}

void CVornakDlg::RefreshProfileButtons() {
    const int ids[3] = {main_id::kProfile1, main_id::kProfile2, main_id::kProfile3};
    for (int p = 0; p < 3; ++p)
        buttons_[ids[p]]->SetSelected(p == model_.selectedProfile());
}

void CVornakDlg::RefreshApply() {
    buttons_[main_id::kApply]->setEnabled(model_.applyEnabled());
    FollowRecheck();
}

void CVornakDlg::RefreshBusy() {
    if (model_.busyVisible()) {
        busy_->setPixmap(busyFrames_[static_cast<size_t>(model_.busyFrame())]);
        busy_->show();
        busy_->raise();
    } else {
        busy_->hide();
    }
    UpdateTimers();
}

void CVornakDlg::UpdateTimers() {
    WindowState state;
    state.shown = isVisible();
    state.minimised = isMinimized();
    state.busyVisible = model_.busyVisible();
    state.hasLightingPanel = lighting_ != nullptr;
    state.lightingSwitch = lighting_ && lighting_->PreviewRunning();
    state.lightingStale = lightingStale_;
    const TimerPlan plan = PlanTimers(state);
    const auto set = [](QTimer& timer, bool on) {
        if (on && !timer.isActive()) timer.start();
        if (!on && timer.isActive()) timer.stop();
    };
    set(busyTimer_, plan.busy);
    set(arrows_, plan.arrows);
    leftArrow_->setVisible(EffectArrowsShown(state));
    rightArrow_->setVisible(EffectArrowsShown(state));
    if (plan.preview && !preview_.isActive()) {
        preview_.start(kPreviewFirstMs);
    } else if (!plan.preview) {
        preview_.stop();
    }
    if (plan.lightingReread && !lightingReread_.isActive()) lightingReread_.start();
}

void CVornakDlg::StepArrows() {
    arrowFrame_ = arrowFrame_ == 1 ? 2 : 1;
    const SkinLayout& skin = layout();
    PlaceImageButtonFrom(*leftArrow_, skin, u"LEFT_ARROW", kButtonInfo2Section,
                         FormatText(u"UP_ARROW_LEFT%d", {int64_t{arrowFrame_}}), arrowSheet_);
    PlaceImageButtonFrom(*rightArrow_, skin, u"RIGHT_ARROW", kButtonInfo2Section,
                         FormatText(u"UP_ARROW_RIGHT%d", {int64_t{arrowFrame_}}), arrowSheet_);
    leftArrow_->setEnabled(false);
    rightArrow_->setEnabled(false);
    leftArrow_->update();
    rightArrow_->update();
}

// ---- window behaviour

void CVornakDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();  // swallowed: neither closes nor applies
            return;
        case Qt::Key_F1:
            event->accept();
            OnHelp();
            return;
        default:
            CBaseDialog::keyPressEvent(event);
    }
}

void CVornakDlg::closeEvent(QCloseEvent* event) {
    // The window manager's close hides to the tray; the program ends only through Close.
    event->ignore();
    if (!closing_) HideToTray();
}

void CVornakDlg::showEvent(QShowEvent* event) {
    RestoreShownPictures();
    CBaseDialog::showEvent(event);
    UpdateTimers();
}

void CVornakDlg::hideEvent(QHideEvent* event) {
    CBaseDialog::hideEvent(event);
    // Not when minimised: the window is still shown then, and comes back at once.
    if (!isVisible()) ReleaseShownPictures();
    UpdateTimers();
}

void CVornakDlg::changeEvent(QEvent* event) {
    CBaseDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) UpdateTimers();
}

bool CVornakDlg::event(QEvent* event) {
    // WM_HELP: as the Help button.
    if (event->type() == QEvent::WhatsThis) {
        OnHelp();
        return true;
    }
    return CBaseDialog::event(event);
}

}  // namespace vornak
