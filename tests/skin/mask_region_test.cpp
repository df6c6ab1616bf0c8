#include "skin/core/mask_region.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vornak {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

struct Picture {
    Picture(int w, int h, uint32_t fill, size_t padding = 0)
        : width(w), height(h), stride(w + padding), pixels(stride * h, fill) {}
    uint32_t& at(int x, int y) { return pixels[y * stride + x]; }
    MaskPixels view() const { return {width, height, stride, pixels}; }
    int width, height;
    size_t stride;
    std::vector<uint32_t> pixels;
};

std::vector<std::vector<PixelRect>> Scan(const Picture& p, Rgb key = {255, 255, 255}, uint8_t tolerance = 0) {
    return MaskToRegion(p.view(), key, tolerance);
}

std::set<std::pair<int, int>> Covered(const std::vector<std::vector<PixelRect>>& batches) {
    std::set<std::pair<int, int>> points;
    for (const auto& batch : batches) {
        for (const auto& r : batch) {
            for (int y = r.y; y < r.y + r.h; ++y) {
                for (int x = r.x; x < r.x + r.w; ++x)
                    EXPECT_TRUE(points.insert({x, y}).second) << "overlap";
            }
        }
    }
    return points;
}

TEST(MaskToRegion, AllWhiteLeavesNoArea) {
    EXPECT_TRUE(Scan(Picture(40, 30, kWhite)).empty());
}

TEST(MaskToRegion, NoWhiteKeepsTheWholeRectangleOneRunPerRow) {
    const auto batches = Scan(Picture(40, 30, kBlack, 3));
    ASSERT_EQ(batches.size(), 1u);
    ASSERT_EQ(batches[0].size(), 30u);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(batches[0][y], (PixelRect{0, y, 40, 1}));
}

TEST(MaskToRegion, OnlyExactWhiteIsCutWithToleranceZero) {
    Picture p(3, 1, kWhite);
    p.at(0, 0) = 0xFFFEFFFF;  // red 254
    p.at(2, 0) = 0x00FFFFFF;  // white with a zero alpha byte: still white
    const auto batches = Scan(p);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0], (std::vector<PixelRect>{{0, 0, 1, 1}}));
}

TEST(MaskToRegion, ToleranceWidensEachChannelUpwardsOnly) {
    Picture p(4, 1, kBlack);
    p.at(0, 0) = 0xFF0A0A0A;  // the key
    p.at(1, 0) = 0xFF0F0C0A;  // within +5
    p.at(2, 0) = 0xFF100A0A;  // red +6: kept
    p.at(3, 0) = 0xFF090A0A;  // red -1: kept
    const auto batches = Scan(p, {10, 10, 10}, 5);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0], (std::vector<PixelRect>{{2, 0, 2, 1}}));
    // A key near 255 caps its range at 255 instead of wrapping round to 0.
    Picture q(2, 1, 0xFFFFFFFF);
    q.at(1, 0) = kBlack;
    EXPECT_EQ(Covered(Scan(q, {250, 250, 250}, 100)), (std::set<std::pair<int, int>>{{1, 0}}));
}

TEST(MaskToRegion, RunsAreRowsFromTheTop) {
    Picture p(6, 3, kWhite);
    p.at(1, 0) = p.at(2, 0) = kBlack;               // one run
    p.at(0, 2) = p.at(4, 2) = p.at(5, 2) = kBlack;  // two runs
    const auto batches = Scan(p);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0], (std::vector<PixelRect>{{1, 0, 2, 1}, {0, 2, 1, 1}, {4, 2, 2, 1}}));
}

TEST(MaskToRegion, ManyRectanglesComeInBatchesAndCoverExactlyTheKeptPixels) {
    // A checkerboard: every black pixel is its own run, 3 x 2000 + 7 of them.
    const int w = 200, h = 61;
    Picture p(w, h, kWhite, 5);
    std::set<std::pair<int, int>> kept;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if ((x + y) % 2 == 0) {
                p.at(x, y) = kBlack;
                kept.insert({x, y});
            }
        }
    }
    ASSERT_EQ(kept.size(), 6100u);
    const auto batches = Scan(p);
    ASSERT_EQ(batches.size(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(batches[i].size(), kRegionBatchSize);
    EXPECT_EQ(batches[3].size(), 100u);
    EXPECT_EQ(Covered(batches), kept);
}

TEST(MaskToRegion, EmptyOrShortBuffersAreSafe) {
    EXPECT_TRUE(MaskToRegion({}, {255, 255, 255}, 0).empty());
    Picture p(4, 4, kBlack);
    MaskPixels shortView{4, 4, 4, std::span<const uint32_t>(p.pixels.data(), 9)};  // two rows and a bit
    const auto batches = MaskToRegion(shortView, {255, 255, 255}, 0);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].size(), 2u);
    MaskPixels badStride{4, 4, 2, p.pixels};
    EXPECT_TRUE(MaskToRegion(badStride, {255, 255, 255}, 0).empty());
}

}  // namespace
}  // namespace vornak
