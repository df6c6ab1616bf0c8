// The skin that the build writes beside the program: every key the dialogs place and every picture they load.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdio>

#include "keyboard/key_buttons.h"
#include "skin/base_dialog.h"
#include "skin/core/skin_layout.h"
#include "skin/skin_surfaces.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

std::filesystem::path Skins() {
    return test::BinDir() / "Skins";
}

std::u16string U(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

QImage Load(const std::string& name) {
    QImage image;
    std::string error;
    EXPECT_TRUE(LoadSkinPicture(Skins() / name, &image, &error)) << error;
    return image;
}

struct DialogKeys {
    const char* ini;
    std::vector<std::string> imageButtons;
    std::vector<std::string> placed;
    std::vector<std::string> statePictures;
};

std::vector<std::string> MainImageButtons() {
    std::vector<std::string> keys = {"TORVEL_LINK",    "FUNC_PROFILES",  "FUNC_MACRO",    "CONTROL_OK",
                                     "CONTROL_CANCEL", "CONTROL_HELP",   "CONTROL_CLOSE", "CONTROL_MINIMIZE",
                                     "CONTROL_MENU",   "CONTROL2_APPLY", "LOCK_CAPS",     "LOCK_NUM",
                                     "LOCK_SCROLL",    "LOCK_AB",        "FLIP_0",        "FLIP_1",
                                     "FLIP_2",         "TORVEL_VER",     "FUNC_PROFILE1", "FUNC_PROFILE2",
                                     "FUNC_PROFILE3",  "FUNC_DEFAULT",   "FUNC_SWITCH",   "FUNC_REPORT1",
                                     "FUNC_REPORT2",   "FUNC_REPORT3",   "FUNC_REPORT4",  "KEY_FN"};
    for (int i = 1; i <= 9; ++i)
        keys.push_back("FUNC_G" + std::to_string(i));
    for (const auto& b : kKeyButtons) {
        char key[16];
        std::snprintf(key, sizeof key, "KEY_%03X", KeySlot(b.code));
        keys.push_back(key);
    }
    return keys;
}

const std::vector<std::string> kMainPlaced = {"CONTROL_UsbStatic",
                                              "CONTROL_DengStatic",
                                              "CONTROL_DengStaPic",
                                              "CONTROL_XGcombox",
                                              "CONTROL_JDTStatic",
                                              "CONTROL_LightStatic",
                                              "CONTROL_LightSlider",
                                              "CONTROL_SpeedStatic",
                                              "CONTROL_SpeedSlider",
                                              "CONTROL_BLFXStatic",
                                              "CONTROL_BLFXLStaPic",
                                              "CONTROL_BLFXRStaPic",
                                              "CONTROL_FYYSStatic",
                                              "CONTROL_FYYSButton",
                                              "CONTROL_FYSJSStaPic",
                                              "CONTROL_FYSJSStatic",
                                              "CONTROL_FYCFStatic",
                                              "CONTROL_FYdjcfStatic",
                                              "CONTROL_FYggcfStatc",
                                              "CONTROL_FYdjcfStaPic",
                                              "CONTROL_FYggcfStaPic",
                                              "CONTROL_HONGPIC",
                                              "CONTROL_HUANGPIC",
                                              "CONTROL_LVPIC",
                                              "CONTROL_LANPIC",
                                              "CONTROL_HXysStatic",
                                              "CONTROL_HXysButton",
                                              "CONTROL_HXsjsStatic",
                                              "CONTROL_HXsjsStaPic",
                                              "CONTROL_JTysStatic",
                                              "CONTROL_JTysButton",
                                              "CONTROL_USERysStatic",
                                              "CONTROL_USERysButton",
                                              "CONTROL_USERjsStatic",
                                              "CONTROL_USERjsButton",
                                              "CONTROL_USERgjStatic",
                                              "CONTROL_USERgjStaPic1",
                                              "CONTROL_USERgjStaPic2",
                                              "CONTROL_TSysStatic",
                                              "CONTROL_TSysButton",
                                              "CONTROL_TSsjsStatic",
                                              "CONTROL_TSsjsStaPic",
                                              "CONTROL_CDysStatic",
                                              "CONTROL_CDysButton",
                                              "CONTROL_CDsjsStatic",
                                              "CONTROL_CDsjsStaPic",
                                              "CONTROL_umCombo",
                                              "CONTROL_BLFXStatic2",
                                              "CONTROL_BLFXLStaPic2",
                                              "CONTROL_BLFXRStaPic2",
                                              "CONTROL_BLFXStatic3",
                                              "CONTROL_BLFXLStaPic3",
                                              "LEFT_ARROW",
                                              "RIGHT_ARROW"};

const std::vector<DialogKeys>& Dialogs() {
    static const std::vector<DialogKeys> dialogs = {
        {"Main.ini",
         MainImageButtons(),
         kMainPlaced,
         {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg", "main_color0.jpg",
          "main_color1.jpg"}},
        {"Profile.ini",
         {"CONTROL_OK", "CONTROL_CANCEL", "FUNC_ADD", "FUNC_LOAD", "FUNC_DELETE", "CONTROL2_APPLY"},
         {"PROGRAM_LIST"},
         {"Profile_normal.jpg", "Profile_over.jpg", "Profile_down.jpg"}},
        {"Applications.ini",
         {"FUNC_REMOVE", "FUNC_ADD", "CONTROL_OK"},
         {"APPS_HEADING", "RULE_LIST", "RULE_APP", "RULE_TITLE", "RULE_PROFILE", "DEFAULT_TEXT",
          "DEFAULT_SELECT", "FOLLOW_ON", "FOLLOW_ON_TEXT", "GNOME_TEXT"},
         {"apps_normal.jpg", "apps_over.jpg", "apps_down.jpg"}},
        {"UpdateDlg.ini",
         {"CONTROL_CUPButton", "CONTROL_UPButton", "CONTROL_OPENButton", "CONTROL_BACKUPButton"},
         {"CONTROL_UPStatic", "CONTROL_UPCombox"},
         {"update_normal.jpg", "update_over.jpg"}},
        {"Composite.ini",
         {"CONTROL_MASK",       "CONTROL_TITLE",    "CONTROL_OSK",       "CONTROL_CLEAR",
          "CONTROL_MEDIA",      "CONTROL_MACRO",    "CONTROL_KEY",       "CONTROL_FUNCTION",
          "CONTROL_OK",         "CONTROL_CANCEL",   "FUNC_MACRO_DELETE", "FUNC_MACRO_ADD",
          "FUNC_MACRO_UP_TOP",  "FUNC_MACRO_UP",    "FUNC_MACRO_DOWN",   "FUNC_MACRO_DOWN_BOTTOM",
          "FUNC_MACRO_DELETE2", "FUNC_MACRO_CLEAR", "FUNC_MACRO_RECORD", "CONTROL2_APPLY"},
         {"FUNC_MACRO_RECORD_DELAY", "FUNC_MACRO_LIST2", "FUNC_MACRO_CYCLES", "FUNC_MACRO_CYCLES_PROMPT",
          "TISHI_SINGLE_STATIC", "MARCO_NAME_SETTING", "KEY_SETTING", "MEDIA_SETTING_TISHI",
          "FUNCTION_KEY_SETTING_TISHI", "FUNC_MACRO_RECORD_DELAY2", "FUNC_KEY_INPUT", "FUNC_MEDIA_SELECT",
          "FUNC_MACRO_LIST", "FUNC_FUNCTION_SELECT", "FUNC_MACRO_MEMORY"},
         {"key_normal.jpg", "key_over.jpg", "key_down.jpg", "key_disable.jpg", "macro_normal.jpg",
          "macro_over.jpg", "macro_down.jpg", "macro_disable.jpg", "macro_other.jpg", "macro2_normal.jpg",
          "macro2_over.jpg", "macro2_down.jpg", "macro2_disable.jpg", "media_normal.jpg", "media_over.jpg",
          "media_down.jpg", "function_normal.jpg", "function_over.jpg", "function_down.jpg"}},
    };
    return dialogs;
}

QRect ToQRect(const SkinRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

TEST(GeneratedSkin, LayoutFilesAreUtf16WithCrlfLines) {
    for (const auto& d : Dialogs()) {
        const auto bytes = test::ReadBytes(Skins() / d.ini);
        ASSERT_GE(bytes.size(), 4u) << d.ini;
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xFE);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            if (bytes[i] == '\n' && bytes[i + 1] == 0) {
                ASSERT_GE(i, 4u);
                EXPECT_EQ(bytes[i - 2], '\r') << d.ini << " has a bare line feed at byte " << i;
            }
        }
    }
}

TEST(GeneratedSkin, EveryControlIsPlacedInsideTheWindowShape) {
    for (const auto& d : Dialogs()) {
        SCOPED_TRACE(d.ini);
        const SkinLayout layout = SkinLayout::Load(Skins() / d.ini);
        const SkinScreen screen = layout.Screen();
        ASSERT_FALSE(screen.main.empty());
        ASSERT_NE(screen.mask, screen.main) << "the default skin ships its own mask";
        const QImage back = Load(std::string(screen.main.begin(), screen.main.end()));
        const QImage mask = Load(std::string(screen.mask.begin(), screen.mask.end()));
        ASSERT_FALSE(back.isNull());
        ASSERT_EQ(mask.size(), back.size());
        const QRegion shape = MaskToQRegion(mask);
        ASSERT_FALSE(shape.isEmpty());
        EXPECT_LT(shape.rectCount(), back.height() * 3) << "a plain outline, a few runs per row";

        auto check = [&](const std::string& key, bool imageButton) {
            SCOPED_TRACE(key);
            const auto rect = layout.FindRect(kButtonInfoSection, U(key));
            ASSERT_TRUE(rect.has_value()) << "missing or malformed";
            const QRect r = ToQRect(*rect);
            EXPECT_GT(r.width(), 1);
            EXPECT_GT(r.height(), 1);
            EXPECT_TRUE(QRect(QPoint(0, 0), back.size()).contains(r));
            EXPECT_TRUE((QRegion(r) - shape).isEmpty()) << "cut by the window outline";
            if (imageButton) {
                EXPECT_FALSE(PlanImageButton(*rect).disable);
                // The crop starts one pixel up and left, and must stay inside the pictures.
                EXPECT_GE(r.x(), 1);
                EXPECT_GE(r.y(), 1);
            }
        };
        for (const auto& key : d.imageButtons)
            check(key, true);
        for (const auto& key : d.placed)
            check(key, false);
        for (const auto& name : d.statePictures) {
            EXPECT_EQ(Load(name).size(), back.size()) << name;
        }
    }
}

TEST(GeneratedSkin, KeyButtonsDoNotOverlap) {
    const SkinLayout layout = SkinLayout::Load(Skins() / "Main.ini");
    std::vector<std::pair<std::string, QRect>> keys;
    for (const auto& key : MainImageButtons()) {
        if (key.rfind("KEY_", 0) == 0 || key.rfind("FUNC_G", 0) == 0 || key == "LOCK_AB") {
            keys.push_back({key, ToQRect(layout.Rect(U(key)))});
        }
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        for (size_t j = i + 1; j < keys.size(); ++j) {
            EXPECT_FALSE(keys[i].second.intersects(keys[j].second))
                << keys[i].first << " and " << keys[j].first;
        }
    }
}

// Mean difference of the part of two pictures under a rectangle, per channel 0..255.
double Difference(const QImage& a, const QImage& b, const QRect& r) {
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            sum +=
                std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue());
        }
    }
    return sum / (3.0 * r.width() * r.height());
}

TEST(GeneratedSkin, EveryStateOfAKeyLooksDifferent) {
    const SkinLayout layout = SkinLayout::Load(Skins() / "Main.ini");
    const QImage pictures[4] = {Load("main_normal.jpg"), Load("main_over.jpg"), Load("main_down.jpg"),
                                Load("main_disable.jpg")};
    for (const char* key : {"KEY_01E", "KEY_039", "FUNC_G1", "KEY_FN", "FUNC_PROFILE2"}) {
        const QRect r = ToQRect(layout.Rect(U(key)));
        for (int i = 0; i < 4; ++i) {
            for (int j = i + 1; j < 4; ++j) {
                EXPECT_GT(Difference(pictures[i], pictures[j], r), 2.0)
                    << key << ": pictures " << i << " and " << j;
            }
        }
    }
    // The background and the normal picture agree under every button that is always on screen.
    const QImage back = Load("main_back.jpg");
    EXPECT_LT(Difference(back, pictures[0], ToQRect(layout.Rect(u"KEY_01E"))), 1.0);
    // Apply shows a dimmed face in the disabled picture.
    const QRect apply = ToQRect(layout.Rect(u"CONTROL2_APPLY"));
    EXPECT_GT(Difference(pictures[0], pictures[3], apply), 10.0);
}

TEST(GeneratedSkin, ArrowFramesLieInsideTheArrowPicture) {
    const SkinLayout layout = SkinLayout::Load(Skins() / "Main.ini");
    const QImage arrows = Load("Arrow.jpg");
    for (const char* side : {"LEFT", "RIGHT"}) {
        const QRect arrow = ToQRect(layout.Rect(U(std::string(side) + "_ARROW")));
        for (const char* kind : {"UP_ARROW_", "DOWN_ARROW_"}) {
            for (int n = 1; n <= 2; ++n) {
                const std::string key = std::string(kind) + side + std::to_string(n);
                const auto origin = layout.FindRect(kButtonInfo2Section, U(key));
                ASSERT_TRUE(origin) << key;
                const QRect crop(origin->x - 1, origin->y - 1, arrow.width(), arrow.height());
                EXPECT_TRUE(arrows.rect().contains(crop)) << key;
            }
        }
    }
}

TEST(GeneratedSkin, LightingPanelBitmapsExistAndFitTheirControls) {
    std::vector<std::string> names = {
        "dengup.bmp",  "dengdown.bmp",   "leftup.bmp",  "leftdown.bmp", "rightup.bmp", "rightdown.bmp",
        "upup.bmp",    "updown.bmp",     "downup.bmp",  "downdown.bmp", "kuosan.bmp",  "kuosandown.bmp",
        "julong.bmp",  "julongdown.bmp", "hong.bmp",    "hongok.bmp",   "huang.bmp",   "huangok.bmp",
        "lv.bmp",      "lvok.bmp",       "lan.bmp",     "lanok.bmp",    "sjsup.bmp",   "sjsdown.bmp",
        "user1up.bmp", "user1down.bmp",  "user2up.bmp", "user2down.bmp"};
    for (int i = 1; i <= 10; ++i)
        names.push_back("jdt" + std::to_string(i) + ".bmp");
    for (int i = 0; i <= 25; ++i)
        names.push_back(std::to_string(i) + ".bmp");
    for (const auto& n : names)
        EXPECT_FALSE(Load(n).isNull()) << n;

    // A picture control shows its bitmap unscaled: its rectangle has the bitmap's size.
    const SkinLayout layout = SkinLayout::Load(Skins() / "Main.ini");
    const std::vector<std::pair<const char16_t*, const char*>> fits = {
        {u"CONTROL_DengStaPic", "dengup.bmp"},     {u"CONTROL_LightSlider", "0.bmp"},
        {u"CONTROL_SpeedSlider", "6.bmp"},         {u"CONTROL_BLFXLStaPic", "kuosan.bmp"},
        {u"CONTROL_BLFXRStaPic", "julong.bmp"},    {u"CONTROL_BLFXLStaPic2", "leftup.bmp"},
        {u"CONTROL_BLFXRStaPic2", "rightup.bmp"},  {u"CONTROL_BLFXLStaPic3", "upup.bmp"},
        {u"CONTROL_HONGPIC", "hong.bmp"},          {u"CONTROL_LANPIC", "lanok.bmp"},
        {u"CONTROL_FYSJSStaPic", "sjsup.bmp"},     {u"CONTROL_HXsjsStaPic", "sjsdown.bmp"},
        {u"CONTROL_FYdjcfStaPic", "sjsup.bmp"},    {u"CONTROL_TSsjsStaPic", "sjsup.bmp"},
        {u"CONTROL_USERgjStaPic1", "user1up.bmp"}, {u"CONTROL_USERgjStaPic2", "user2down.bmp"},
        {u"CONTROL_JDTStatic", "jdt1.bmp"}};
    for (const auto& [key, bitmap] : fits) {
        const SkinRect r = layout.Rect(key);
        EXPECT_EQ(QSize(r.w, r.h), Load(bitmap).size()) << bitmap;
    }
}

TEST(GeneratedSkin, MainIniNamesEveryEffectAndLabelInBothLanguages) {
    const SkinLayout layout = SkinLayout::Load(Skins() / "Main.ini");
    EXPECT_FALSE(layout.Text(kScreenSection, u"Link", u"").empty());
    std::vector<std::u16string> effects;
    for (int n = 1; n <= 18; ++n)
        effects.push_back(U(std::to_string(n)));
    effects.push_back(u"20");
    for (const auto& n : effects) {
        const std::u16string chinese = layout.Text(u"Mode", n, u"");
        const std::u16string english = layout.Text(u"Mode1", n, u"");
        EXPECT_FALSE(chinese.empty());
        EXPECT_FALSE(english.empty());
        EXPECT_NE(chinese, english);
        EXPECT_GT(chinese[0], 0x2E80) << "Mode holds the Chinese names";
    }
    EXPECT_FALSE(layout.document().Find(u"Mode1", u"19"));
    for (const char16_t* key :
         {u"Usb", u"Deng", u"Light", u"Speed", u"FX", u"Color", u"DC", u"JColor", u"Tool"}) {
        EXPECT_FALSE(layout.Text(u"Control_Name", key, u"").empty()) << std::string(key, key + 2);
        EXPECT_FALSE(layout.Text(u"Control_Name1", key, u"").empty());
    }
}

TEST(GeneratedSkin, EveryDialogLoadsThroughTheSkinnedBase) {
    for (const auto& d : Dialogs()) {
        CBaseDialog dialog(0, nullptr, Skins() / d.ini, Skins());
        std::string error;
        EXPECT_TRUE(dialog.TryLoadSkin(&error)) << d.ini << ": " << error;
        EXPECT_FALSE(dialog.mask().isEmpty()) << d.ini;
    }
}

// Every picture, mask and bitmap is drawn a second time at twice the size, and it is the same drawing:
// brought back to 1x it differs from the 1x picture by little more than the JPEG's own noise. A drawing left
// at 1x in a corner of the 2x canvas, or shifted, would differ by far more.
TEST(GeneratedSkin, EveryPictureHasA2xOfTheSameDrawingAtTwiceItsSize) {
    int pairs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Skins())) {
        const std::filesystem::path file = entry.path();
        const std::string name = file.filename().string();
        if (file.extension() != ".jpg" && file.extension() != ".bmp") continue;
        if (name.find('@') != std::string::npos) {
            const std::string base = name.substr(0, name.find('@')) + file.extension().string();
            EXPECT_TRUE(std::filesystem::exists(Skins() / base)) << name << " has no 1x picture";
            continue;
        }
        const std::filesystem::path twice = ScaledPictureFile(file, 2);
        const QImage one(QString::fromStdString(file.string()));
        const QImage two(QString::fromStdString(twice.string()));
        ASSERT_FALSE(one.isNull()) << name;
        ASSERT_FALSE(two.isNull()) << twice.filename().string() << " is missing";
        EXPECT_EQ(two.size(), one.size() * 2) << name;
        const QImage back = two.convertToFormat(QImage::Format_RGB32)
                                .scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage ref = one.convertToFormat(QImage::Format_RGB32);
        double difference = 0;
        for (int y = 0; y < ref.height(); ++y) {
            for (int x = 0; x < ref.width(); ++x) {
                const QRgb a = ref.pixel(x, y), b = back.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b));
            }
        }
        EXPECT_LT(difference / (3.0 * ref.width() * ref.height()), 6.0) << name;
        ++pairs;
    }
    // The four dialogs' backgrounds, masks and state pictures, the arrows and the panel's bitmaps.
    EXPECT_GT(pairs, 60);
}

// At a scale of 1 the whole window shows on a 1366 x 768 screen; at 2 on a 2560 x 1440 one (1280 x 720 window
// pixels) under a 32-pixel top bar, as GNOME's.
TEST(GeneratedSkin, TheMainWindowFitsTheSmallScreensItIsMeantFor) {
    const QImage main(QString::fromStdString((Skins() / "main_back.jpg").string()));
    ASSERT_FALSE(main.isNull());
    EXPECT_LE(main.width(), 1280);
    EXPECT_LE(main.height(), 720 - 32);
}

}  // namespace
}  // namespace vornak
