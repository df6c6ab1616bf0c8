// The lighting panel offscreen in the program's main window, on the in-process simulated keyboard: what shows
// per effect, the sliders, the switch, painting (a click and a drag), the user modes, the keyboard's own
// change and the preview. Screenshots go to $VORNAK_SHOTS when it is set.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <set>

#include "keyboard/key_buttons.h"
#include "lighting/view/lighting_panel.h"
#include "platform/ini_file.h"
#include "platform/text_format.h"
#include "skin/skin_surfaces.h"
#include "tests/app/window_fixture.h"
#include "tests/support/traffic.h"

namespace vornak::test {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kKeyA = 1058, kKeyS = 1059, kKeyD = 1060, kKeyF = 1061;

void Shot(QWidget& widget, const char* name) {
    const char* folder = std::getenv("VORNAK_SHOTS");
    if (folder == nullptr || *folder == 0) return;
    widget.grab().save(QString::fromStdString((fs::path(folder) / name).string()));
}

QImage Bitmap(WindowFixture& f, const char* file) {
    QImage image;
    std::string error;
    EXPECT_TRUE(LoadSkinPicture(f.paths.skinsDir / file, &image, &error)) << error;
    return image.convertToFormat(QImage::Format_RGB32);
}

class Panel : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(f.Ready());
        panel = dynamic_cast<LightingPanel*>(f.window->lightingPanel());
        ASSERT_NE(panel, nullptr) << "the window makes its lighting panel";
        ASSERT_TRUE(Idle());
        ASSERT_FALSE(panel->shown().effectNames.empty()) << "read at the attach";
        f.sim->ClearTraffic();
    }
    void TearDown() override { EXPECT_EQ(f.sim->violations(), 0); }

    bool Idle() {
        return ProcessUntil([&] { return !f.worker->busy(); });
    }
    QWidget* Control(const char16_t* key) {
        QWidget* w = panel->control(key);
        EXPECT_NE(w, nullptr) << QString::fromStdU16String(std::u16string(key)).toStdString();
        return w;
    }
    void Click(const char16_t* key) {
        QTest::mouseClick(Control(key), Qt::LeftButton);
        ASSERT_TRUE(Idle());
    }
    void LightsOn() {
        if (!panel->shown().state.lightingSwitch) Click(u"CONTROL_DengStaPic");
        ASSERT_TRUE(panel->shown().state.lightingSwitch);
    }
    void Choose(int effect) {
        const int row = EffectIndex(panel->shown().state.effectTable, static_cast<EffectNumber>(effect));
        ASSERT_GE(row, 0) << effect;
        panel->effectList()->setCurrentIndex(row);
        emit panel->effectList()->activated(row);
        ASSERT_TRUE(Idle());
        ASSERT_EQ(panel->shown().state.effect, effect);
    }
    int Profile() { return panel->shown().state.currentProfile; }
    uint8_t LightingByte(int field) { return f.sim->lighting()[static_cast<size_t>(Profile() * 42 + field)]; }
    Colour SimKeyColour(uint16_t button) {
        const auto colours = f.sim->keyColours();
        const size_t o = static_cast<size_t>(Profile()) * 512 + PaintPositionOfButton(button) * 3u;
        return MakeColour(colours[o], colours[o + 1], colours[o + 2]);
    }
    // The keys of the panel's controls that show.
    std::set<std::u16string> Visible() {
        std::set<std::u16string> keys;
        for (const PanelControl& c : PanelControls(panel->shown())) {
            if (panel->control(c.key)->isVisible()) keys.insert(std::u16string(c.key));
        }
        return keys;
    }
    CPngButton* Key(uint16_t id) { return f.window->button(id); }

    WindowFixture f;
    LightingPanel* panel = nullptr;
};

TEST_F(Panel, EveryControlIsPlacedFromMainIniAndLabelled) {
    for (const PanelControl& c : PanelControls(panel->shown())) {
        const SkinRect r = f.window->layout().Rect(c.key);
        QWidget* w = panel->control(c.key);
        EXPECT_EQ(w->pos(), QPoint(r.x, r.y))
            << QString::fromStdU16String(std::u16string(c.key)).toStdString();
        EXPECT_EQ(w->parentWidget(), f.window.get());
        if (!c.label.empty()) {
            EXPECT_FALSE(static_cast<QLabel*>(w)->text().isEmpty())
                << QString::fromStdU16String(std::u16string(c.key)).toStdString();
        }
    }
    EXPECT_EQ(
        static_cast<QLabel*>(Control(u"CONTROL_SpeedStatic"))->text(),
        QString::fromStdU16String(PanelLabel(f.window->layout().document(), f.texts.language(), u"Speed")));
    // The effect list names what the keyboard lists, from "Mode"/"Mode1".
    EXPECT_EQ(panel->effectList()->count(), static_cast<int>(panel->shown().state.effectTable.size()));
    EXPECT_EQ(panel->effectList()->itemText(0).toStdU16String(),
              EffectName(f.window->layout().document(), f.texts.language(), 1));
}

TEST_F(Panel, Effect17ShowsOnlyBrightnessAndThePresetsWithTheStoredOneSelected) {
    LightsOn();
    Choose(17);
    Click(u"CONTROL_LVPIC");
    EXPECT_EQ(LightingByte(17), 2);
    EXPECT_EQ(Visible(), (std::set<std::u16string>{
                             u"CONTROL_UsbStatic", u"CONTROL_DengStatic", u"CONTROL_DengStaPic",
                             u"CONTROL_XGcombox", u"CONTROL_LightStatic", u"CONTROL_LightSlider",
                             u"CONTROL_HONGPIC", u"CONTROL_HUANGPIC", u"CONTROL_LVPIC", u"CONTROL_LANPIC"}));
    for (const int id : {1129, 1130, 1131})
        EXPECT_FALSE(f.window->button(id)->isVisible());
    const auto shows = [&](const char16_t* key, const char* file) {
        return static_cast<QLabel*>(Control(key))->pixmap().toImage().convertToFormat(QImage::Format_RGB32) ==
               Bitmap(f, file);
    };
    EXPECT_TRUE(shows(u"CONTROL_LVPIC", "lvok.bmp"));
    EXPECT_TRUE(shows(u"CONTROL_HONGPIC", "hong.bmp"));
    // Read back from the keyboard, the stored preset is the selected one.
    panel->ReadLightingAgain();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(shows(u"CONTROL_LVPIC", "lvok.bmp"));
    // Hidden to the tray the panel's controls go; shown again they are made as they were.
    const std::set<std::u16string> visible = Visible();
    f.window->hide();
    ProcessFor(20);
    EXPECT_EQ(panel->effectList(), nullptr);
    f.window->show();
    ASSERT_NE(panel->effectList(), nullptr);
    EXPECT_EQ(Visible(), visible);
    EXPECT_EQ(panel->effectList()->currentIndex(), SelectedEffectRow(panel->shown()));
    EXPECT_TRUE(shows(u"CONTROL_LVPIC", "lvok.bmp"));
    EXPECT_EQ(panel->brightnessSlider()->position(), panel->shown().state.BrightnessPosition());
    Choose(1);
    EXPECT_TRUE(Control(u"CONTROL_BLFXLStaPic2")->isVisible());
    for (const int id : {1129, 1130, 1131})
        EXPECT_FALSE(f.window->button(id)->isVisible()) << "no FLIP button: the direction pictures choose";
}

TEST_F(Panel, SpeedSliderEndsShowTheirPicturesAndWriteReversed) {
    LightsOn();
    Choose(4);
    BitmapSlider* speed = panel->speedSlider();
    ASSERT_TRUE(speed->isVisible());
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(1, speed->height() / 2));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(LightingByte(2), 5);
    EXPECT_EQ(speed->shownPosition(), 0);
    EXPECT_EQ(speed->grab().toImage().convertToFormat(QImage::Format_RGB32), Bitmap(f, "6.bmp"));
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(speed->width() - 1, speed->height() / 2));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(LightingByte(2), 0);
    EXPECT_EQ(speed->grab().toImage().convertToFormat(QImage::Format_RGB32), Bitmap(f, "11.bmp"));
    // The same position again sends nothing.
    f.sim->ClearTraffic();
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(speed->width() - 2, speed->height() / 2));
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(CommandsSent(*f.sim).empty());
}

TEST_F(Panel, LightsOffHideEverythingButTheSwitchAndKeyClicksOpenTheKeyDialogAgain) {
    LightsOn();
    Choose(1);
    QLabel* notice = panel->paintNotice();
    EXPECT_FALSE(notice->isVisible());
    f.window->OnCommand(kKeyA);
    ASSERT_TRUE(Idle());
    EXPECT_FALSE(f.window->lastKeyClick()) << "a click paints while the lights are on";
    // Under an effect that does not show what was painted, the window says what the click did.
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text().toStdU16String(), f.texts[TextId::MAIN_PAINT_NOTICE]);
    EXPECT_FALSE(notice->text().isEmpty());
    Shot(*f.window, "paint_notice.png");
    Choose(20);
    EXPECT_FALSE(notice->isVisible()) << "the user mode shows the colours";

    const auto colourPictures = [&] {
        return SkinSurfaces::Instance().Holds(f.paths.skinsDir / "main_color0.jpg") +
               SkinSurfaces::Instance().Holds(f.paths.skinsDir / "main_color1.jpg");
    };
    EXPECT_EQ(colourPictures(), 2);

    Click(u"CONTROL_DengStaPic");
    EXPECT_FALSE(panel->shown().state.lightingSwitch);
    EXPECT_EQ(colourPictures(), 0) << "kept only while the lights are on";
    EXPECT_EQ(Visible(),
              (std::set<std::u16string>{u"CONTROL_UsbStatic", u"CONTROL_DengStatic", u"CONTROL_DengStaPic"}));
    // Nothing of the effect list stays on the window: neither a field drawn under it nor the arrows beside
    // it.
    const SkinLayout& layout = f.window->layout();
    QRect area;
    for (const char16_t* key : {u"CONTROL_XGcombox", u"LEFT_ARROW", u"RIGHT_ARROW"}) {
        const SkinRect r = layout.Rect(key);
        area |= QRect(r.x, r.y, r.w, r.h);
    }
    ASSERT_GT(area.width(), 200);
    const QImage shown = f.window->grab().toImage();
    // In the picture's own pixels, whatever the scale.
    const qreal ratio = shown.devicePixelRatio();
    area = QRect((QPointF(area.topLeft()) * ratio).toPoint(), (QSizeF(area.size()) * ratio).toSize());
    const QColor ground = shown.pixelColor(area.topLeft());
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            if (std::abs(c.red() - ground.red()) + std::abs(c.green() - ground.green()) +
                    std::abs(c.blue() - ground.blue()) >
                24)
                ++differing;
        }
    EXPECT_EQ(differing, 0) << "the place of the effect list is bare panel";
    Shot(*f.window, "lights_off.png");
    EXPECT_FALSE(panel->KeyColourShown(kKeyA)) << "the keys show their plain pictures";
    f.window->OnCommand(kKeyA);
    ASSERT_TRUE(ProcessUntil([&] { return f.window->lastKeyClick().has_value(); }));
    EXPECT_EQ(f.window->lastKeyClick()->controlId, kKeyA);
    // The switch is kept in the settings file.
    EXPECT_EQ(IniDocument::Load(f.paths.settingsIni).GetString(u"KEYCOLOR", u"DengCheck", u""), u"0");
}

TEST_F(Panel, APaintedKeyShowsAtOnceAndReachesTheKeyboardAndItsFile) {
    LightsOn();
    Choose(20);
    const Colour green = MakeColour(0, 200, 40);
    panel->OnJColor(green);
    Click(u"CONTROL_USERgjStaPic2");
    ASSERT_EQ(panel->shown().brushes.tool, kToolJColor);
    f.sim->ClearTraffic();

    QTest::mouseClick(Key(kKeyA), Qt::LeftButton);
    EXPECT_EQ(panel->KeyColourShown(kKeyA), green) << "on screen before the keyboard answered";
    ASSERT_TRUE(Idle());
    EXPECT_EQ(SimKeyColour(kKeyA), green);
    const auto sent = CommandsSent(*f.sim);
    EXPECT_EQ(Codes(sent), (std::vector<uint8_t>{1, 17, 2})) << "one write sequence of one key";
    const std::u16string section = FormatText(u"Mode%d", {int64_t{panel->shown().userMode}});
    const std::u16string position = FormatText(u"%d", {int64_t{PaintPositionOfButton(kKeyA)}});
    const fs::path file = UserModeFilePath(f.paths.userModePrefix, Profile());
    EXPECT_EQ(IniDocument::Load(file).GetString(section, position, u""), u"0,200,40,1");
    // The key is drawn green over its cap.
    const QImage face = f.window->grab(Key(kKeyA)->geometry()).toImage();
    const QColor middle = face.pixelColor(face.width() / 2, face.height() / 3);
    EXPECT_GT(middle.green(), middle.red() + 60) << middle.name().toStdString();
    Shot(*f.window, "effect20_painted.png");
}

TEST_F(Panel, ADragOverThreeKeysSendsThreeKeys) {
    LightsOn();
    Choose(20);
    Click(u"CONTROL_USERgjStaPic1");
    panel->OnColor(MakeColour(250, 0, 200));
    ASSERT_TRUE(Idle());
    f.sim->ClearTraffic();

    CPngButton* start = Key(kKeyS);
    const QPoint inside = start->rect().center();
    QTest::mousePress(start, Qt::LeftButton, {}, inside);
    for (const uint16_t over : {kKeyS, kKeyD, kKeyF, kKeyD}) {
        const QPoint global = Key(over)->mapToGlobal(Key(over)->rect().center());
        QMouseEvent move(QEvent::MouseMove, start->mapFromGlobal(global), global, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(start, &move);
    }
    const QPoint end = start->mapFromGlobal(Key(kKeyF)->mapToGlobal(Key(kKeyF)->rect().center()));
    QTest::mouseRelease(start, Qt::LeftButton, {}, end);
    ASSERT_TRUE(Idle());

    std::vector<uint16_t> offsets;
    for (const SentCommand& c : CommandsSent(*f.sim)) {
        if (c.code == 17) {
            EXPECT_EQ(c.length, 3);
            offsets.push_back(c.offset);
        }
    }
    std::vector<uint16_t> expected;
    for (const uint16_t id : {kKeyS, kKeyD, kKeyF})
        expected.push_back(KeyColourPositionField(Profile(), PaintPositionOfButton(id)));
    EXPECT_EQ(offsets, expected);
    EXPECT_EQ(CountCode(CommandsSent(*f.sim), 1), 3) << "one sequence per key";
    for (const uint16_t id : {kKeyS, kKeyD, kKeyF})
        EXPECT_EQ(SimKeyColour(id), MakeColour(250, 0, 200));
    EXPECT_EQ(SimKeyColour(kKeyA), panel->shown().keyColours[PaintPositionOfButton(kKeyA)]) << "not crossed";
    EXPECT_FALSE(f.window->lastKeyClick()) << "nothing went to the key dialog";
}

TEST_F(Panel, RenamingAUserModeWritesItsName) {
    LightsOn();
    Choose(20);
    QLineEdit* edit = panel->userModeList()->lineEdit();
    ASSERT_TRUE(panel->userModeList()->isVisible());
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "Night");
    ASSERT_TRUE(Idle());
    const int mode = panel->shown().userMode;
    const fs::path file = UserModeFilePath(f.paths.userModePrefix, Profile());
    EXPECT_EQ(IniDocument::Load(file).GetString(u"MODENAME", FormatText(u"%d", {int64_t{mode}}), u""),
              u"Night");
    EXPECT_EQ(panel->userModeList()->itemText(mode), QStringLiteral("Night"));
    EXPECT_EQ(edit->text(), QStringLiteral("Night")) << "the text being typed is left alone";
}

TEST_F(Panel, TheKeyboardsOwnChangeRefreshesThePanel) {
    LightsOn();
    Choose(1);
    auto lighting = f.sim->lighting();
    lighting[static_cast<size_t>(Profile() * 42)] = 12;
    lighting[static_cast<size_t>(Profile() * 42 + 3)] = 0;
    f.sim->SetLighting(lighting);
    f.sim->Raise(sim::SimEvent::SettingsChanged);
    ASSERT_TRUE(ProcessUntil([&] { return panel->shown().state.effect == 12; }));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(panel->effectList()->currentIndex(), EffectIndex(panel->shown().state.effectTable, 12));
    EXPECT_TRUE(Control(u"CONTROL_BLFXLStaPic3")->isVisible());
    EXPECT_FALSE(Control(u"CONTROL_HXysButton")->isVisible());
}

TEST_F(Panel, AFailedReadKeepsWhatThePanelShows) {
    LightsOn();
    Choose(5);
    const int renders = panel->renders();
    const int rows = panel->effectList()->count();
    f.sim->InjectFault({sim::FaultKind::StatusFF, 3, 0, 3});
    panel->ReadLightingAgain();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(panel->renders(), renders);
    EXPECT_EQ(panel->effectList()->count(), rows);
    EXPECT_TRUE(Control(u"CONTROL_HXysButton")->isVisible());
    // The list still means what it shows.
    Choose(4);
    EXPECT_EQ(LightingByte(0), 4);
}

TEST_F(Panel, ArrowKeysDoNotStepThroughTheEffectList) {
    LightsOn();
    Choose(1);
    f.sim->ClearTraffic();
    panel->effectList()->setFocus();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left, Qt::Key_Down})
        QTest::keyClick(panel->effectList(), key);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(panel->shown().state.effect, 1);
    EXPECT_EQ(panel->effectList()->currentIndex(), EffectIndex(panel->shown().state.effectTable, 1));
    EXPECT_TRUE(CommandsSent(*f.sim).empty()) << "no effect was written";
}

TEST_F(Panel, ThePreviewMovesOnlyWhileShownAndLit) {
    ProcessFor(300);
    EXPECT_EQ(panel->frames().frames(), 0) << "lights off: no preview";
    LightsOn();
    Choose(1);
    ASSERT_TRUE(ProcessUntil([&] { return panel->frames().frames() >= 3; }));
    ASSERT_TRUE(panel->KeyColourShown(kKeyA).has_value());
    const Colour first = *panel->KeyColourShown(kKeyA);
    ASSERT_TRUE(ProcessUntil([&] { return panel->KeyColourShown(kKeyA) != first; }, 3000)) << "it moves";

    // On screen, as the window system gets it: a pressed key shows its pressed picture without its light,
    // and lit again once released, its face under the light blended as the painter blends it.
    CPngButton* a = Key(kKeyA);
    // In device pixels, whatever the scale.
    const qreal ratio = f.window->devicePixelRatioF();
    const QPoint middle = (QPointF(a->geometry().center()) * ratio).toPoint();
    const auto onScreen = [&] {
        return f.window->screen()->grabWindow(f.window->winId()).toImage().pixel(middle);
    };
    const auto face = [&] {
        QImage image(a->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        QPainter p(&image);
        a->DrawFace(p);
        p.end();
        return image;
    };
    QTest::mousePress(a, Qt::LeftButton);
    ProcessFor(120);
    const QPoint centre = (QPointF(a->rect().center()) * ratio).toPoint();
    EXPECT_EQ(onScreen(), face().pixel(centre)) << "pressed";
    QTest::mouseRelease(a, Qt::LeftButton);
    ASSERT_TRUE(Idle());
    ProcessFor(120);
    const QImage lit = face();
    const auto colour = panel->KeyColourShown(kKeyA);
    ASSERT_TRUE(colour.has_value());
    EXPECT_EQ(onScreen(), KeyLightLayer::LitPixel(lit.pixel(centre), *colour)) << "lit again";
    // Pressed by the window rather than the pointer (a click while the keyboard is busy): the same.
    a->setDown(true);
    ProcessFor(120);
    EXPECT_EQ(onScreen(), face().pixel(centre)) << "pressed by the window";
    a->setDown(false);
    ProcessFor(120);
    QImage blended = lit;
    QPainter(&blended).fillRect(blended.rect(),
                                QColor(ColourR(*colour), ColourG(*colour), ColourB(*colour), 160));
    for (const QPoint at : {centre, QPoint(5, 5), QPoint(a->width() - 6, a->height() - 9)})
        EXPECT_EQ(blended.pixel(at), KeyLightLayer::LitPixel(lit.pixel(at), *colour))
            << "the painter's blend";

    // A frame on screen is what a paint of the whole window draws (at a scale above 1 the offscreen screen
    // gives the top left part of the window's pixels).
    {
        const QImage screen =
            f.window->screen()->grabWindow(f.window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage painted = f.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_TRUE(painted.rect().contains(screen.rect()));
        EXPECT_TRUE(screen == painted.copy(screen.rect())) << "the frame on screen";
    }
    // A widget the window stacks above the keys stays drawn over the moving lights.
    {
        QLabel cover(f.window.get());
        cover.setGeometry(a->geometry().adjusted(4, 4, -4, -4));
        cover.setAutoFillBackground(true);
        cover.setPalette(QPalette(QColor(12, 34, 56)));
        cover.show();
        const int64_t before = panel->frames().frames();
        ASSERT_TRUE(ProcessUntil([&] { return panel->frames().frames() >= before + 3; }));
        EXPECT_EQ(onScreen(), qRgb(12, 34, 56)) << "covered";
    }
    ProcessFor(120);
    EXPECT_EQ(onScreen(), KeyLightLayer::LitPixel(face().pixel(centre), *panel->KeyColourShown(kKeyA)))
        << "uncovered";

    f.window->hide();
    ProcessFor(60);
    const int64_t frames = panel->frames().frames();
    ProcessFor(400);
    EXPECT_EQ(panel->frames().frames(), frames) << "hidden: no frame computed";
    f.window->showMinimized();
    ProcessFor(60);
    const int64_t minimised = panel->frames().frames();
    ProcessFor(300);
    EXPECT_EQ(panel->frames().frames(), minimised) << "minimised: no frame computed";

    f.window->showNormal();
    ASSERT_TRUE(ProcessUntil([&] { return panel->frames().frames() > minimised; }));
    // Effect 7 shows the plain pictures.
    Choose(7);
    ASSERT_TRUE(ProcessUntil([&] { return !panel->KeyColourShown(kKeyA).has_value(); }));
}

// The screenshots of the note: effects 1, 12 and 17 in their preview, 20 with painted keys.
TEST_F(Panel, Screenshots) {
    LightsOn();
    for (const int effect : {1, 12, 17}) {
        Choose(effect);
        const int64_t after = panel->frames().frames() + 4;
        ASSERT_TRUE(ProcessUntil([&] { return panel->frames().frames() >= after; }));
        const std::string name = "effect" + std::to_string(effect) + ".png";
        Shot(*f.window, name.c_str());
    }
    Choose(20);
    Click(u"CONTROL_USERgjStaPic1");
    const Colour colours[] = {MakeColour(255, 40, 0), MakeColour(255, 200, 0), MakeColour(0, 220, 90),
                              MakeColour(0, 120, 255)};
    size_t i = 0;
    for (const KeyButton& k : kKeyButtons) {
        if (i % 13 == 0) {
            panel->OnColor(colours[(i / 13) % 4]);
            ASSERT_TRUE(Idle());
        }
        f.window->OnCommand(k.controlId);
        ++i;
    }
    ASSERT_TRUE(Idle());
    for (const KeyButton& k : kKeyButtons)
        EXPECT_TRUE(panel->KeyColourShown(k.controlId).has_value());
    Shot(*f.window, "effect20.png");
}

}  // namespace
}  // namespace vornak::test
