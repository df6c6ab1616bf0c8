// What the lighting panel shows for a lighting state, the slider's steps, the paint drag and the preview's
// tick gate, without a window.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "lighting/panel_look.h"

namespace vornak {
namespace {

using Keys = std::set<std::u16string>;

LightingSnapshot On(int effect) {
    LightingSnapshot s;
    s.state.lightingSwitch = true;
    s.state.effect = static_cast<EffectNumber>(effect);
    return s;
}

Keys Shown(const LightingSnapshot& s) {
    Keys keys;
    for (const PanelControl& c : PanelControls(s)) {
        if (c.shown) keys.insert(std::u16string(c.key));
    }
    return keys;
}

std::string PictureOf(const LightingSnapshot& s, std::u16string_view key) {
    const auto c = FindPanelControl(PanelControls(s), key);
    return c ? std::string(c->picture) : "<no control>";
}

Keys Plus(Keys base, std::initializer_list<const char16_t*> more) {
    for (const char16_t* k : more)
        base.insert(k);
    return base;
}

const Keys kSwitchOnly = {u"CONTROL_UsbStatic", u"CONTROL_DengStatic", u"CONTROL_DengStaPic"};
const Keys kEveryEffect =
    Plus(kSwitchOnly, {u"CONTROL_XGcombox", u"CONTROL_LightStatic", u"CONTROL_LightSlider"});
const Keys kSpeed = Plus(kEveryEffect, {u"CONTROL_SpeedStatic", u"CONTROL_SpeedSlider"});
const std::initializer_list<const char16_t*> kHx = {u"CONTROL_HXysStatic", u"CONTROL_HXysButton",
                                                    u"CONTROL_HXsjsStatic", u"CONTROL_HXsjsStaPic"};
const std::initializer_list<const char16_t*> kFy = {u"CONTROL_FYYSStatic", u"CONTROL_FYYSButton",
                                                    u"CONTROL_FYSJSStatic", u"CONTROL_FYSJSStaPic"};

TEST(PanelControls, EachEffectShowsItsGroupsOnly) {
    const Keys leftRight = {u"CONTROL_BLFXStatic2", u"CONTROL_BLFXLStaPic2", u"CONTROL_BLFXRStaPic2"};
    Keys wave = Plus(kSpeed, kHx);
    wave.insert(leftRight.begin(), leftRight.end());
    const struct {
        int effect;
        Keys keys;
    } cases[] = {
        {1, wave},
        {3, wave},
        {4, kSpeed},
        {5, Plus(kSpeed, kHx)},
        {6, Plus(kEveryEffect, kFy)},
        {11, kSpeed},
        // Effect 12's second picture sits in the plain key's place.
        {12, Plus(kSpeed, {u"CONTROL_BLFXStatic3", u"CONTROL_BLFXLStaPic3", u"CONTROL_BLFXRStaPic"})},
        {16, Plus(kEveryEffect, kFy)},
        {17,
         Plus(kEveryEffect, {u"CONTROL_HONGPIC", u"CONTROL_HUANGPIC", u"CONTROL_LVPIC", u"CONTROL_LANPIC"})},
        {18, Plus(kEveryEffect, {u"CONTROL_BLFXStatic", u"CONTROL_BLFXLStaPic", u"CONTROL_BLFXRStaPic"})},
        {20, Plus(kEveryEffect, {u"CONTROL_USERysStatic", u"CONTROL_USERysButton", u"CONTROL_USERjsStatic",
                                 u"CONTROL_USERjsButton", u"CONTROL_USERgjStatic", u"CONTROL_USERgjStaPic1",
                                 u"CONTROL_USERgjStaPic2", u"CONTROL_umCombo"})},
        // An effect the program does not handle keeps the list, so another can be chosen.
        {19, Plus(kSwitchOnly, {u"CONTROL_XGcombox"})},
        {0, Plus(kSwitchOnly, {u"CONTROL_XGcombox"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(On(c.effect)), c.keys) << "effect " << c.effect;
    }
}

TEST(PanelControls, LightsOffShowOnlyTheSwitch) {
    for (int effect : {1, 12, 17, 20}) {
        LightingSnapshot s = On(effect);
        s.state.lightingSwitch = false;
        EXPECT_EQ(Shown(s), kSwitchOnly) << "effect " << effect;
        EXPECT_EQ(PictureOf(s, u"CONTROL_DengStaPic"), "dengup.bmp");
    }
    EXPECT_EQ(PictureOf(On(1), u"CONTROL_DengStaPic"), "dengdown.bmp");
}

// Painting under an effect that hides the colours is told at its first click, once in the run; the notice
// goes when the colours show or the lights are off.
TEST(PaintClickNotice, TheFirstUnseenPaintIsToldOnce) {
    LightingSnapshot off = On(1);
    off.state.lightingSwitch = false;
    PaintClickNotice notice;
    EXPECT_FALSE(notice.OnPaintClick(On(20))) << "the user mode shows what was painted";
    EXPECT_FALSE(notice.OnPaintClick(off));
    EXPECT_TRUE(notice.OnPaintClick(On(1)));
    EXPECT_TRUE(notice.StillShown(On(6)));
    EXPECT_FALSE(notice.OnPaintClick(On(6))) << "once";
    EXPECT_FALSE(notice.StillShown(On(20)));
    EXPECT_FALSE(notice.StillShown(off));
}

TEST(PanelControls, NeverShownGroupsStayHiddenWhateverTheState) {
    LightingSnapshot s = On(20);
    s.state.triggerMode = 1;
    s.state.secondColourful = true;
    for (int effect = 0; effect <= 21; ++effect) {
        s.state.effect = static_cast<EffectNumber>(effect);
        const Keys shown = Shown(s);
        for (const char16_t* hidden :
             {u"CONTROL_JTysButton", u"CONTROL_TSysButton", u"CONTROL_CDysButton", u"CONTROL_FYdjcfStaPic",
              u"CONTROL_FYggcfStaPic", u"CONTROL_TSsjsStaPic", u"CONTROL_CDsjsStaPic", u"CONTROL_FYCFStatic"})
            EXPECT_FALSE(shown.count(hidden)) << "effect " << effect;
    }
    // Their pictures still follow the values they show.
    EXPECT_EQ(PictureOf(s, u"CONTROL_FYggcfStaPic"), "sjsdown.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_FYdjcfStaPic"), "sjsup.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_TSsjsStaPic"), "sjsdown.bmp");
}

TEST(PanelControls, PresetPicturesMarkTheStoredPreset) {
    LightingSnapshot s = On(17);
    s.state.presetColour = 2;
    EXPECT_EQ(PictureOf(s, u"CONTROL_HONGPIC"), "hong.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_LVPIC"), "lvok.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_LANPIC"), "lan.bmp");
    // A preset outside 0..3 shows red selected.
    s.state.presetColour = 9;
    EXPECT_EQ(PictureOf(s, u"CONTROL_HONGPIC"), "hongok.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_LVPIC"), "lv.bmp");
}

TEST(PanelControls, SlidersDirectionsTogglesAndTools) {
    LightingSnapshot s = On(12);
    s.state.speed = 5;  // the slider at its left end
    s.state.brightness = 0;
    EXPECT_EQ(PictureOf(s, u"CONTROL_SpeedSlider"), "6.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_LightSlider"), "0.bmp");
    s.state.speed = 0;
    s.state.brightness = 5;
    EXPECT_EQ(PictureOf(s, u"CONTROL_SpeedSlider"), "11.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_LightSlider"), "5.bmp");

    s.state.direction = 0;
    EXPECT_EQ(PictureOf(s, u"CONTROL_BLFXLStaPic3"), "upup.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_BLFXRStaPic"), "downdown.bmp");
    s.state.direction = 255;
    EXPECT_EQ(PictureOf(s, u"CONTROL_BLFXLStaPic3"), "updown.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_BLFXRStaPic"), "downup.bmp");
    s.state.effect = 18;
    EXPECT_EQ(PictureOf(s, u"CONTROL_BLFXRStaPic"), "julong.bmp");

    s = On(6);
    s.state.colourful = true;
    EXPECT_EQ(PictureOf(s, u"CONTROL_FYSJSStaPic"), "sjsdown.bmp");
    s.state.colourful = false;
    EXPECT_EQ(PictureOf(s, u"CONTROL_FYSJSStaPic"), "sjsup.bmp");

    s = On(20);
    s.brushes.tool = kToolJColor;
    EXPECT_EQ(PictureOf(s, u"CONTROL_USERgjStaPic1"), "user1up.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_USERgjStaPic2"), "user2down.bmp");
    s.brushes.tool = kToolColor;
    EXPECT_EQ(PictureOf(s, u"CONTROL_USERgjStaPic1"), "user1down.bmp");
    EXPECT_EQ(PictureOf(s, u"CONTROL_USERgjStaPic2"), "user2up.bmp");
}

TEST(PanelControls, ColourButtonsShowTheirOwnCopies) {
    LightingSnapshot s = On(1);
    s.state.fyColour = MakeColour(1, 2, 3);
    s.state.hxColour = MakeColour(4, 5, 6);
    s.brushes.color = MakeColour(7, 8, 9);
    s.brushes.jcolor = MakeColour(10, 11, 12);
    EXPECT_EQ(PanelButtonColour(s, u"CONTROL_FYYSButton"), s.state.fyColour);
    EXPECT_EQ(PanelButtonColour(s, u"CONTROL_HXysButton"), s.state.hxColour);
    EXPECT_EQ(PanelButtonColour(s, u"CONTROL_USERysButton"), s.brushes.color);
    EXPECT_EQ(PanelButtonColour(s, u"CONTROL_USERjsButton"), s.brushes.jcolor);
    EXPECT_FALSE(PanelButtonColour(s, u"CONTROL_LightSlider"));
}

TEST(SliderPositionAt, SixEqualStepsWithClampedEnds) {
    EXPECT_EQ(SliderPositionAt(-5, 240), 0);
    EXPECT_EQ(SliderPositionAt(0, 240), 0);
    EXPECT_EQ(SliderPositionAt(39, 240), 0);
    EXPECT_EQ(SliderPositionAt(40, 240), 1);
    EXPECT_EQ(SliderPositionAt(200, 240), 5);
    EXPECT_EQ(SliderPositionAt(239, 240), 5);
    EXPECT_EQ(SliderPositionAt(900, 240), 5);
    EXPECT_EQ(SliderPositionAt(3, 0), 0) << "a slider the skin did not size";
    // Every position is reachable on a narrow slider too.
    std::set<int> reached;
    for (int x = 0; x < 7; ++x)
        reached.insert(SliderPositionAt(x, 7));
    EXPECT_EQ(reached.size(), 6u);
}

TEST(PaintColourNow, FollowsTheToolOnlyInTheUserMode) {
    LightingSnapshot s = On(20);
    s.brushes = {kToolColor, MakeColour(0, 128, 255), MakeColour(9, 9, 9)};
    EXPECT_EQ(PaintColourNow(s), MakeColour(9, 9, 9));
    s.brushes.tool = kToolJColor;
    EXPECT_EQ(PaintColourNow(s), MakeColour(0, 128, 255));
    s.brushes.tool = 2;
    EXPECT_FALSE(PaintColourNow(s)) << "an unknown tool paints nothing";
    s.brushes.tool = kToolJColor;
    s.state.effect = 1;
    EXPECT_FALSE(PaintColourNow(s));
    EXPECT_FALSE(UserColoursShown(s));
    s.state.effect = 20;
    s.state.lightingSwitch = false;
    EXPECT_FALSE(PaintColourNow(s));
    EXPECT_FALSE(UserColoursShown(s));
    s.state.lightingSwitch = true;
    s.keyColours[3] = MakeColour(1, 1, 1);
    ASSERT_TRUE(UserColoursShown(s));
    EXPECT_EQ((*UserColoursShown(s))[3], MakeColour(1, 1, 1));
}

TEST(PanelLabel, ComesFromTheLanguagesSection) {
    const std::string text = "[Control_Name]\r\nSpeed=Sudu\r\n[Control_Name1]\r\nSpeed=Speed\r\n";
    const IniDocument ini =
        IniDocument::Parse(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(PanelLabel(ini, 0, u"Speed"), u"Sudu");
    EXPECT_EQ(PanelLabel(ini, 1, u"Speed"), u"Speed");
    EXPECT_EQ(PanelLabel(ini, 2, u"Speed"), u"");
    EXPECT_EQ(PanelLabel(ini, 1, u"Light"), u"");
    EXPECT_EQ(PanelLabel(ini, 1, u""), u"");
}

constexpr uint16_t kA = 1058, kB = 1075, kC = 1073;

TEST(PaintStroke, AClickStaysAClick) {
    PaintStroke stroke;
    stroke.Press(kA);
    EXPECT_TRUE(stroke.Over(kA).empty());
    stroke.Release(kA);
    EXPECT_TRUE(stroke.TakeClick(kA)) << "the window's click road paints it";
}

TEST(PaintStroke, ADragPaintsEachCrossedKeyOnce) {
    PaintStroke stroke;
    stroke.Press(kA);
    EXPECT_TRUE(stroke.Over(0).empty()) << "a gap between keys";
    EXPECT_EQ(stroke.Over(kB), (std::vector<uint16_t>{kA, kB}));
    EXPECT_TRUE(stroke.Over(kB).empty());
    EXPECT_EQ(stroke.Over(kC), (std::vector<uint16_t>{kC}));
    EXPECT_TRUE(stroke.Over(kA).empty()) << "crossed again";
    EXPECT_TRUE(stroke.Over(kB).empty());
    stroke.Release(kA);
    EXPECT_FALSE(stroke.active());
    EXPECT_FALSE(stroke.TakeClick(kA)) << "the release back on the first key is no second paint";
    EXPECT_TRUE(stroke.TakeClick(kA)) << "only that one click";
}

TEST(PaintStroke, AReleaseElsewhereLeavesLaterClicksAlone) {
    PaintStroke stroke;
    stroke.Press(kA);
    stroke.Over(kB);
    stroke.Release(kB);
    EXPECT_TRUE(stroke.TakeClick(kA));
    // A new stroke starts afresh: its keys are painted again.
    stroke.Press(kB);
    EXPECT_EQ(stroke.Over(kA), (std::vector<uint16_t>{kB, kA}));
    EXPECT_TRUE(PaintStroke{}.Over(kA).empty()) << "no press, no paint";
}

TEST(FrameGate, LateAndOverlappingTicksAreSkipped) {
    FrameGate gate(50);
    EXPECT_TRUE(gate.Begin(0));
    EXPECT_FALSE(gate.Begin(50)) << "the last frame is still being drawn";
    gate.End();
    EXPECT_TRUE(gate.Begin(100));
    gate.End();
    // A tick delivered late, with the next right behind it: only one frame.
    EXPECT_TRUE(gate.Begin(260));
    gate.End();
    EXPECT_FALSE(gate.Begin(262));
    EXPECT_TRUE(gate.Begin(300));
    gate.End();
    EXPECT_EQ(gate.frames(), 4);
    EXPECT_EQ(gate.skipped(), 2);
}

}  // namespace
}  // namespace vornak
