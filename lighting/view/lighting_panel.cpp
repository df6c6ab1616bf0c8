#include "lighting/view/lighting_panel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "keyboard/key_buttons.h"
#include "platform/text_format.h"
#include "skin/placement.h"
#include "skin/qt_text.h"
#include "skin/skin_surfaces.h"
#include "skin/style_sheet.h"

namespace vornak {

namespace {

// The notice of the first unseen paint: along the foot of the panel, over the hidden option buttons.
constexpr QRect kPaintNoticeRect(330, 592, 700, 38);

// Placed at the corner of their rectangle, keeping the size of what they show.
constexpr std::u16string_view kKeepSize[] = {
    u"CONTROL_BLFXStatic",   u"CONTROL_BLFXLStaPic", u"CONTROL_BLFXStatic2", u"CONTROL_BLFXLStaPic2",
    u"CONTROL_BLFXRStaPic2", u"CONTROL_BLFXStatic3", u"CONTROL_BLFXLStaPic3"};

enum class Kind { Label, Heading, Picture, Slider, Combo, EditCombo, Colour };

Kind KindOf(std::u16string_view key) {
    const auto ends = [key](std::u16string_view tail) {
        return key.size() >= tail.size() && key.substr(key.size() - tail.size()) == tail;
    };
    if (key == u"CONTROL_UsbStatic") return Kind::Heading;
    if (key == u"CONTROL_umCombo") return Kind::EditCombo;
    if (key == u"CONTROL_XGcombox") return Kind::Combo;
    if (ends(u"Slider")) return Kind::Slider;
    if (ends(u"Button")) return Kind::Colour;
    if (key.find(u"PIC") != std::u16string_view::npos || key.find(u"StaPic") != std::u16string_view::npos)
        return Kind::Picture;
    return Kind::Label;
}

// Events after which a key button may show another face.
bool ChangesFace(QEvent::Type type) {
    switch (type) {
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::FocusOut:
        case QEvent::EnabledChange:
            return true;
        default:
            return false;
    }
}

// A job that found no lighting model: nothing to render.
LightingSnapshot NoModel() {
    LightingSnapshot s;
    s.readResult = kLinkNoDevice;
    return s;
}

const char* const kComboStyle =
    "QComboBox { background: @field; color: @text; border: 1px solid @fieldBorder; border-radius: 5px;"
    " padding-left: 8px; font-family: 'DejaVu Sans'; font-size: 12px; }"
    "QComboBox::drop-down { border: none; width: 26px; }"
    "QComboBox QAbstractItemView { background: @field; color: @text; selection-background-color: @selection; "
    "}";

}  // namespace

LightingPanel::LightingPanel(LightingPanelServices services) : s_(std::move(services)) {
    clock_.start();
    WatchKeyButtons();
    Render(shown_);
    s_.window.installEventFilter(this);
    HoldControls(s_.window.isVisible());
}

LightingPanel::~LightingPanel() {
    // The window owns the panel and outlives it: its buttons must not call back into it.
    for (auto& [id, b] : keyButtons_)
        b->removeEventFilter(this);
    s_.window.removeEventFilter(this);
    delete layer_;
}

// ---- set-up

void LightingPanel::HoldControls(bool hold) {
    if (hold == (effectList_ != nullptr)) return;
    if (!hold) {
        // What they showed lives in shown_; a click or a typed name already went out as a job.
        for (auto& [key, w] : controls_)
            delete w;
        controls_.clear();
        delete paintNotice_;
        paintNotice_ = nullptr;
        effectList_ = userModes_ = nullptr;
        brightness_ = speed_ = nullptr;
        pictures_.clear();
        return;
    }
    CreateControls();
    PlaceControls();
    ApplyLabels();
    ConnectControls();
    for (BitmapSlider* slider : {brightness_, speed_}) {
        std::array<QPixmap, kSliderPositions> faces;
        for (int i = 0; i < kSliderPositions; ++i)
            faces[static_cast<size_t>(i)] =
                Picture(slider == speed_ ? SpeedPicture(i) : BrightnessPicture(i));
        slider->SetPictures(faces);
    }
    RenderControls();
}

const QPixmap& LightingPanel::Picture(std::string_view file) {
    if (const auto it = pictures_.find(file); it != pictures_.end()) return it->second;
    QImage image;
    std::string ignored;
    // A missing bitmap leaves its control empty, as a missing state picture does.
    LoadSkinPicture(s_.skinsDir / std::string(file), &image, &ignored);
    return pictures_.emplace(std::string(file), QPixmap::fromImage(image)).first->second;
}

void LightingPanel::CreateControls() {
    QWidget* parent = &s_.window;
    for (const PanelControl& c : PanelControls(shown_)) {
        QWidget* w = nullptr;
        switch (KindOf(c.key)) {
            case Kind::Heading:
            case Kind::Label: {
                auto* label = new QLabel(parent);
                QFont font(QStringLiteral("Tahoma"));
                const bool heading = KindOf(c.key) == Kind::Heading;
                font.setPointSizeF(heading ? 11 : 9);
                font.setBold(heading);
                label->setFont(font);
                label->setStyleSheet(SkinStyleSheet(heading ? "color: @white; background: transparent;"
                                                            : "color: @label; background: transparent;"));
                w = label;
                break;
            }
            case Kind::Picture: {
                auto* picture = new PanelPicture(parent);
                w = picture;
                break;
            }
            case Kind::Slider: {
                auto* slider = new BitmapSlider(parent);
                (c.key == u"CONTROL_SpeedSlider" ? speed_ : brightness_) = slider;
                w = slider;
                break;
            }
            case Kind::Combo:
            case Kind::EditCombo: {
                auto* combo = new QComboBox(parent);
                const bool editable = KindOf(c.key) == Kind::EditCombo;
                combo->setEditable(editable);
                combo->setInsertPolicy(QComboBox::NoInsert);
                combo->setStyleSheet(SkinStyleSheet(kComboStyle));
                (editable ? userModes_ : effectList_) = combo;
                w = combo;
                break;
            }
            case Kind::Colour:
                w = new ColourButton(parent);
                break;
        }
        w->setObjectName(ToQt(c.key));
        w->hide();
        controls_.emplace(std::u16string(c.key), w);
    }
    paintNotice_ = new QLabel(s_.paintNotice, parent);
    paintNotice_->setObjectName(QStringLiteral("paintNotice"));
    paintNotice_->setWordWrap(true);
    paintNotice_->setStyleSheet(
        "color: #0c0e12; background: #fbbf24; border-radius: 5px; padding: 2px 8px; font-size: 12px;");
    paintNotice_->setGeometry(kPaintNoticeRect);
    paintNotice_->hide();
}

void LightingPanel::PlaceControls() {
    const SkinLayout& layout = s_.window.layout();
    for (auto& [key, w] : controls_) {
        const bool keep = std::find(std::begin(kKeepSize), std::end(kKeepSize), key) != std::end(kKeepSize);
        if (keep) {
            w->adjustSize();
            PlaceControlKeepSize(*w, layout, kButtonInfoSection, key);
        } else {
            PlaceControl(*w, layout, kButtonInfoSection, key);
        }
    }
}

void LightingPanel::ApplyLabels() {
    const IniDocument& ini = s_.window.layout().document();
    for (const PanelControl& c : PanelControls(shown_)) {
        if (c.label.empty()) continue;
        if (auto* label = qobject_cast<QLabel*>(control(c.key)))
            label->setText(ToQt(PanelLabel(ini, s_.language, c.label)));
    }
}

void LightingPanel::ConnectControls() {
    const auto picture = [this](std::u16string_view key) { return static_cast<PanelPicture*>(control(key)); };
    const auto colour = [this](std::u16string_view key) { return static_cast<ColourButton*>(control(key)); };
    connect(picture(u"CONTROL_DengStaPic"), &PanelPicture::clicked, this, &LightingPanel::OnSwitch);
    connect(effectList_, &QComboBox::activated, this, &LightingPanel::OnEffectChosen);
    connect(brightness_, &BitmapSlider::positionPicked, this, &LightingPanel::OnBrightness);
    connect(speed_, &BitmapSlider::positionPicked, this, &LightingPanel::OnSpeed);
    for (std::u16string_view key : {u"CONTROL_BLFXLStaPic", u"CONTROL_BLFXLStaPic2", u"CONTROL_BLFXLStaPic3"})
        connect(picture(key), &PanelPicture::clicked, this, [this] { OnDirection(true); });
    for (std::u16string_view key : {u"CONTROL_BLFXRStaPic", u"CONTROL_BLFXRStaPic2"})
        connect(picture(key), &PanelPicture::clicked, this, [this] { OnDirection(false); });
    for (std::u16string_view key : {u"CONTROL_FYSJSStaPic", u"CONTROL_HXsjsStaPic"})
        connect(picture(key), &PanelPicture::clicked, this, &LightingPanel::OnColourful);
    connect(colour(u"CONTROL_FYYSButton"), &ColourButton::colourPicked, this,
            [this](Colour c) { OnMainColour(MainColourButton::Fy, c); });
    connect(colour(u"CONTROL_HXysButton"), &ColourButton::colourPicked, this,
            [this](Colour c) { OnMainColour(MainColourButton::Hx, c); });
    connect(colour(u"CONTROL_JTysButton"), &ColourButton::colourPicked, this,
            [this](Colour c) { OnMainColour(MainColourButton::Jt, c); });
    connect(colour(u"CONTROL_TSysButton"), &ColourButton::colourPicked, this,
            [this](Colour c) { Post("second colour", [c](LightingModel& m) { m.SetSecondColour(c); }); });
    connect(colour(u"CONTROL_CDysButton"), &ColourButton::colourPicked, this,
            [this](Colour c) { Post("third colour", [c](LightingModel& m) { m.SetThirdColour(c); }); });
    connect(picture(u"CONTROL_TSsjsStaPic"), &PanelPicture::clicked, this,
            [this] { Post("second colourful", [](LightingModel& m) { m.ToggleSecondColourful(); }); });
    connect(picture(u"CONTROL_CDsjsStaPic"), &PanelPicture::clicked, this,
            [this] { Post("third colourful", [](LightingModel& m) { m.ToggleThirdColourful(); }); });
    connect(picture(u"CONTROL_FYdjcfStaPic"), &PanelPicture::clicked, this,
            [this] { Post("trigger mode", [](LightingModel& m) { m.SetTriggerMode(0); }); });
    connect(picture(u"CONTROL_FYggcfStaPic"), &PanelPicture::clicked, this,
            [this] { Post("trigger mode", [](LightingModel& m) { m.SetTriggerMode(1); }); });
    const std::u16string_view presets[] = {u"CONTROL_HONGPIC", u"CONTROL_HUANGPIC", u"CONTROL_LVPIC",
                                           u"CONTROL_LANPIC"};
    for (int i = 0; i < 4; ++i)
        connect(picture(presets[i]), &PanelPicture::clicked, this, [this, i] { OnPreset(i); });
    connect(colour(u"CONTROL_USERysButton"), &ColourButton::colourPicked, this, &LightingPanel::OnColor);
    connect(colour(u"CONTROL_USERjsButton"), &ColourButton::colourPicked, this, &LightingPanel::OnJColor);
    connect(picture(u"CONTROL_USERgjStaPic1"), &PanelPicture::clicked, this, [this] { OnTool(kToolColor); });
    connect(picture(u"CONTROL_USERgjStaPic2"), &PanelPicture::clicked, this, [this] { OnTool(kToolJColor); });
    connect(userModes_, &QComboBox::activated, this, &LightingPanel::OnUserMode);
    connect(userModes_->lineEdit(), &QLineEdit::textEdited, this, &LightingPanel::OnRenameUserMode);
    // Each change of effect writes to the keyboard: the arrow keys do not step through the list.
    effectList_->installEventFilter(this);
}

void LightingPanel::WatchKeyButtons() {
    std::vector<CPngButton*> buttons;
    for (const uint16_t id : KeyLights::ControlIds()) {
        CPngButton* b = s_.button(id);
        buttons.push_back(b);
        if (b == nullptr) continue;
        keyButtons_[id] = b;
        // Its face covers it whole: unlit, it repaints alone, not the window's picture beneath it too.
        b->setAttribute(Qt::WA_OpaquePaintEvent);
        b->installEventFilter(this);
    }
    layer_ = new KeyLightLayer(s_.window, std::move(buttons));
}

// ---- the window's calls

void LightingPanel::RefreshForProfile(int /*profile*/, LightingRefresh why) {
    // The model shows the profile the keyboard runs; a profile button's switch follows as its own job.
    LinkState* link = &s_.link;
    s_.jobs(
        "read lighting",
        [why, link](LightingModel* m) {
            if (m == nullptr) return NoModel();
            return RunLightingRefresh(*m, link->currentProfile.load(), why);
        },
        [this](LightingSnapshot s) { Render(s); });
}

void LightingPanel::ReadLightingAgain() {
    RefreshForProfile(s_.link.currentProfile.load(), LightingRefresh::KeyboardChange);
}

void LightingPanel::RestoreLightingDefaults() {
    Post("lighting defaults", [](LightingModel& m) { m.RestoreLightingDefaults(); });
}

void LightingPanel::KeyButtonsReset() {
    colourSurfaces_ = false;
    RenderKeyButtons();
}

void LightingPanel::PaintKey(uint16_t controlId) {
    if (!stroke_.TakeClick(controlId)) return;  // the drag that ended here painted it
    if (noticeRule_.OnPaintClick(shown_)) {
        noticeUp_ = true;
        if (paintNotice_ != nullptr) {
            paintNotice_->show();
            paintNotice_->raise();
        }
    }
    PaintNow(controlId);
}

void LightingPanel::PreviewTick() {
    if (!s_.window.isVisible() || s_.window.isMinimized()) return;
    if (!gate_.Begin(clock_.elapsed())) return;
    lights_.Apply(animator_.Step(shown_.state));
    ShowKeyLights();
    layer_->CatchFaceChanges();
    gate_.End();
}

// ---- actions

void LightingPanel::Post(std::string name, std::function<void(LightingModel&)> op) {
    s_.jobs(
        std::move(name),
        [op = std::move(op)](LightingModel* m) {
            if (m == nullptr) return NoModel();
            op(*m);
            return TakeLightingSnapshot(*m);
        },
        [this](LightingSnapshot s) { Render(s); });
}

void LightingPanel::OnSwitch() {
    if (shown_.state.lightingSwitch) {
        Post("lights off", [](LightingModel& m) { m.SetLightingSwitch(false); });
        return;
    }
    // Refused while the key dialog is open: the lights stay off.
    if (s_.switchToCurrentProfile && !s_.switchToCurrentProfile()) return;
    Post("lights on", [](LightingModel& m) { m.SetLightingSwitch(true); });
}

void LightingPanel::OnEffectChosen(int row) {
    Post("select effect", [row](LightingModel& m) { m.SelectEffect(row); });
}

void LightingPanel::OnBrightness(int position) {
    Post("brightness", [position](LightingModel& m) { m.SetBrightness(position); });
}

void LightingPanel::OnSpeed(int position) {
    Post("speed", [position](LightingModel& m) { m.SetSpeed(position); });
}

void LightingPanel::OnDirection(bool first) {
    Post("direction", [first](LightingModel& m) { m.SetDirection(first); });
}

void LightingPanel::OnColourful() {
    Post("colourful", [](LightingModel& m) { m.ToggleColourful(); });
}

void LightingPanel::OnMainColour(MainColourButton button, Colour colour) {
    Post("main colour", [button, colour](LightingModel& m) { m.SetMainColour(button, colour); });
}

void LightingPanel::OnPreset(int preset) {
    Post("preset colour", [preset](LightingModel& m) { m.SetPresetColour(preset); });
}

void LightingPanel::OnUserMode(int index) {
    Post("user mode", [index](LightingModel& m) { m.SelectUserMode(index); });
}

void LightingPanel::OnRenameUserMode(const QString& text) {
    Post("rename user mode", [name = text.toStdU16String()](LightingModel& m) { m.RenameUserMode(name); });
}

void LightingPanel::OnTool(int tool) {
    Post("tool", [tool](LightingModel& m) { m.SelectTool(tool); });
}

void LightingPanel::OnColor(Colour colour) {
    Post("brush colour", [colour](LightingModel& m) { m.SetColor(colour); });
}

void LightingPanel::OnJColor(Colour colour) {
    Post("brush jcolour", [colour](LightingModel& m) { m.SetJColor(colour); });
}

void LightingPanel::PaintNow(uint16_t controlId) {
    const std::optional<Colour> colour = PaintColourNow(shown_);
    const int position = PaintPositionOfButton(controlId);
    if (!colour || position < 0) return;
    // At once on screen; the keyboard and the file follow on the worker, one write sequence per key.
    if (const auto key = KeyLights::IndexOf(controlId)) lights_.Set(*key, *colour);
    ShowKeyLights();
    shown_.keyColours[static_cast<size_t>(position)] = *colour;
    ++pendingPaints_;
    s_.jobs(
        "paint key",
        [controlId](LightingModel* m) {
            if (m == nullptr) return NoModel();
            m->PaintKey(controlId);
            return TakeLightingSnapshot(*m);
        },
        [this](LightingSnapshot s) {
            --pendingPaints_;
            Render(s);
        });
}

// ---- rendering

QWidget* LightingPanel::control(std::u16string_view key) const {
    const auto it = controls_.find(key);
    return it == controls_.end() ? nullptr : it->second;
}

std::optional<Colour> LightingPanel::KeyColourShown(uint16_t controlId) const {
    const auto key = KeyLights::IndexOf(controlId);
    return key ? lights_.colour(*key) : std::nullopt;
}

void LightingPanel::Render(const LightingSnapshot& snapshot) {
    // A read that failed keeps what the panel shows.
    if (snapshot.readResult != kLinkOk) return;
    const bool wasOn = shown_.state.lightingSwitch;
    // While paints are on their way the keys keep the colours already shown for them.
    const auto keys = shown_.keyColours;
    shown_ = snapshot;
    if (pendingPaints_ > 0) shown_.keyColours = keys;
    ++renders_;
    if (noticeUp_ && !noticeRule_.StillShown(shown_)) noticeUp_ = false;
    RenderControls();
    RenderKeyButtons();
    if (wasOn != shown_.state.lightingSwitch && s_.timersChanged) s_.timersChanged();
}

void LightingPanel::RenderControls() {
    if (effectList_ == nullptr) return;  // hidden: made and rendered again on show
    for (const PanelControl& c : PanelControls(shown_)) {
        QWidget* w = control(c.key);
        if (w == nullptr) continue;
        if (!c.picture.empty()) {
            if (auto* picture = qobject_cast<QLabel*>(w)) picture->setPixmap(Picture(c.picture));
        }
        if (auto* button = qobject_cast<ColourButton*>(w)) {
            if (const auto colour = PanelButtonColour(shown_, c.key)) button->SetColour(*colour);
        }
        // The kept-size controls take the size of what they show, at the corner the skin gives them.
        if (std::find(std::begin(kKeepSize), std::end(kKeepSize), c.key) != std::end(kKeepSize))
            w->adjustSize();
        w->setVisible(c.shown);
    }
    brightness_->SetPosition(shown_.state.BrightnessPosition());
    speed_->SetPosition(shown_.state.SpeedPosition());
    paintNotice_->setVisible(noticeUp_);
    if (noticeUp_) paintNotice_->raise();
    RenderLists();
}

void LightingPanel::RenderLists() {
    {
        const QSignalBlocker block(effectList_);
        const auto& names = shown_.effectNames;
        bool same = effectList_->count() == static_cast<int>(names.size());
        for (int i = 0; same && i < effectList_->count(); ++i)
            same = effectList_->itemText(i) == ToQt(names[static_cast<size_t>(i)]);
        if (!same) {
            effectList_->clear();
            for (const auto& name : names)
                effectList_->addItem(ToQt(name));
        }
        effectList_->setCurrentIndex(SelectedEffectRow(shown_));
    }
    const QSignalBlocker block(userModes_);
    if (userModes_->count() != kUserModeCount) {
        userModes_->clear();
        for (int i = 0; i < kUserModeCount; ++i)
            userModes_->addItem(QString());
    }
    for (int i = 0; i < kUserModeCount; ++i) {
        const QString name = ToQt(shown_.modeNames[static_cast<size_t>(i)]);
        if (userModes_->itemText(i) != name) userModes_->setItemText(i, name);
    }
    if (userModes_->currentIndex() != shown_.userMode) userModes_->setCurrentIndex(shown_.userMode);
    // The name being typed stays as it is; the list caught up with it above.
    QLineEdit* edit = userModes_->lineEdit();
    const QString current = userModes_->itemText(shown_.userMode);
    if (!edit->hasFocus() && edit->text() != current) edit->setText(current);
}

void LightingPanel::RenderKeyButtons() {
    const bool on = shown_.state.lightingSwitch;
    // Hidden, the window holds no pictures: the keys take theirs when it shows again (KeyButtonsReset).
    if (on != colourSurfaces_ && s_.window.isVisible()) {
        colourSurfaces_ = on;
        const QSize size = s_.window.size();
        const auto surface = [&](const char* file) {
            return SkinSurfaces::Instance().Get(s_.skinsDir / file, size).pixmap;
        };
        const QPixmap normal = surface(on ? "main_color0.jpg" : "main_normal.jpg");
        const QPixmap over = surface(on ? "main_color1.jpg" : "main_over.jpg");
        const QPixmap down = surface("main_down.jpg");
        const QPixmap disabled = surface("main_disable.jpg");
        for (auto& [id, b] : keyButtons_)
            b->SetSurfaces(normal, over, down, normal, disabled);
        layer_->DrawAllAgain();
        // The colour pictures are kept only while the lights are on.
        if (!on) SkinSurfaces::Instance().Trim();
    }
    if (!on) {
        lights_.Clear();
    } else if (const auto user = UserColoursShown(shown_)) {
        lights_.ApplyPositions(*user);
    }
    ShowKeyLights();
}

void LightingPanel::ShowKeyLights() {
    layer_->Show(lights_, lights_.TakeChanges());
}

// ---- keys and drags

uint16_t LightingPanel::KeyButtonAt(const QPoint& globalPos) const {
    QWidget* w = s_.window.childAt(s_.window.mapFromGlobal(globalPos));
    for (; w != nullptr && w != &s_.window; w = w->parentWidget()) {
        for (const auto& [id, b] : keyButtons_) {
            if (b == w) return KeyButtonCode(id) ? id : 0;
        }
    }
    return 0;
}

bool LightingPanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &s_.window) {
        // Hidden to the tray (not minimised) the window gives its pictures back, and so does the panel; it
        // makes them again as the window shows, before the first paint.
        if (type == QEvent::Show) HoldControls(true);
        if (type == QEvent::Hide && !s_.window.isVisible()) HoldControls(false);
        return false;
    }
    if (watched == effectList_) {
        if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right) {
                event->accept();
                return true;
            }
        }
        return false;
    }
    if (const auto key = layer_->KeyOf(watched); key && ChangesFace(type)) layer_->FaceChanging(*key);
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    // A drag paints the key buttons; the G buttons and the extra key are lit, not painted.
    const auto button = std::find_if(keyButtons_.begin(), keyButtons_.end(),
                                     [watched](const auto& k) { return k.second == watched; });
    if (button == keyButtons_.end() || !KeyButtonCode(button->first)) return false;
    auto* e = static_cast<QMouseEvent*>(event);
    const QPoint at = e->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress) {
        if (e->button() != Qt::LeftButton || !PaintColourNow(shown_)) return false;
        stroke_.Press(button->first);
    } else if (type == QEvent::MouseMove) {
        if (!stroke_.active() || !e->buttons().testFlag(Qt::LeftButton)) return false;
        for (const uint16_t id : stroke_.Over(KeyButtonAt(at)))
            PaintNow(id);
    } else if (e->button() == Qt::LeftButton && stroke_.active()) {
        stroke_.Release(KeyButtonAt(at));
    }
    return false;
}

}  // namespace vornak
