// The per-key colour image of the three profiles and its transfer to the keyboard (command 17).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/device_link.h"
#include "keyboard/key_table.h"
#include "lighting/lighting_block.h"

namespace vornak {

inline constexpr size_t kKeyColourProfileBytes = kMatrixPositionCount * 3;  // 378
inline constexpr size_t kKeyColourImageBytes = kKeyColourProfileBytes * kLightingProfileCount;
// The keyboard's colour memory gives each profile 512 bytes; the position field counts from there.
inline constexpr uint16_t kKeyColourProfileStride = 512;
// A whole profile goes in pieces of 18 positions (54 bytes), a painted key as one piece of 3.
inline constexpr int kKeyColourPositionsPerPiece = 18;

constexpr uint16_t KeyColourPositionField(int profile, int position) {
    return static_cast<uint16_t>(position * 3 + profile * kKeyColourProfileStride);
}

// Three profiles x 126 MatrixPositions x R, G, B; profile p, position k at byte p x 378 + k x 3.
class KeyColourImage {
  public:
    KeyColourImage() { bytes_.fill(0); }

    static constexpr bool Valid(int profile, int position) {
        return profile >= 0 && profile < kLightingProfileCount && position >= 0 &&
               position < kMatrixPositionCount;
    }

    Colour Get(int profile, int position) const;
    void Set(int profile, int position, Colour colour);
    void Fill(int profile, Colour colour);

    std::span<const uint8_t> Profile(int profile) const;
    std::span<const uint8_t, kKeyColourImageBytes> bytes() const { return bytes_; }

    friend bool operator==(const KeyColourImage&, const KeyColourImage&) = default;

  private:
    static size_t Offset(int profile, int position) {
        return static_cast<size_t>(profile) * kKeyColourProfileBytes + static_cast<size_t>(position) * 3;
    }
    std::array<uint8_t, kKeyColourImageBytes> bytes_{};
};

// begin, seven writes of 54 bytes (positions 0, 18, ..., 108), end. Command results are not checked: the
// keyboard catches up at the next send. Returns the first failing result, or 1.
int SendKeyColourProfile(DeviceLink& link, const KeyColourImage& image, int profile);
// begin, one write of 3 bytes, end.
int SendKeyColour(DeviceLink& link, int profile, int position, Colour colour);

}  // namespace vornak
