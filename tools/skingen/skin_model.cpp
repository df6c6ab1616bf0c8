#include "skin_model.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <tuple>

#include "keyboard/key_buttons.h"
#include "keyboard/key_table.h"

namespace vornak::skingen {

namespace {

using L = Look;

// Surfaces of the main window's controls, by the picture that serves as normal, over, down, disabled and
// selected.
const std::array<std::string, 5> kMainPlain = {"main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                               "main_normal.jpg", "main_normal.jpg"};
const std::array<std::string, 5> kMainApply = {"main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                               "main_disable.jpg", "main_normal.jpg"};
const std::array<std::string, 5> kMainMarked = {"main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                                "main_normal.jpg", "main_disable.jpg"};
const std::array<std::string, 5> kMainLink = {"main_normal.jpg", "main_over.jpg", "main_disable.jpg",
                                              "main_normal.jpg", "main_normal.jpg"};
const std::array<std::string, 5> kMainLamp = {"main_normal.jpg", "main_normal.jpg", "main_normal.jpg",
                                              "main_normal.jpg", "main_over.jpg"};
const std::array<std::string, 5> kMainFlip0 = {"main_normal.jpg", "main_normal.jpg", "main_normal.jpg",
                                               "main_normal.jpg", "main_disable.jpg"};
const std::array<std::string, 5> kMainStill = {"main_normal.jpg", "main_normal.jpg", "main_normal.jpg",
                                               "main_normal.jpg", "main_normal.jpg"};
const std::array<std::string, 5> kKeySet = {"key_normal.jpg", "key_over.jpg", "key_down.jpg",
                                            "key_normal.jpg", "key_normal.jpg"};
const std::array<std::string, 5> kMacroSet = {"macro_normal.jpg", "macro_over.jpg", "macro_down.jpg",
                                              "macro_disable.jpg", "macro_normal.jpg"};
const std::array<std::string, 5> kMacroRecordSet = {"macro_normal.jpg", "macro_over.jpg", "macro_down.jpg",
                                                    "macro_disable.jpg", "macro_other.jpg"};
const std::array<std::string, 5> kProfileSet = {"Profile_normal.jpg", "Profile_over.jpg", "Profile_down.jpg",
                                                "Profile_down.jpg", "Profile_normal.jpg"};
const std::array<std::string, 5> kUpdateSet = {"update_normal.jpg", "update_over.jpg", "update_over.jpg",
                                               "update_over.jpg", "update_over.jpg"};

const std::array<Look, 5> kLooksPlain = {L::Normal, L::Over, L::Down, L::Normal, L::Normal};
const std::array<Look, 5> kLooksApply = {L::Normal, L::Over, L::Down, L::Disabled, L::Normal};
const std::array<Look, 5> kLooksMarked = {L::Normal, L::Over, L::Down, L::Selected, L::Normal};
const std::array<Look, 5> kLooksLink = {L::Normal, L::Over, L::Normal, L::Down, L::Normal};
const std::array<Look, 5> kLooksLamp = {L::Normal, L::Selected, L::Normal, L::Normal, L::Normal};
const std::array<Look, 5> kLooksFlip0 = {L::Normal, L::Normal, L::Normal, L::Selected, L::Normal};
const std::array<Look, 5> kLooksStill = {L::Normal, L::Normal, L::Normal, L::Normal, L::Normal};

// Main window sets: the four state pictures, and the two colour-mode pictures of the key buttons.
constexpr unsigned kMainSet = 1;
constexpr unsigned kColourSet = 2;
// Key dialog sets.
constexpr unsigned kSetKey = 1, kSetMacro = 2, kSetMacro2 = 4, kSetMedia = 8, kSetFunction = 16,
                   kSetOther = 32;

// Keyboard geometry: one key unit, the gap inside it, and where the blocks start.
constexpr int kUnit = 40;
constexpr int kCaseX = 30, kCaseY = 118, kCaseW = 1020, kCaseH = 314;
constexpr int kKeysX = kCaseX + 20, kKeysY = kCaseY + 34;
constexpr double kMainBlock = 1.5, kNavBlock = kMainBlock + 15.5, kPadBlock = kNavBlock + 3.5;

QRect KeyRect(double block, double x, int row, double w = 1, double h = 1) {
    const double top = row == 0 ? 0 : row + 0.5;
    const int left = kKeysX + static_cast<int>((block + x) * kUnit + 0.5);
    const int y = kKeysY + static_cast<int>(top * kUnit + 0.5);
    const int width = static_cast<int>(w * kUnit + 0.5);
    const int height = static_cast<int>(h * kUnit + 0.5);
    return QRect(left + 2, y + 2, width - 4, height - 4);
}

struct KeyPlace {
    KeyCode code;
    double block;
    double x;
    int row;
    double w = 1;
    double h = 1;
};

std::vector<KeyPlace> KeyPlaces() {
    std::vector<KeyPlace> k;
    const double m = kMainBlock, n = kNavBlock, p = kPadBlock;
    // Row 0: Esc, F1..F12, Print Screen, Scroll Lock, Pause.
    k.push_back({0x001, m, 0, 0});
    const KeyCode f[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58};
    for (int i = 0; i < 12; ++i)
        k.push_back({f[i], m, 2 + i + (i / 4) * 0.5, 0});
    k.push_back({0x137, n, 0, 0});
    k.push_back({0x046, n, 1, 0});
    k.push_back({0x045, n, 2, 0});
    // Row 1.
    const KeyCode r1[13] = {0x29, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D};
    for (int i = 0; i < 13; ++i)
        k.push_back({r1[i], m, double(i), 1});
    k.push_back({0x00E, m, 13, 1, 2});
    k.push_back({0x152, n, 0, 1});
    k.push_back({0x147, n, 1, 1});
    k.push_back({0x149, n, 2, 1});
    const KeyCode pad1[4] = {0x145, 0x135, 0x037, 0x04A};
    for (int i = 0; i < 4; ++i)
        k.push_back({pad1[i], p, double(i), 1});
    // Row 2.
    k.push_back({0x00F, m, 0, 2, 1.5});
    for (int i = 0; i < 12; ++i)
        k.push_back({KeyCode(0x10 + i), m, 1.5 + i, 2});
    k.push_back({0x02B, m, 13.5, 2, 1.5});
    k.push_back({0x153, n, 0, 2});
    k.push_back({0x14F, n, 1, 2});
    k.push_back({0x151, n, 2, 2});
    k.push_back({0x047, p, 0, 2});
    k.push_back({0x048, p, 1, 2});
    k.push_back({0x049, p, 2, 2});
    k.push_back({0x04E, p, 3, 2, 1, 2});
    // Row 3.
    k.push_back({0x03A, m, 0, 3, 1.75});
    for (int i = 0; i < 11; ++i)
        k.push_back({KeyCode(0x1E + i), m, 1.75 + i, 3});
    k.push_back({0x01C, m, 12.75, 3, 2.25});
    k.push_back({0x04B, p, 0, 3});
    k.push_back({0x04C, p, 1, 3});
    k.push_back({0x04D, p, 2, 3});
    // Row 4.
    k.push_back({0x02A, m, 0, 4, 2.25});
    for (int i = 0; i < 10; ++i)
        k.push_back({KeyCode(0x2C + i), m, 2.25 + i, 4});
    k.push_back({0x036, m, 12.25, 4, 2.75});
    k.push_back({0x148, n, 1, 4});
    k.push_back({0x04F, p, 0, 4});
    k.push_back({0x050, p, 1, 4});
    k.push_back({0x051, p, 2, 4});
    k.push_back({0x11C, p, 3, 4, 1, 2});
    // Row 5 (the Fn key sits between Right Alt and App; it is placed separately).
    k.push_back({0x01D, m, 0, 5, 1.25});
    k.push_back({0x15B, m, 1.25, 5, 1.25});
    k.push_back({0x038, m, 2.5, 5, 1.25});
    k.push_back({0x039, m, 3.75, 5, 6});
    k.push_back({0x138, m, 9.75, 5});
    k.push_back({0x15D, m, 11.75, 5});
    k.push_back({0x15C, m, 12.75, 5});
    k.push_back({0x11D, m, 13.75, 5, 1.25});
    k.push_back({0x14B, n, 0, 5});
    k.push_back({0x150, n, 1, 5});
    k.push_back({0x14D, n, 2, 5});
    k.push_back({0x052, p, 0, 5, 2});
    k.push_back({0x053, p, 2, 5});
    return k;
}

// Legends as keyboards print them; the key table's names are longer than a key cap.
QString Legend(KeyCode code) {
    switch (code) {
        case 0x137:
            return QStringLiteral("PrtSc");
        case 0x046:
            return QStringLiteral("ScrLk");
        case 0x045:
            return QStringLiteral("Pause");
        case 0x152:
            return QStringLiteral("Ins");
        case 0x153:
            return QStringLiteral("Del");
        case 0x147:
            return QStringLiteral("Home");
        case 0x14F:
            return QStringLiteral("End");
        case 0x149:
            return QStringLiteral("PgUp");
        case 0x151:
            return QStringLiteral("PgDn");
        case 0x145:
            return QStringLiteral("Num\nLock");
        case 0x11C:
            return QStringLiteral("Enter");
        case 0x036:
            return QStringLiteral("Shift");
        case 0x11D:
            return QStringLiteral("Ctrl");
        case 0x138:
            return QStringLiteral("Alt");
        case 0x15C:
            return QStringLiteral("Win");
        case 0x15D:
            return QStringLiteral("Menu");
        case 0x039:
            return QString();
        case 0x04A:
            return QStringLiteral("\u2212");
        default:
            break;
    }
    const std::u16string name = KeyCodeName(code, LanguageTexts());
    QString text = QString::fromStdU16String(name);
    if (text.startsWith(QStringLiteral("Num "))) text = text.mid(4);
    return text;
}

Control ImageButton(std::string key, QRect rect, Face face, std::array<std::string, 5> surfaces,
                    std::array<Look, 5> looks, unsigned sets = 1) {
    Control c;
    c.key = std::move(key);
    c.rect = rect;
    c.place = Place::ImageButton;
    c.face = face;
    c.surfaces = std::move(surfaces);
    c.looks = looks;
    c.sets = sets;
    return c;
}

Control Placed(std::string key, QRect rect, Widget widget, Group group = Group::Always,
               Place place = Place::Control) {
    Control c;
    c.key = std::move(key);
    c.rect = rect;
    c.place = place;
    c.widget = widget;
    c.group = group;
    return c;
}

Control WithGlyph(Control c, Glyph g) {
    c.glyph = g;
    return c;
}

Control WithCaption(Control c, QString caption, int points = 9) {
    c.caption = std::move(caption);
    c.captionPoints = points;
    return c;
}

Control WithText(Control c, QString text) {
    c.widgetText = std::move(text);
    return c;
}

Control WithBitmap(Control c, std::string bitmap) {
    c.widget = Widget::Picture;
    c.bitmap = std::move(bitmap);
    return c;
}

Control Colour(Control c, QColor colour) {
    c.widget = Widget::ColourButton;
    c.colour = colour;
    return c;
}

Dialog MainDialog() {
    Dialog d;
    d.id = DialogId::Main;
    d.ini = "Main.ini";
    d.background = "main_back.jpg";
    d.mask = "main_mask.bmp";
    d.size = QSize(1080, 700);
    const int W = d.size.width();
    auto& c = d.controls;

    // Title bar.
    const int iy = 14;
    c.push_back(WithGlyph(
        ImageButton("CONTROL_CLOSE", QRect(W - 54, iy, 30, 30), Face::Icon, kMainPlain, kLooksPlain),
        Glyph::Close));
    c.back().danger = true;
    c.push_back(WithGlyph(
        ImageButton("CONTROL_MINIMIZE", QRect(W - 90, iy, 30, 30), Face::Icon, kMainPlain, kLooksPlain),
        Glyph::Minimize));
    c.push_back(WithGlyph(
        ImageButton("CONTROL_HELP", QRect(W - 126, iy, 30, 30), Face::Icon, kMainPlain, kLooksPlain),
        Glyph::Help));
    c.push_back(WithGlyph(
        ImageButton("CONTROL_MENU", QRect(W - 162, iy, 30, 30), Face::Icon, kMainPlain, kLooksPlain),
        Glyph::Menu));
    c.push_back(
        WithGlyph(ImageButton("TORVEL_LINK", QRect(W - 198, iy, 30, 30), Face::Icon, kMainLink, kLooksLink),
                  Glyph::Link));

    // Profile bar.
    for (int i = 0; i < 3; ++i) {
        Control b = ImageButton("FUNC_PROFILE" + std::to_string(i + 1), QRect(34 + i * 112, 70, 112, 34),
                                Face::Segment, kMainMarked, kLooksMarked);
        b.segment = i;
        c.push_back(WithCaption(b, QStringLiteral("Profile %1").arg(i + 1)));
    }
    c.push_back(WithCaption(WithGlyph(ImageButton("FUNC_PROFILES", QRect(384, 70, 200, 34), Face::TextButton,
                                                  kMainPlain, kLooksPlain),
                                      Glyph::Layers),
                            QStringLiteral("$Profile0"), 10));
    c.push_back(WithGlyph(
        ImageButton("FUNC_SWITCH", QRect(592, 70, 34, 34), Face::TextButton, kMainMarked, kLooksMarked),
        Glyph::Swap));
    c.push_back(WithCaption(
        ImageButton("FUNC_MACRO", QRect(W - 174, 70, 140, 34), Face::TextButton, kMainPlain, kLooksPlain),
        QStringLiteral("Macros")));

    // Keyboard: lamps in the top bezel, the layer lamp over the G keys, the keys.
    const QString lamps[3] = {QStringLiteral("CAPS"), QStringLiteral("NUM"), QStringLiteral("SCROLL")};
    const char* lampKeys[3] = {"LOCK_CAPS", "LOCK_NUM", "LOCK_SCROLL"};
    for (int i = 0; i < 3; ++i) {
        Control lamp =
            ImageButton(lampKeys[i], QRect(KeyRect(kPadBlock, 0, 0).left() + i * 54, kCaseY + 9, 52, 18),
                        Face::Indicator, kMainLamp, kLooksLamp);
        lamp.legend = lamps[i];
        c.push_back(lamp);
    }
    {
        Control ab = ImageButton("LOCK_AB", KeyRect(0, 0, 0), Face::Indicator, kMainLamp, kLooksLamp);
        ab.legend = QStringLiteral("A/B");
        c.push_back(ab);
    }
    for (const KeyPlace& k : KeyPlaces()) {
        char key[16];
        std::snprintf(key, sizeof key, "KEY_%03X", KeySlot(k.code));
        Control b = ImageButton(key, KeyRect(k.block, k.x, k.row, k.w, k.h), Face::KeyCap, kMainMarked,
                                kLooksMarked, kMainSet | kColourSet);
        b.legend = Legend(k.code);
        c.push_back(b);
    }
    {
        Control fn = ImageButton("KEY_FN", KeyRect(kMainBlock, 10.75, 5), Face::KeyCap, kMainMarked,
                                 kLooksMarked, kMainSet | kColourSet);
        fn.legend = QStringLiteral("Fn");
        c.push_back(fn);
    }
    for (int i = 0; i < 9; ++i) {
        // G1..G5 run down the left column and carry the layer's labels (A1.., B1..) from the program; G6..G9
        // sit over the number pad.
        const QRect r = i < 5 ? KeyRect(0, 0, i + 1) : KeyRect(kPadBlock, i - 5, 0);
        Control g = ImageButton("FUNC_G" + std::to_string(i + 1), r, Face::KeyCap, kMainMarked, kLooksMarked,
                                kMainSet | kColourSet);
        if (i < 5) {
            g.cornerLegend = QStringLiteral("G%1").arg(i + 1);
            g.caption = QStringLiteral("A%1").arg(i + 1);
            g.captionPoints = 9;
        } else {
            g.legend = QStringLiteral("G%1").arg(i + 1);
        }
        c.push_back(g);
    }

    // Lighting panel.
    const int px = 50, py = 458;
    c.push_back(WithText(Placed("CONTROL_UsbStatic", QRect(px, py, 240, 22), Widget::Heading), "Usb"));
    c.push_back(WithText(Placed("CONTROL_DengStatic", QRect(px, 500, 150, 22), Widget::Label), "Deng"));
    c.push_back(
        WithBitmap(Placed("CONTROL_DengStaPic", QRect(236, 498, 52, 26), Widget::Picture), "dengdown.bmp"));
    c.push_back(WithText(Placed("CONTROL_XGcombox", QRect(px, 540, 238, 30), Widget::Combo), "1"));
    c.push_back(WithText(Placed("CONTROL_umCombo", QRect(px, 584, 238, 28), Widget::EditCombo, Group::User),
                         "Gaming WASD"));
    for (const char* key : {"LEFT_ARROW", "RIGHT_ARROW"}) {
        Control a;
        a.key = key;
        a.place = Place::Arrow;
        a.rect = std::string(key) == "LEFT_ARROW" ? QRect(34, 547, 12, 16) : QRect(292, 547, 12, 16);
        c.push_back(a);
    }

    c.push_back(WithText(Placed("CONTROL_LightStatic", QRect(330, 462, 240, 20), Widget::Label), "Light"));
    c.push_back(
        WithBitmap(Placed("CONTROL_LightSlider", QRect(330, 486, 240, 28), Widget::Picture), "4.bmp"));
    c.push_back(WithText(Placed("CONTROL_SpeedStatic", QRect(330, 528, 240, 20), Widget::Label, Group::Speed),
                         "Speed"));
    c.push_back(WithBitmap(
        Placed("CONTROL_SpeedSlider", QRect(330, 552, 240, 28), Widget::Picture, Group::Speed), "9.bmp"));
    for (int i = 0; i < 4; ++i) {
        Control o = ImageButton("FUNC_REPORT" + std::to_string(i + 1), QRect(330 + i * 44, 594, 40, 24),
                                Face::TextButton, kMainMarked, kLooksMarked);
        o.legend = QString::number(i + 1);
        o.group = Group::Hidden;
        c.push_back(o);
    }

    // Direction: the plain keys for effect 18, "2" for effects 1..3, "3" for effect 12, all in one place.
    const int dx = 640;
    c.push_back(WithText(
        Placed("CONTROL_BLFXStatic", QRect(dx, 462, 180, 20), Widget::Label, Group::Direction), "FX"));
    c.push_back(
        WithBitmap(Placed("CONTROL_BLFXLStaPic", QRect(dx, 488, 84, 44), Widget::Picture, Group::Direction),
                   "kuosandown.bmp"));
    c.push_back(WithBitmap(
        Placed("CONTROL_BLFXRStaPic", QRect(dx + 92, 488, 84, 44), Widget::Picture, Group::Direction),
        "julong.bmp"));
    c.push_back(WithText(Placed("CONTROL_BLFXStatic2", QRect(dx, 462, 180, 20), Widget::Label,
                                Group::Direction2, Place::KeepSize),
                         "FX"));
    c.push_back(WithBitmap(Placed("CONTROL_BLFXLStaPic2", QRect(dx, 488, 84, 44), Widget::Picture,
                                  Group::Direction2, Place::KeepSize),
                           "leftdown.bmp"));
    c.push_back(WithBitmap(Placed("CONTROL_BLFXRStaPic2", QRect(dx + 92, 488, 84, 44), Widget::Picture,
                                  Group::Direction2, Place::KeepSize),
                           "rightup.bmp"));
    c.push_back(WithText(Placed("CONTROL_BLFXStatic3", QRect(dx, 462, 180, 20), Widget::Label,
                                Group::Direction3, Place::KeepSize),
                         "FX"));
    c.push_back(WithBitmap(Placed("CONTROL_BLFXLStaPic3", QRect(dx, 488, 84, 44), Widget::Picture,
                                  Group::Direction3, Place::KeepSize),
                           "updown.bmp"));
    // The right-hand picture of effect 12 shares its place with the plain key's.
    {
        // Shown by the program with the direction pictures: not part of the bare background.
        Control f0 = WithGlyph(
            ImageButton("FLIP_0", QRect(dx, 546, 40, 28), Face::TextButton, kMainFlip0, kLooksFlip0),
            Glyph::Dot);
        Control f1 = WithGlyph(
            ImageButton("FLIP_1", QRect(dx + 46, 546, 40, 28), Face::TextButton, kMainMarked, kLooksMarked),
            Glyph::Left);
        Control f2 = WithGlyph(
            ImageButton("FLIP_2", QRect(dx + 92, 546, 40, 28), Face::TextButton, kMainMarked, kLooksMarked),
            Glyph::Right);
        for (Control* f : {&f0, &f1, &f2}) {
            f->group = Group::Direction2;
            c.push_back(*f);
        }
    }
    c.push_back(WithText(Placed("CONTROL_FYCFStatic", QRect(dx, 592, 70, 20), Widget::Label, Group::Hidden),
                         QStringLiteral("Trigger")));
    c.push_back(WithBitmap(
        Placed("CONTROL_FYdjcfStaPic", QRect(dx + 72, 590, 48, 24), Widget::Picture, Group::Hidden),
        "sjsdown.bmp"));
    c.push_back(
        WithText(Placed("CONTROL_FYdjcfStatic", QRect(dx + 122, 592, 60, 20), Widget::Label, Group::Hidden),
                 QStringLiteral("Press")));
    c.push_back(WithBitmap(
        Placed("CONTROL_FYggcfStaPic", QRect(dx + 72, 614, 48, 24), Widget::Picture, Group::Hidden),
        "sjsup.bmp"));
    c.push_back(
        WithText(Placed("CONTROL_FYggcfStatc", QRect(dx + 122, 616, 60, 20), Widget::Label, Group::Hidden),
                 QStringLiteral("Release")));

    // Colours: FY (effects 6, 16) and HX (the others) share one place; presets for effect 17, the brushes of
    // the user mode, and the colour groups the panel never shows.
    const int cx = 860, bx = 968;
    for (auto [group, label, button, dc, pic] :
         {std::tuple{Group::Fy, "CONTROL_FYYSStatic", "CONTROL_FYYSButton", "CONTROL_FYSJSStatic",
                     "CONTROL_FYSJSStaPic"},
          std::tuple{Group::Hx, "CONTROL_HXysStatic", "CONTROL_HXysButton", "CONTROL_HXsjsStatic",
                     "CONTROL_HXsjsStaPic"}}) {
        c.push_back(WithText(Placed(label, QRect(cx, 464, 100, 20), Widget::Label, group), "Color"));
        c.push_back(
            Colour(Placed(button, QRect(bx, 460, 64, 28), Widget::ColourButton, group), QColor(255, 0, 0)));
        c.push_back(WithText(Placed(dc, QRect(cx, 504, 100, 20), Widget::Label, group), "DC"));
        c.push_back(WithBitmap(Placed(pic, QRect(bx, 502, 48, 24), Widget::Picture, group), "sjsdown.bmp"));
    }
    const char* presets[4][2] = {{"CONTROL_HONGPIC", "hongok.bmp"},
                                 {"CONTROL_HUANGPIC", "huang.bmp"},
                                 {"CONTROL_LVPIC", "lv.bmp"},
                                 {"CONTROL_LANPIC", "lan.bmp"}};
    for (int i = 0; i < 4; ++i) {
        c.push_back(WithBitmap(
            Placed(presets[i][0], QRect(cx + i * 46, 460, 38, 38), Widget::Picture, Group::Presets),
            presets[i][1]));
    }
    c.push_back(WithText(Placed("CONTROL_JTysStatic", QRect(cx, 464, 100, 20), Widget::Label, Group::Hidden),
                         "Color"));
    c.push_back(
        Colour(Placed("CONTROL_JTysButton", QRect(bx, 460, 64, 28), Widget::ColourButton, Group::Hidden),
               QColor(255, 0, 0)));
    for (auto [colour, colourful, button, pic] : {std::tuple{"CONTROL_TSysStatic", "CONTROL_TSsjsStatic",
                                                             "CONTROL_TSysButton", "CONTROL_TSsjsStaPic"},
                                                  std::tuple{"CONTROL_CDysStatic", "CONTROL_CDsjsStatic",
                                                             "CONTROL_CDysButton", "CONTROL_CDsjsStaPic"}}) {
        c.push_back(WithText(Placed(colour, QRect(cx, 548, 100, 20), Widget::Label, Group::Hidden), "Color"));
        c.push_back(Colour(Placed(button, QRect(bx, 544, 64, 28), Widget::ColourButton, Group::Hidden),
                           QColor(255, 255, 255)));
        c.push_back(WithText(Placed(colourful, QRect(cx, 588, 100, 20), Widget::Label, Group::Hidden), "DC"));
        c.push_back(
            WithBitmap(Placed(pic, QRect(bx, 586, 48, 24), Widget::Picture, Group::Hidden), "sjsup.bmp"));
    }
    c.push_back(WithText(Placed("CONTROL_USERysStatic", QRect(cx, 464, 100, 20), Widget::Label, Group::User),
                         "Color"));
    c.push_back(
        Colour(Placed("CONTROL_USERysButton", QRect(bx, 460, 64, 28), Widget::ColourButton, Group::User),
               QColor(0x22, 0xd3, 0xee)));
    c.push_back(WithText(Placed("CONTROL_USERjsStatic", QRect(cx, 504, 100, 20), Widget::Label, Group::User),
                         "JColor"));
    c.push_back(
        Colour(Placed("CONTROL_USERjsButton", QRect(bx, 500, 64, 28), Widget::ColourButton, Group::User),
               QColor(0xff, 0x3d, 0x7f)));
    c.push_back(
        WithText(Placed("CONTROL_USERgjStatic", QRect(cx, 552, 90, 20), Widget::Label, Group::User), "Tool"));
    c.push_back(
        WithBitmap(Placed("CONTROL_USERgjStaPic1", QRect(950, 542, 40, 40), Widget::Picture, Group::User),
                   "user1down.bmp"));
    c.push_back(
        WithBitmap(Placed("CONTROL_USERgjStaPic2", QRect(996, 542, 40, 40), Widget::Picture, Group::User),
                   "user2up.bmp"));

    // Footer.
    const int fy = 648;
    c.push_back(WithCaption(
        ImageButton("TORVEL_VER", QRect(34, fy + 5, 220, 24), Face::Background, kMainStill, kLooksStill),
        QStringLiteral("Vornak 0.1"), 8));
    c.push_back(
        WithBitmap(Placed("CONTROL_JDTStatic", QRect(602, fy + 3, 28, 28), Widget::Picture), "jdt3.bmp"));
    c.push_back(WithCaption(
        ImageButton("FUNC_DEFAULT", QRect(W - 436, fy, 96, 34), Face::TextButton, kMainMarked, kLooksMarked),
        QStringLiteral("Defaults")));
    c.push_back(WithCaption(ImageButton("CONTROL2_APPLY", QRect(W - 334, fy, 96, 34), Face::PrimaryButton,
                                        kMainApply, kLooksApply),
                            QStringLiteral("Apply")));
    c.push_back(WithCaption(
        ImageButton("CONTROL_OK", QRect(W - 232, fy, 96, 34), Face::TextButton, kMainPlain, kLooksPlain),
        QStringLiteral("OK")));
    c.push_back(WithCaption(
        ImageButton("CONTROL_CANCEL", QRect(W - 130, fy, 96, 34), Face::TextButton, kMainPlain, kLooksPlain),
        QStringLiteral("Cancel")));

    d.pictures = {{"main_normal.jpg", kMainSet, 0},
                  {"main_over.jpg", kMainSet, 1},
                  {"main_down.jpg", kMainSet, 2},
                  {"main_disable.jpg", kMainSet, 3},
                  {"main_color0.jpg", kColourSet, 0, 0, true},
                  {"main_color1.jpg", kColourSet, 1, 0, true}};
    return d;
}

Dialog CompositeDialog() {
    Dialog d;
    d.id = DialogId::Composite;
    d.ini = "Composite.ini";
    d.background = "composite_back.jpg";
    d.mask = "composite_mask.bmp";
    d.size = QSize(560, 440);
    auto& c = d.controls;
    const unsigned general = kSetKey | kSetMacro2;
    const std::array<Look, 5> tabLooks = {L::Normal, L::Over, L::Down, L::Disabled, L::Normal};
    const std::array<Look, 5> titleLooks = {L::Normal, L::Normal, L::Normal, L::Selected, L::Normal};

    c.push_back(WithGlyph(
        ImageButton("CONTROL_TITLE", QRect(22, 12, 34, 32), Face::Title, kKeySet, titleLooks, general),
        Glyph::Keycap));
    c.push_back(
        WithText(Placed("KEY_SETTING", QRect(66, 17, 300, 24), Widget::Heading), "KEY_SETTING_TISHI"));
    c.push_back(WithGlyph(
        ImageButton("CONTROL_OSK", QRect(462, 13, 32, 30), Face::Icon, kKeySet, kLooksApply, general),
        Glyph::Keyboard));
    c.push_back(WithGlyph(
        ImageButton("CONTROL_CLEAR", QRect(502, 13, 32, 30), Face::Icon, kKeySet, kLooksApply, general),
        Glyph::Eraser));
    const char* tabs[4][2] = {{"CONTROL_KEY", "Key"},
                              {"CONTROL_MACRO", "Macro"},
                              {"CONTROL_MEDIA", "Media"},
                              {"CONTROL_FUNCTION", "Function"}};
    for (int i = 0; i < 4; ++i) {
        c.push_back(WithCaption(
            ImageButton(tabs[i][0], QRect(24 + i * 126, 58, 124, 34), Face::Tab, kKeySet, tabLooks, general),
            tabs[i][1]));
    }
    {
        Control mask = ImageButton("CONTROL_MASK", QRect(20, 92, 520, 290), Face::PageMask, kKeySet,
                                   kLooksStill, kSetKey | kSetMacro | kSetMacro2 | kSetMedia | kSetFunction);
        c.push_back(mask);
    }

    // Single key, multimedia and function pages.
    c.push_back(
        WithText(Placed("TISHI_SINGLE_STATIC", QRect(40, 116, 320, 22), Widget::Label), "SINGLE_STATIC"));
    c.push_back(WithText(Placed("FUNC_KEY_INPUT", QRect(40, 144, 320, 36), Widget::Edit), "Left Ctrl"));
    c.push_back(
        WithText(Placed("MEDIA_SETTING_TISHI", QRect(40, 116, 320, 22), Widget::Label), "MEDIA_EDIT_TISHI"));
    c.push_back(
        WithText(Placed("FUNC_MEDIA_SELECT", QRect(40, 144, 320, 32), Widget::Combo), "Play / Pause"));
    c.push_back(WithText(Placed("FUNCTION_KEY_SETTING_TISHI", QRect(40, 116, 320, 22), Widget::Label),
                         "FUNCTION_TISHI"));
    c.push_back(WithText(Placed("FUNC_FUNCTION_SELECT", QRect(40, 144, 320, 32), Widget::Combo), "Copy"));

    // Macro page.
    const std::array<Look, 5> recordLooks = {L::Normal, L::Over, L::Down, L::Disabled, L::Selected};
    c.push_back(
        WithText(Placed("MARCO_NAME_SETTING", QRect(36, 106, 70, 24), Widget::Label), "MACRO_NAME_SETTING"));
    c.push_back(WithText(Placed("FUNC_MACRO_LIST", QRect(108, 104, 250, 28), Widget::EditCombo), "Macro1"));
    c.push_back(WithGlyph(ImageButton("FUNC_MACRO_ADD", QRect(366, 104, 28, 28), Face::TextButton, kMacroSet,
                                      kLooksApply, kSetMacro | kSetOther),
                          Glyph::Plus));
    c.push_back(WithGlyph(ImageButton("FUNC_MACRO_DELETE", QRect(398, 104, 28, 28), Face::TextButton,
                                      kMacroSet, kLooksApply, kSetMacro | kSetOther),
                          Glyph::Minus));
    c.push_back(Placed("FUNC_MACRO_LIST2", QRect(36, 140, 240, 230), Widget::List));
    c.push_back(WithCaption(ImageButton("FUNC_MACRO_RECORD", QRect(288, 140, 104, 32), Face::PrimaryButton,
                                        kMacroRecordSet, recordLooks, kSetMacro | kSetOther),
                            "Record"));
    const char* actions[6][3] = {
        {"FUNC_MACRO_DELETE2", "Delete", "9"}, {"FUNC_MACRO_CLEAR", "Clear", "9"},
        {"FUNC_MACRO_UP_TOP", "Top", "9"},     {"FUNC_MACRO_UP", "Up", "9"},
        {"FUNC_MACRO_DOWN", "Down", "8"},      {"FUNC_MACRO_DOWN_BOTTOM", "Bottom", "8"}};
    for (int i = 0; i < 6; ++i) {
        c.push_back(WithCaption(ImageButton(actions[i][0], QRect(288, 180 + i * 32, 104, 28),
                                            Face::TextButton, kMacroSet, kLooksApply, kSetMacro | kSetOther),
                                actions[i][1], std::atoi(actions[i][2])));
    }
    for (auto& control : c) {
        if (control.key.rfind("FUNC_MACRO_", 0) == 0 && control.place == Place::ImageButton) control.page = 1;
    }
    c.push_back(WithText(Placed("FUNC_MACRO_CYCLES_PROMPT", QRect(406, 140, 122, 20), Widget::Label),
                         "MACRO_CYCLES"));
    c.push_back(WithText(Placed("FUNC_MACRO_CYCLES", QRect(406, 162, 90, 28), Widget::Edit), "1"));
    c.push_back(Placed("FUNC_MACRO_RECORD_DELAY", QRect(406, 207, 18, 18), Widget::CheckBox));
    c.push_back(WithText(Placed("FUNC_MACRO_RECORD_DELAY2", QRect(428, 206, 104, 20), Widget::Label),
                         "RECORD_DELAY"));

    // The dialog's Apply (control 1015) writes the key without closing; skins without it show none.
    c.push_back(WithCaption(ImageButton("CONTROL2_APPLY", QRect(220, 394, 100, 34), Face::TextButton, kKeySet,
                                        kLooksApply, general),
                            "Apply"));
    c.push_back(WithCaption(ImageButton("CONTROL_OK", QRect(330, 394, 100, 34), Face::PrimaryButton, kKeySet,
                                        kLooksApply, general),
                            "OK"));
    c.push_back(WithCaption(ImageButton("CONTROL_CANCEL", QRect(440, 394, 100, 34), Face::TextButton, kKeySet,
                                        kLooksApply, general),
                            "Cancel"));

    d.pictures = {
        {"key_normal.jpg", kSetKey, 0, 0},
        {"key_over.jpg", kSetKey, 1, 0},
        {"key_down.jpg", kSetKey, 2, 0},
        {"key_disable.jpg", kSetKey, 3, 0},
        {"macro_normal.jpg", kSetMacro, 0, 1},
        {"macro_over.jpg", kSetMacro, 1, 1},
        {"macro_down.jpg", kSetMacro, 2, 1},
        {"macro_disable.jpg", kSetMacro, 3, 1},
        {"macro_other.jpg", kSetOther, 4, 1},
        {"macro2_normal.jpg", kSetMacro2, 0, 1},
        {"macro2_over.jpg", kSetMacro2, 1, 1},
        {"macro2_down.jpg", kSetMacro2, 2, 1},
        {"macro2_disable.jpg", kSetMacro2, 3, 1},
        {"media_normal.jpg", kSetMedia, 0, 2},
        {"media_over.jpg", kSetMedia, 1, 2},
        {"media_down.jpg", kSetMedia, 2, 2},
        {"function_normal.jpg", kSetFunction, 0, 3},
        {"function_over.jpg", kSetFunction, 1, 3},
        {"function_down.jpg", kSetFunction, 2, 3},
    };
    return d;
}

Dialog ProfileDialog() {
    Dialog d;
    d.id = DialogId::Profile;
    d.ini = "Profile.ini";
    d.background = "profile_back.jpg";
    d.mask = "profile_mask.bmp";
    d.size = QSize(600, 350);
    auto& c = d.controls;
    c.push_back(Placed("PROGRAM_LIST", QRect(24, 62, 436, 220), Widget::List));
    const char* side[3][2] = {{"FUNC_ADD", "Add..."}, {"FUNC_LOAD", "Load..."}, {"FUNC_DELETE", "Delete"}};
    for (int i = 0; i < 3; ++i) {
        c.push_back(WithCaption(ImageButton(side[i][0], QRect(476, 62 + i * 40, 100, 32), Face::TextButton,
                                            kProfileSet, kLooksPlain),
                                side[i][1]));
    }
    c.push_back(WithCaption(
        ImageButton("CONTROL2_APPLY", QRect(260, 298, 100, 34), Face::TextButton, kProfileSet, kLooksPlain),
        "Apply"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_OK", QRect(368, 298, 100, 34), Face::PrimaryButton, kProfileSet, kLooksPlain),
        "OK"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_CANCEL", QRect(476, 298, 100, 34), Face::TextButton, kProfileSet, kLooksPlain),
        "Cancel"));
    d.pictures = {{"Profile_normal.jpg", 1, 0}, {"Profile_over.jpg", 1, 1}, {"Profile_down.jpg", 1, 2}};
    return d;
}

Dialog UpdateDialog() {
    Dialog d;
    d.id = DialogId::Update;
    d.ini = "UpdateDlg.ini";
    d.background = "update_back.jpg";
    d.mask = "update_mask.bmp";
    d.size = QSize(480, 214);
    auto& c = d.controls;
    c.push_back(WithText(Placed("CONTROL_UPStatic", QRect(24, 70, 336, 32), Widget::Label),
                         QStringLiteral("~/Vornak/Package/kx1-update")));
    c.push_back(WithCaption(
        ImageButton("CONTROL_OPENButton", QRect(372, 69, 84, 34), Face::TextButton, kUpdateSet, kLooksPlain),
        "Open"));
    Control combo = Placed("CONTROL_UPCombox", QRect(24, 112, 336, 28), Widget::Combo, Group::Hidden);
    c.push_back(combo);
    c.push_back(WithCaption(ImageButton("CONTROL_BACKUPButton", QRect(24, 158, 120, 36), Face::TextButton,
                                        kUpdateSet, kLooksPlain),
                            "Backup"));
    c.push_back(WithCaption(ImageButton("CONTROL_UPButton", QRect(208, 158, 120, 36), Face::PrimaryButton,
                                        kUpdateSet, kLooksPlain),
                            "Update"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_CUPButton", QRect(336, 158, 120, 36), Face::TextButton, kUpdateSet, kLooksPlain),
        "Cancel update"));
    d.pictures = {{"update_normal.jpg", 1, 0}, {"update_over.jpg", 1, 1}};
    return d;
}

std::vector<Bitmap> Bitmaps() {
    std::vector<Bitmap> b;
    for (const char* f : {"dengup.bmp", "dengdown.bmp"})
        b.push_back({f, QSize(52, 26)});
    for (const char* f :
         {"leftup.bmp", "leftdown.bmp", "rightup.bmp", "rightdown.bmp", "upup.bmp", "updown.bmp",
          "downup.bmp", "downdown.bmp", "kuosan.bmp", "kuosandown.bmp", "julong.bmp", "julongdown.bmp"}) {
        b.push_back({f, QSize(84, 44)});
    }
    for (const char* f : {"hong.bmp", "hongok.bmp", "huang.bmp", "huangok.bmp", "lv.bmp", "lvok.bmp",
                          "lan.bmp", "lanok.bmp"}) {
        b.push_back({f, QSize(38, 38)});
    }
    for (const char* f : {"sjsup.bmp", "sjsdown.bmp"})
        b.push_back({f, QSize(48, 24)});
    for (const char* f : {"user1up.bmp", "user1down.bmp", "user2up.bmp", "user2down.bmp"}) {
        b.push_back({f, QSize(40, 40)});
    }
    for (int i = 1; i <= 10; ++i)
        b.push_back({"jdt" + std::to_string(i) + ".bmp", QSize(28, 28)});
    for (int i = 0; i <= 25; ++i)
        b.push_back({std::to_string(i) + ".bmp", QSize(240, 28)});
    return b;
}

std::vector<ArrowFrame> ArrowFrames(const Dialog& main, QSize* sheet) {
    // Frames sit on a 32-pixel grid, so no JPEG block mixes two of them.
    std::vector<ArrowFrame> frames;
    int column = 0;
    for (const char* side : {"LEFT", "RIGHT"}) {
        for (bool up : {true, false}) {
            for (int frame = 1; frame <= 2; ++frame) {
                ArrowFrame f;
                f.key = std::string(up ? "UP_ARROW_" : "DOWN_ARROW_") + side + std::to_string(frame);
                f.arrowKey = std::string(side) + "_ARROW";
                f.up = up;
                f.frame = frame;
                f.origin = QPoint(column * 32 + 8 + 1, 8 + 1);
                frames.push_back(f);
                ++column;
            }
        }
    }
    int tallest = 0;
    for (const auto& c : main.controls) {
        if (c.place == Place::Arrow) tallest = std::max(tallest, c.rect.height());
    }
    *sheet = QSize(column * 32 + 16, tallest + 24);
    return frames;
}

SkinModel BuildModel() {
    SkinModel m;
    m.dialogs = {MainDialog(), CompositeDialog(), ProfileDialog(), UpdateDialog()};
    m.arrowFrames = ArrowFrames(m.dialogs[0], &m.arrowSheet);
    m.bitmaps = Bitmaps();
    m.link = "https://nimbrel.example/kx1";
    m.effectNames = {
        {"1", QString::fromUtf8("彩虹波浪"), "Rainbow Wave"},
        {"2", QString::fromUtf8("脉冲波浪"), "Pulse Wave"},
        {"3", QString::fromUtf8("环绕流光"), "Orbit"},
        {"4", QString::fromUtf8("光谱循环"), "Spectrum Cycle"},
        {"5", QString::fromUtf8("呼吸"), "Breathing"},
        {"6", QString::fromUtf8("常亮"), "Static"},
        {"7", QString::fromUtf8("触发渐隐"), "Reactive Fade"},
        {"8", QString::fromUtf8("拖尾"), "Trail"},
        {"9", QString::fromUtf8("按键迸发"), "Key Burst"},
        {"10", QString::fromUtf8("星光"), "Starlight"},
        {"11", QString::fromUtf8("万花筒"), "Kaleidoscope"},
        {"12", QString::fromUtf8("雨幕"), "Rain"},
        {"13", QString::fromUtf8("涟漪"), "Ripple"},
        {"14", QString::fromUtf8("水花"), "Splash"},
        {"15", QString::fromUtf8("冲击波"), "Shockwave"},
        {"16", QString::fromUtf8("单键触发"), "Reactive"},
        {"17", QString::fromUtf8("预设颜色"), "Preset Colour"},
        {"18", QString::fromUtf8("漩涡"), "Vortex"},
        {"20", QString::fromUtf8("自定义"), "Custom"},
    };
    m.controlNames = {
        {"Usb", QString::fromUtf8("背光设置"), "Lighting"},
        {"Deng", QString::fromUtf8("灯光开关"), "Lights on"},
        {"Light", QString::fromUtf8("亮度"), "Brightness"},
        {"Speed", QString::fromUtf8("速度"), "Speed"},
        {"FX", QString::fromUtf8("方向"), "Direction"},
        {"Color", QString::fromUtf8("颜色"), "Colour"},
        {"DC", QString::fromUtf8("炫彩"), "Colourful"},
        {"JColor", QString::fromUtf8("底色"), "Base colour"},
        {"Tool", QString::fromUtf8("画笔"), "Brush"},
    };
    // Every key button of the main window must have a place on the keyboard.
    const Dialog& main = m.dialogs[0];
    for (const auto& b : kKeyButtons) {
        char key[16];
        std::snprintf(key, sizeof key, "KEY_%03X", KeySlot(b.code));
        if (!FindControl(main, key))
            throw std::logic_error(std::string("no place on the keyboard for ") + key);
    }
    return m;
}

}  // namespace

const SkinModel& DefaultSkin() {
    static const SkinModel model = BuildModel();
    return model;
}

const Dialog& DialogOf(const SkinModel& model, DialogId id) {
    for (const auto& d : model.dialogs) {
        if (d.id == id) return d;
    }
    throw std::logic_error("no such dialog");
}

const Control* FindControl(const Dialog& dialog, const std::string& key) {
    for (const auto& c : dialog.controls) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

}  // namespace vornak::skingen
