#include "skin/core/mask_region.h"

#include <algorithm>

namespace vornak {

namespace {

struct ChannelRange {
    int low;
    int high;
    bool Holds(int v) const { return v >= low && v <= high; }
};

ChannelRange RangeOf(uint8_t key, uint8_t tolerance) {
    return {key, std::min(255, key + tolerance)};
}

}  // namespace

std::vector<std::vector<PixelRect>> MaskToRegion(const MaskPixels& mask, Rgb key, uint8_t tolerance) {
    std::vector<std::vector<PixelRect>> batches;
    if (mask.width <= 0 || mask.height <= 0 || mask.stride < static_cast<size_t>(mask.width)) return batches;

    const ChannelRange r = RangeOf(key.r, tolerance);
    const ChannelRange g = RangeOf(key.g, tolerance);
    const ChannelRange b = RangeOf(key.b, tolerance);
    auto cutOut = [&](uint32_t p) {
        return r.Holds((p >> 16) & 0xFF) && g.Holds((p >> 8) & 0xFF) && b.Holds(p & 0xFF);
    };

    std::vector<PixelRect> batch;
    auto add = [&](PixelRect rect) {
        batch.push_back(rect);
        if (batch.size() == kRegionBatchSize) {
            batches.push_back(std::move(batch));
            batch.clear();
        }
    };

    for (size_t y = 0; y < static_cast<size_t>(mask.height); ++y) {
        if (y * mask.stride + mask.width > mask.pixels.size()) break;
        const uint32_t* row = mask.pixels.data() + y * mask.stride;
        int x = 0;
        while (x < mask.width) {
            while (x < mask.width && cutOut(row[x]))
                ++x;
            const int start = x;
            while (x < mask.width && !cutOut(row[x]))
                ++x;
            if (x > start) add({start, static_cast<int>(y), x - start, 1});
        }
    }
    if (!batch.empty()) batches.push_back(std::move(batch));
    return batches;
}

}  // namespace vornak
