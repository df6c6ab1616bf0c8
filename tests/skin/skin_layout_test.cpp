#include "skin/core/skin_layout.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

TEST(SkinRect, ReadsFourNumbers) {
    EXPECT_EQ(ParseSkinRect(u"10,20,30,40"), (SkinRect{10, 20, 30, 40}));
    EXPECT_EQ(ParseSkinRect(u"-5,+6,0,8"), (SkinRect{-5, 6, 0, 8}));
    // Blanks before a number are skipped, as "%d" skips them.
    EXPECT_EQ(ParseSkinRect(u" 10, 20,\t30, 40"), (SkinRect{10, 20, 30, 40}));
}

TEST(SkinRect, IgnoresWhatFollowsTheFourthNumber) {
    EXPECT_EQ(ParseSkinRect(u"5,6,7,8,x"), (SkinRect{5, 6, 7, 8}));
    EXPECT_EQ(ParseSkinRect(u"5,6,7,8, the arrow of the left side"), (SkinRect{5, 6, 7, 8}));
    EXPECT_EQ(ParseSkinRect(u"5,6,7,8abc"), (SkinRect{5, 6, 7, 8}));
    EXPECT_EQ(ParseSkinRect(kDefaultSkinRect), (SkinRect{1, 1, 1, 1}));
}

TEST(SkinRect, MalformedValuesReadAsTheDefault) {
    for (std::u16string_view bad :
         {u"", u"10,20,30", u"10,20,,40", u"10 ,20,30,40", u"a,b,c,d", u"10;20;30;40", u"10,20,-30,40",
          u"10,20,30,-1", u"99999999999,1,1,1", u"1,1,1,2147483648"}) {
        EXPECT_FALSE(TryParseSkinRect(bad)) << std::string(bad.begin(), bad.end());
        EXPECT_EQ(ParseSkinRect(bad), SkinRect{}) << std::string(bad.begin(), bad.end());
    }
    EXPECT_EQ(ParseSkinRect(u"-2147483648,2147483647,0,0"), (SkinRect{INT32_MIN, INT32_MAX, 0, 0}));
}

TEST(ImageButtonPlan, PictureOriginIsTheRectangleCornerCutOnePixelUpAndLeft) {
    const ImageButtonPlacement plan = PlanImageButton(ParseSkinRect(u"10,20,30,40"));
    EXPECT_EQ(plan.rect, (SkinRect{10, 20, 30, 40}));
    EXPECT_EQ(plan.originX, 10);
    EXPECT_EQ(plan.originY, 20);
    EXPECT_FALSE(plan.disable);
    EXPECT_EQ(SurfaceCropOrigin(plan.originX, plan.originY), (CropOrigin{9, 19}));
}

TEST(ImageButtonPlan, AButtonAtOneOneIsPlacedButDisabled) {
    const ImageButtonPlacement plan = PlanImageButton(ParseSkinRect(u"1,1,50,20"));
    EXPECT_EQ(plan.rect, (SkinRect{1, 1, 50, 20}));
    EXPECT_TRUE(plan.disable);
    EXPECT_FALSE(PlanImageButton({1, 2, 50, 20}).disable);
    EXPECT_FALSE(PlanImageButton({2, 1, 50, 20}).disable);
    EXPECT_TRUE(PlanImageButton(ParseSkinRect(u"garbage")).disable);
}

TEST(ImageButtonPlan, ArrowTakesItsOriginFromTheSecondKeyAndStaysEnabled) {
    const auto plan = PlanImageButtonFrom({100, 200, 12, 16}, {1, 1, 12, 16});
    EXPECT_EQ(plan.rect, (SkinRect{100, 200, 12, 16}));
    EXPECT_EQ(plan.originX, 1);
    EXPECT_EQ(plan.originY, 1);
    EXPECT_FALSE(plan.disable);
}

TEST(SkinPath, BackslashesBecomeFolders) {
    EXPECT_EQ(JoinSkinPath("/opt/vornak", u"Skins\\main_normal.jpg"),
              std::filesystem::path("/opt/vornak/Skins/main_normal.jpg"));
    EXPECT_EQ(JoinSkinPath("/opt/vornak/Skins", u"back.jpg"),
              std::filesystem::path("/opt/vornak/Skins/back.jpg"));
}

TEST(SkinPath, ScreensAboveRatioOneTakeThe2xPictureBesideThe1x) {
    EXPECT_EQ(ScaledPictureFile("/s/main_normal.jpg", 1), std::filesystem::path("/s/main_normal.jpg"));
    EXPECT_EQ(ScaledPictureFile("/s/main_normal.jpg", 2), std::filesystem::path("/s/main_normal@2x.jpg"));
    EXPECT_EQ(ScaledPictureFile("/s/Main_mask.bmp", 2), std::filesystem::path("/s/Main_mask@2x.bmp"));
    EXPECT_EQ(PictureScaleFor(1.0), 1);
    for (double ratio : {1.25, 1.5, 2.0, 3.0})
        EXPECT_EQ(PictureScaleFor(ratio), 2) << ratio;
}

// A 1080 x 700 window, as the main window is, on a 1366 x 768 screen whose panel takes the top 32 pixels,
// and on a 2560 x 1440 screen at a scale of 2 (1280 x 720 window pixels) with a panel at the bottom.
TEST(WindowFit, AWindowOpensInsideTheAreaItsScreenLeavesToWindows) {
    const SkinRect laptop{0, 32, 1366, 736};
    const SkinRect wide{0, 0, 1280, 680};
    struct Case {
        SkinRect window, area, expected;
    } cases[] = {
        {{100, 40, 1080, 700}, laptop, {100, 40, 1080, 700}},     // fits where it is: stays
        {{0, 0, 1080, 700}, laptop, {0, 32, 1080, 700}},          // under the top panel: moved down
        {{900, 200, 1080, 700}, laptop, {286, 68, 1080, 700}},    // off the right and the bottom
        {{-500, -300, 1080, 700}, laptop, {0, 32, 1080, 700}},    // off the left and the top
        {{3000, 3000, 1080, 700}, laptop, {286, 68, 1080, 700}},  // left on a screen that is gone
        {{50, 10, 1080, 700}, wide, {50, 0, 1080, 700}},          // taller than the area: the top shows
        {{-40, 0, 1400, 700}, wide, {0, 0, 1400, 700}},           // wider than the area: the left shows
        {{1300, 900, 300, 200}, {1280, 0, 1920, 1080}, {1300, 880, 300, 200}},  // a second screen
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitWindowInArea(c.window, c.area), c.expected)
            << c.window.x << "," << c.window.y << " in " << c.area.x << "," << c.area.y;
    }
}

class SkinLayoutFile : public ::testing::Test {
  protected:
    SkinLayout Write(std::u16string_view text) {
        test::WriteUtf16File(dir_ / "Main.ini", text);
        return SkinLayout::Load(dir_ / "Main.ini");
    }
    test::TempDir dir_;
};

TEST_F(SkinLayoutFile, ReadsRectanglesOfAnySectionWithoutRegardToCase) {
    const SkinLayout layout = Write(
        u"[SCREEN]\r\nMain=back.jpg\r\n[ButtonInfo]\r\nkey_01e = 10,20,30,40\r\n[BUTTONINFO2]\r\n"
        u"UP_ARROW_LEFT1=5,6,7,8\r\n");
    EXPECT_EQ(layout.Rect(u"KEY_01E"), (SkinRect{10, 20, 30, 40}));
    EXPECT_EQ(layout.Rect(kButtonInfo2Section, u"up_arrow_left1"), (SkinRect{5, 6, 7, 8}));
    EXPECT_EQ(layout.FindRect(kButtonInfoSection, u"KEY_01E"), (SkinRect{10, 20, 30, 40}));
}

TEST_F(SkinLayoutFile, MissingKeysAndFilesGiveTheDefaultRectangle) {
    const SkinLayout layout = Write(u"[BUTTONINFO]\r\nCONTROL_OK=bad value\r\n");
    EXPECT_EQ(layout.Rect(u"CONTROL_CANCEL"), SkinRect{});
    EXPECT_EQ(layout.Rect(u"CONTROL_OK"), SkinRect{});
    EXPECT_FALSE(layout.FindRect(kButtonInfoSection, u"CONTROL_CANCEL"));
    EXPECT_FALSE(layout.FindRect(kButtonInfoSection, u"CONTROL_OK"));
    EXPECT_EQ(SkinLayout::Load(dir_ / "absent.ini").Rect(u"CONTROL_OK"), SkinRect{});
}

TEST_F(SkinLayoutFile, ScreenMaskDefaultsToTheBackground) {
    EXPECT_EQ(Write(u"[SCREEN]\r\nMain=back.jpg\r\n").Screen().mask, u"back.jpg");
    EXPECT_EQ(Write(u"[SCREEN]\r\nMain=back.jpg\r\nMask=\r\n").Screen().mask, u"back.jpg");
    const SkinScreen both = Write(u"[SCREEN]\r\nMain = \"back.jpg\"\r\nMask=shape.bmp\r\n").Screen();
    EXPECT_EQ(both.main, u"back.jpg");
    EXPECT_EQ(both.mask, u"shape.bmp");
    const SkinScreen none = Write(u"[BUTTONINFO]\r\n").Screen();
    EXPECT_TRUE(none.main.empty());
    EXPECT_TRUE(none.mask.empty());
}

TEST_F(SkinLayoutFile, LayoutValuesAreCutAt259Characters) {
    // A long comment after the rectangle is harmless; the numbers come first.
    const std::u16string tail(400, u'x');
    EXPECT_EQ(Write(u"[BUTTONINFO]\r\nA=1,2,3,4," + tail + u"\r\n").Rect(u"A"), (SkinRect{1, 2, 3, 4}));
    const std::u16string longName(3000, u'n');
    EXPECT_EQ(Write(u"[SCREEN]\r\nMain=" + longName + u"\r\n").Screen().main.size(),
              kScreenValueCapacity - 1);
}

TEST(ButtonSurfaceChoice, DisabledWinsOverEverything) {
    ButtonStateFlags s;
    s.enabled = false;
    s.hover = s.pressed = s.selected = s.checkMode = s.checked = true;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Disabled);
}

TEST(ButtonSurfaceChoice, CheckModeThenPressedThenHoverThenSelected) {
    ButtonStateFlags s;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Normal);
    s.selected = true;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Selected);
    s.hover = true;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Over);
    s.pressed = true;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Down);
    s.checkMode = true;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Unchecked);
    s.checked = true;
    EXPECT_EQ(ChooseSurface(s), ButtonSurface::Checked);
}

}  // namespace
}  // namespace vornak
