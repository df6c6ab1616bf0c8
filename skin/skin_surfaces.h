// The state pictures of the skinned dialogs, loaded once per process and shared by every button that shows a
// part of them. Each is drawn unscaled at (0, 0) onto a canvas as large as its dialog plus 100 pixels each
// way, so a crop near the right or bottom edge never reads outside the surface. Sizes are in the window's
// (logical) pixels; a surface of the 2x set has twice as many device pixels and a device pixel ratio of 2.
#pragma once

#include <QPixmap>
#include <QSize>
#include <filesystem>
#include <map>
#include <string>

namespace vornak {

inline constexpr int kSurfaceMargin = 100;

// The picture set this process draws with: 2x when any of its screens has a device pixel ratio above 1.
// Only then is a 2x picture ever loaded.
int SkinPictureScale();

struct SkinSurface {
    QPixmap pixmap;       // never null once created; transparent where no picture was drawn
    bool loaded = false;  // the picture file was read and decoded
    std::string error;    // why it was not, naming the file
};

// Only the user-interface thread touches the cache, like every other picture.
class SkinSurfaces {
  public:
    static SkinSurfaces& Instance();

    // The surface of a picture file. The first request loads it (a missing or undecodable picture leaves the
    // surface empty, with the reason in error); later requests get the same surface, whatever canvas they ask
    // for. The surfaces live until the application object goes.
    // The scale picks the picture set (1 or 2, SkinPictureScale()).
    const SkinSurface& Get(const std::filesystem::path& file, QSize dialogSize,
                           int scale = SkinPictureScale());

    size_t size() const { return surfaces_.size(); }
    void Clear() { surfaces_.clear(); }

  private:
    SkinSurfaces() = default;
    std::map<std::pair<std::filesystem::path, int>, SkinSurface> surfaces_;
};

// Ends the process at once for a picture a dialog cannot be shown without: one line on stderr naming the
// file, exit status kSkinPictureFailureExitCode (never 0, so scripts and service managers see the failure).
[[noreturn]] void EndForSkinFailure(const std::string& message);

// Reads and decodes a picture, or says why it could not (the message names the file). At scale 2 it reads the
// 2x file beside it when there is one (the image then has a device pixel ratio of 2, so it keeps its size in
// window pixels), and the 1x file otherwise.
bool LoadSkinPicture(const std::filesystem::path& file, QImage* image, std::string* error,
                     int scale = SkinPictureScale());

}  // namespace vornak
