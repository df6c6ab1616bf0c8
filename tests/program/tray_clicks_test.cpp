#include "program/tray_clicks.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

constexpr int64_t kInterval = 400;

TEST(TrayClicks, SingleClickOpensTheSceneMenuOnlyAfterTheInterval) {
    TrayClickSorter s(kInterval);
    EXPECT_EQ(s.Activated(1000), TrayClick::None);
    ASSERT_TRUE(s.deadline());
    EXPECT_EQ(*s.deadline(), 1400);
    EXPECT_EQ(s.Expire(1399), TrayClick::None);
    EXPECT_EQ(s.Expire(1400), TrayClick::SceneMenu);
    // Once only.
    EXPECT_EQ(s.Expire(2000), TrayClick::None);
    EXPECT_FALSE(s.deadline());
}

TEST(TrayClicks, ReportedDoubleClickOpensAndCancelsTheSingleClick) {
    // An XEmbed tray: the first click's activation, then the double click.
    TrayClickSorter s(kInterval);
    s.Activated(1000);
    EXPECT_EQ(s.DoubleClicked(1200), TrayClick::Open);
    EXPECT_EQ(s.Expire(5000), TrayClick::None);
}

TEST(TrayClicks, TwoActivationsWithinTheIntervalAreADoubleClick) {
    // A StatusNotifier tray reports only activations.
    TrayClickSorter s(kInterval);
    EXPECT_EQ(s.Activated(1000), TrayClick::None);
    EXPECT_EQ(s.Activated(1300), TrayClick::Open);
    EXPECT_EQ(s.Expire(5000), TrayClick::None);
}

TEST(TrayClicks, ADoubleClickReportedBothWaysOpensOnce) {
    TrayClickSorter s(kInterval);
    s.Activated(1000);
    EXPECT_EQ(s.Activated(1200), TrayClick::Open);
    EXPECT_EQ(s.DoubleClicked(1201), TrayClick::None);
    // An activation that trails the same double click starts no single click either.
    EXPECT_EQ(s.Activated(1250), TrayClick::None);
    EXPECT_FALSE(s.deadline());
}

TEST(TrayClicks, ActivationsFartherApartAreTwoSingleClicks) {
    TrayClickSorter s(kInterval);
    s.Activated(1000);
    EXPECT_EQ(s.Expire(1400), TrayClick::SceneMenu);
    EXPECT_EQ(s.Activated(1401), TrayClick::None);
    EXPECT_EQ(s.Expire(1801), TrayClick::SceneMenu);
    // And after a double click has long passed, clicks count afresh.
    s.DoubleClicked(3000);
    EXPECT_EQ(s.Activated(4000), TrayClick::None);
    EXPECT_EQ(s.Expire(4400), TrayClick::SceneMenu);
}

}  // namespace
}  // namespace vornak
