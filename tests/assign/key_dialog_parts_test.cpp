// The key dialog's pure parts: the capture rule, where the dialog opens, the on-screen keyboard search.
#include <gtest/gtest.h>

#include <set>

#include "assign/dialog_placement.h"
#include "assign/key_capture.h"
#include "assign/on_screen_keyboard.h"

namespace vornak {
namespace {

TEST(SingleKeyCapture, FreshPressesCaptureRepeatsAndReleasesAreSwallowed) {
    const KeyCode scan = 0x148;  // Up
    EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(scan, false, false)}),
              (CaptureDecision{CaptureAction::Capture, 0x148}));
    EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(scan, false, true)}).action,
              CaptureAction::Swallow);
    EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(scan, true, false)}).action,
              CaptureAction::Swallow);
    // The key comes through KeyEventToKeyCode: Ctrl+Break is captured as Pause, the virtual key serves when
    // the scan byte is 0.
    EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(0x146, false, false)}).code, 0x045);
    EXPECT_EQ(DecideSingleKeyCapture({0x10, 0}).code, 0x02A);
    EXPECT_EQ(DecideSingleKeyCapture({0x07, 0}).action, CaptureAction::PassOn);  // no key
}

TEST(SingleKeyCapture, MediaKeysPassOnEvenWhenHeld) {
    for (KeyCode media : {0x120, 0x12E, 0x130, 0x110, 0x119, 0x122, 0x124, 0x121}) {
        for (bool release : {false, true}) {
            EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(media, release, false)}).action,
                      CaptureAction::PassOn)
                << std::hex << media;
        }
    }
    // Power is no media action: the page takes it.
    EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(0x15E, false, false)}).action,
              CaptureAction::Capture);
}

TEST(SingleKeyCapture, DesktopKeysAndPrintScreenOnEveryEvent) {
    for (bool release : {false, true}) {
        for (bool repeat : {false, true}) {
            const uint32_t flags = KeystrokeFlags(0, release, repeat && !release);
            EXPECT_EQ(DecideSingleKeyCapture({0x5B, flags}),
                      (CaptureDecision{CaptureAction::Capture, 0x15B}));
            EXPECT_EQ(DecideSingleKeyCapture({0x5C, flags}),
                      (CaptureDecision{CaptureAction::Capture, 0x15C}));
            EXPECT_EQ(DecideSingleKeyCapture({0x5D, flags}),
                      (CaptureDecision{CaptureAction::Capture, 0x15D}));
            const uint32_t print = KeystrokeFlags(0x137, release, repeat && !release);
            EXPECT_EQ(DecideSingleKeyCapture({0xFF, print}),
                      (CaptureDecision{CaptureAction::Capture, 0x137}));
        }
    }
    // Alt+Print Screen (Sys Req) is Print Screen.
    EXPECT_EQ(DecideSingleKeyCapture({0xFF, KeystrokeFlags(0x054, true, false)}).code, 0x137);
}

// A 1920 x 1080 screen, a 560 x 440 dialog, a 40 x 40 key button.
constexpr ScreenRect kScreen{0, 0, 1920, 1080};
constexpr int kW = 560;
constexpr int kH = 440;
ScreenRect Button(int x, int y) {
    return {x, y, 40, 40};
}

TEST(KeyDialogPlacement, BesideTheButtonNearEachCorner) {
    // Top-left: at the button's bottom-right corner.
    EXPECT_EQ(PlaceKeyDialog(Button(100, 100), kW, kH, kScreen), (ScreenPoint{140, 140}));
    // Bottom-left: above the button, still to its right.
    EXPECT_EQ(PlaceKeyDialog(Button(100, 900), kW, kH, kScreen), (ScreenPoint{140, 460}));
    // Top-right: to the left of the button, below it.
    EXPECT_EQ(PlaceKeyDialog(Button(1700, 100), kW, kH, kScreen), (ScreenPoint{1140, 140}));
    // Bottom-right: to the left of the button and above it.
    EXPECT_EQ(PlaceKeyDialog(Button(1800, 1000), kW, kH, kScreen), (ScreenPoint{1240, 560}));
    // Exactly fitting is fitting.
    EXPECT_EQ(PlaceKeyDialog(Button(1320, 600), kW, kH, kScreen), (ScreenPoint{1360, 640}));
}

TEST(KeyDialogPlacement, OnTheScreenTheButtonIsOn) {
    // A second screen right of the first, and its top-left corner.
    const ScreenRect second{1920, 0, 1280, 1024};
    EXPECT_EQ(PlaceKeyDialog({1930, 10, 40, 40}, kW, kH, second), (ScreenPoint{1970, 50}));
    EXPECT_EQ(PlaceKeyDialog({3100, 900, 40, 40}, kW, kH, second), (ScreenPoint{2540, 460}));
    // A screen below another: "above" means room above within this screen.
    const ScreenRect lower{0, 1080, 1920, 1080};
    EXPECT_EQ(PlaceKeyDialog({100, 1100, 40, 40}, kW, kH, lower), (ScreenPoint{140, 1140}));
}

TEST(KeyDialogPlacement, ADialogThatFitsNowhereBesideTheButtonStaysOnTheScreen) {
    const ScreenRect small{0, 0, 800, 600};
    // Neither right, above nor left has room: kept inside the screen instead of hanging off it.
    const ScreenPoint at = PlaceKeyDialog({380, 280, 40, 40}, kW, kH, small);
    EXPECT_GE(at.x, 0);
    EXPECT_GE(at.y, 0);
    EXPECT_LE(at.x + kW, 800);
    EXPECT_LE(at.y + kH, 600);
    // Larger than the screen: its top-left corner is the screen's.
    EXPECT_EQ(PlaceKeyDialog({10, 10, 40, 40}, 900, 700, small), (ScreenPoint{0, 0}));
}

TEST(OnScreenKeyboard, OnboardFirstThenTheOthersInPathOrder) {
    std::set<std::string> installed = {"/opt/bin/florence", "/usr/bin/florence", "/usr/bin/xvkbd"};
    auto exists = [&](const std::filesystem::path& p) { return installed.count(p.string()) > 0; };
    EXPECT_EQ(FindOnScreenKeyboard("/usr/local/bin:/opt/bin:/usr/bin", exists), "/opt/bin/florence");
    installed.insert("/usr/bin/onboard");
    EXPECT_EQ(FindOnScreenKeyboard("/usr/local/bin:/opt/bin:/usr/bin", exists), "/usr/bin/onboard");
    EXPECT_FALSE(FindOnScreenKeyboard("/usr/local/bin:/sbin", exists));
    // An empty folder is not the current folder.
    installed = {"onboard"};
    EXPECT_FALSE(FindOnScreenKeyboard(":/usr/bin:", exists));
    EXPECT_FALSE(FindOnScreenKeyboard("", exists));
}

}  // namespace
}  // namespace vornak
