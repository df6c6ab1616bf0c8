// The state pictures of the skinned dialogs, loaded once and shared by every button that shows a part of
// them. A button draws the part of the picture under it; a part that lies beyond the picture's edge is left
// undrawn (the painter clips the crop), so a picture needs no margin around it.
// Sizes are in the window's (logical) pixels; a surface of the 2x set has twice as many device pixels and a
// device pixel ratio of 2.
#pragma once

#include <QPixmap>
#include <QSize>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

namespace vornak {

// The picture set this process draws with: 2x when any of its screens has a device pixel ratio above 1.
// Only then is a 2x picture ever loaded.
int SkinPictureScale();

struct SkinSurface {
    QPixmap pixmap;       // the picture; for a missing one a transparent pixmap of the dialog's size
    bool loaded = false;  // the picture file was read and decoded
    std::string error;    // why it was not, naming the file
};

// Only the user-interface thread touches the cache, like every other picture.
class SkinSurfaces {
  public:
    static SkinSurfaces& Instance();

    // The surface of a picture file. The first request loads it (a missing or undecodable picture leaves the
    // surface empty, with the reason in error); later requests get the same surface, whatever size they ask
    // for, until Trim lets it go.
    // The scale picks the picture set (1 or 2, SkinPictureScale()).
    const SkinSurface& Get(const std::filesystem::path& file, QSize dialogSize,
                           int scale = SkinPictureScale());

    // Lets go of every surface no button or window holds any more (a window hidden to the tray gave its
    // pictures back); a later Get loads it again.
    void Trim();
    bool Holds(const std::filesystem::path& file) const {
        return std::any_of(surfaces_.begin(), surfaces_.end(),
                           [&](const auto& e) { return e.first.first == file; });
    }
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
