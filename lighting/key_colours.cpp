#include "lighting/key_colours.h"

namespace vornak {

Colour KeyColourImage::Get(int profile, int position) const {
    if (!Valid(profile, position)) return kBlack;
    const size_t o = Offset(profile, position);
    return MakeColour(bytes_[o], bytes_[o + 1], bytes_[o + 2]);
}

void KeyColourImage::Set(int profile, int position, Colour colour) {
    if (!Valid(profile, position)) return;
    const size_t o = Offset(profile, position);
    bytes_[o] = ColourR(colour);
    bytes_[o + 1] = ColourG(colour);
    bytes_[o + 2] = ColourB(colour);
}

void KeyColourImage::Fill(int profile, Colour colour) {
    for (int k = 0; k < kMatrixPositionCount; ++k)
        Set(profile, k, colour);
}

std::span<const uint8_t> KeyColourImage::Profile(int profile) const {
    if (profile < 0 || profile >= kLightingProfileCount) return {};
    return std::span<const uint8_t>(bytes_).subspan(static_cast<size_t>(profile) * kKeyColourProfileBytes,
                                                    kKeyColourProfileBytes);
}

namespace {

int Keep(int first, int result) {
    return first == kLinkOk ? result : first;
}

}  // namespace

int SendKeyColourProfile(DeviceLink& link, const KeyColourImage& image, int profile) {
    if (profile < 0 || profile >= kLightingProfileCount) return kLinkBadIndex;
    const auto bytes = image.Profile(profile);
    int result = link.BeginSequence();
    for (int first = 0; first < kMatrixPositionCount; first += kKeyColourPositionsPerPiece) {
        const auto piece = bytes.subspan(static_cast<size_t>(first) * 3, kKeyColourPositionsPerPiece * 3);
        result = Keep(result, link.WriteKeyColours(KeyColourPositionField(profile, first), piece));
    }
    return Keep(result, link.EndSequence());
}

int SendKeyColour(DeviceLink& link, int profile, int position, Colour colour) {
    if (!KeyColourImage::Valid(profile, position)) return kLinkBadIndex;
    const std::array<uint8_t, 3> rgb = {ColourR(colour), ColourG(colour), ColourB(colour)};
    int result = link.BeginSequence();
    result = Keep(result, link.WriteKeyColours(KeyColourPositionField(profile, position), rgb));
    return Keep(result, link.EndSequence());
}

}  // namespace vornak
