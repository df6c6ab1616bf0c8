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
