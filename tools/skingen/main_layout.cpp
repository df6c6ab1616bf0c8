// The main window's place in the layout table: the keyboard with every key button, the lighting panel and
// the footer.
#include <QString>
#include <tuple>

#include "keyboard/key_buttons.h"
#include "keyboard/key_table.h"
#include "layout_rows.h"

namespace vornak::skingen::layout {

namespace {

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

}  // namespace

Dialog MainDialog() {
    Dialog d;
    d.id = DialogId::Main;
    d.ini = "Main.ini";
    d.background = "main_back.jpg";
    d.mask = "main_mask.bmp";
    // 688 high: the whole window shows on a 2560 x 1440 screen at a scale of 2 under a 32-pixel top bar.
    d.size = QSize(1080, 688);
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
    c.push_back(WithText(Placed("CONTROL_DengStatic", QRect(px, 500, 182, 22), Widget::Label), "Deng"));
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
        // Not part of the bare background.
        Control f0 = WithGlyph(
            ImageButton("FLIP_0", QRect(dx, 546, 40, 28), Face::TextButton, kMainFlip0, kLooksFlip0),
            Glyph::Dot);
        Control f1 = WithGlyph(
            ImageButton("FLIP_1", QRect(dx + 46, 546, 40, 28), Face::TextButton, kMainMarked, kLooksMarked),
            Glyph::Left);
        Control f2 = WithGlyph(
            ImageButton("FLIP_2", QRect(dx + 92, 546, 40, 28), Face::TextButton, kMainMarked, kLooksMarked),
            Glyph::Right);
        // Placed and pictured for the layout's completeness; the program does not show them (the direction
        // pictures choose the direction).
        for (Control* f : {&f0, &f1, &f2}) {
            f->group = Group::Hidden;
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
            Colour(Placed(button, QRect(bx, 460, 64, 28), Widget::ColourButton, group), palette::kSampleRed));
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
               palette::kSampleRed));
    for (auto [colour, colourful, button, pic] : {std::tuple{"CONTROL_TSysStatic", "CONTROL_TSsjsStatic",
                                                             "CONTROL_TSysButton", "CONTROL_TSsjsStaPic"},
                                                  std::tuple{"CONTROL_CDysStatic", "CONTROL_CDsjsStatic",
                                                             "CONTROL_CDysButton", "CONTROL_CDsjsStaPic"}}) {
        c.push_back(WithText(Placed(colour, QRect(cx, 548, 100, 20), Widget::Label, Group::Hidden), "Color"));
        c.push_back(Colour(Placed(button, QRect(bx, 544, 64, 28), Widget::ColourButton, Group::Hidden),
                           palette::kSampleWhite));
        c.push_back(WithText(Placed(colourful, QRect(cx, 588, 100, 20), Widget::Label, Group::Hidden), "DC"));
        c.push_back(
            WithBitmap(Placed(pic, QRect(bx, 586, 48, 24), Widget::Picture, Group::Hidden), "sjsup.bmp"));
    }
    c.push_back(WithText(Placed("CONTROL_USERysStatic", QRect(cx, 464, 100, 20), Widget::Label, Group::User),
                         "Color"));
    c.push_back(
        Colour(Placed("CONTROL_USERysButton", QRect(bx, 460, 64, 28), Widget::ColourButton, Group::User),
               palette::kSampleAccent));
    c.push_back(WithText(Placed("CONTROL_USERjsStatic", QRect(cx, 504, 100, 20), Widget::Label, Group::User),
                         "JColor"));
    c.push_back(
        Colour(Placed("CONTROL_USERjsButton", QRect(bx, 500, 64, 28), Widget::ColourButton, Group::User),
               palette::kSamplePink));
    c.push_back(
        WithText(Placed("CONTROL_USERgjStatic", QRect(cx, 552, 90, 20), Widget::Label, Group::User), "Tool"));
    c.push_back(
        WithBitmap(Placed("CONTROL_USERgjStaPic1", QRect(950, 542, 40, 40), Widget::Picture, Group::User),
                   "user1down.bmp"));
    c.push_back(
        WithBitmap(Placed("CONTROL_USERgjStaPic2", QRect(996, 542, 40, 40), Widget::Picture, Group::User),
                   "user2up.bmp"));

    // Footer.
    const int fy = 642;
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

}  // namespace vornak::skingen::layout
