// The window shape of a skinned dialog: every pixel of its mask picture that is not the key colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vornak {

// Rectangles are built into regions this many at a time, so one huge mask never needs one huge call.
inline constexpr size_t kRegionBatchSize = 2000;

struct PixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// A 32-bit picture, top row first, each pixel 0xAARRGGBB (the alpha byte is ignored).
struct MaskPixels {
    int width = 0;
    int height = 0;
    size_t stride = 0;  // pixels from one row to the next
    std::span<const uint32_t> pixels;
};

// The shape as one-pixel-high rectangles, one per maximal run of kept pixels, rows from the top. A pixel is
// cut out when each channel lies in [key, key + tolerance] (capped at 255). Each batch holds at most
// kRegionBatchSize rectangles; no batch means no visible area. A buffer smaller than its size says is read
// as far as it goes.
std::vector<std::vector<PixelRect>> MaskToRegion(const MaskPixels& mask, Rgb key, uint8_t tolerance);

}  // namespace vornak
