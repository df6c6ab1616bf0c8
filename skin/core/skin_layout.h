// Skin layout files: one INI file per dialog says where each control sits ("BUTTONINFO"), which pictures
// draw the dialog ("SCREEN"), and, for the main window, the arrow frames ("BUTTONINFO2") and the lighting
// texts. This layer turns those values into places and decisions; the Qt side only applies them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace vornak {

inline constexpr std::u16string_view kButtonInfoSection = u"BUTTONINFO";
inline constexpr std::u16string_view kButtonInfo2Section = u"BUTTONINFO2";
inline constexpr std::u16string_view kScreenSection = u"SCREEN";
// What a missing key reads as: a 1 x 1 control at (1, 1), which the image buttons take as "not in this skin".
inline constexpr std::u16string_view kDefaultSkinRect = u"1,1,1,1,x";

// Layout values are read into 260-character buffers, "SCREEN" values into 2048-character ones.
inline constexpr size_t kLayoutValueCapacity = 260;
inline constexpr size_t kScreenValueCapacity = 2048;

struct SkinRect {
    int x = 1;
    int y = 1;
    int w = 1;
    int h = 1;
    friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

// Four integers separated by commas, read the way "%d,%d,%d,%d" reads them: blanks before a number are
// skipped, a comma must follow each of the first three numbers at once, anything after the fourth is ignored.
// Nothing when the value does not start that way, a number does not fit an int, or w or h is negative.
std::optional<SkinRect> TryParseSkinRect(std::u16string_view value);
// As above, with a malformed value read as the default rectangle: the control then counts as absent instead
// of landing half-placed somewhere in the window.
SkinRect ParseSkinRect(std::u16string_view value);

// Where an image button goes and what it shows. The button paints the part of each state picture whose
// top-left corner is one pixel up and left of the origin; the skin pictures are drawn with that in mind.
struct ImageButtonPlacement {
    SkinRect rect;
    int originX = 0;
    int originY = 0;
    bool disable = false;  // the control is absent from the skin
};

ImageButtonPlacement PlanImageButton(const SkinRect& rect);
// Position and size from one key, picture origin from another; an arrow is never disabled by its place.
ImageButtonPlacement PlanImageButtonFrom(const SkinRect& rect, const SkinRect& origin);

struct CropOrigin {
    int x = 0;
    int y = 0;
    friend bool operator==(const CropOrigin&, const CropOrigin&) = default;
};
constexpr CropOrigin SurfaceCropOrigin(int originX, int originY) {
    return {originX - 1, originY - 1};
}

// Picture names in the skin files are Windows-style relative paths ("Skins\main_normal.jpg").
std::filesystem::path JoinSkinPath(const std::filesystem::path& folder, std::u16string_view relative);

// A skin holds each picture at 1x and at 2x: "main_normal@2x.jpg" beside "main_normal.jpg", twice as wide and
// twice as high, for screens whose device pixel ratio is above 1.
inline constexpr int kHighResolutionScale = 2;
// The file that holds a picture at a scale: the file itself at 1, "<stem>@<scale>x<extension>" above.
std::filesystem::path ScaledPictureFile(const std::filesystem::path& file, int scale);
// The set of pictures a screen wants: 2x above a device pixel ratio of 1 (Qt scales it down to 1.25 or 1.5,
// which keeps drawn text sharper than stretching the 1x set up), 1x otherwise.
int PictureScaleFor(double devicePixelRatio);

// Where a window of the given place should open inside the area its screen leaves to windows: where it
// is when it fits, moved in by the least that makes it fit otherwise. A window larger than the area keeps
// its top-left corner inside it, where the title and the close button are.
SkinRect FitWindowInArea(const SkinRect& window, const SkinRect& area);

struct SkinScreen {
    std::u16string main;  // background picture; empty when the file names none
    std::u16string mask;  // shape picture: the background picture when "Mask" is missing or empty
};

// One parse of one layout file, serving every control of its dialog.
class SkinLayout {
  public:
    SkinLayout() = default;
    static SkinLayout Load(const std::filesystem::path& iniFile);
    static SkinLayout FromDocument(IniDocument document, std::filesystem::path iniFile = {});

    const std::filesystem::path& file() const { return file_; }
    const IniDocument& document() const { return document_; }

    // The rectangle of a key, the default rectangle when the key (or the file) is missing.
    SkinRect Rect(std::u16string_view section, std::u16string_view key) const;
    SkinRect Rect(std::u16string_view key) const { return Rect(kButtonInfoSection, key); }
    // Nothing when the key is missing or its value is malformed (for checks of a skin).
    std::optional<SkinRect> FindRect(std::u16string_view section, std::u16string_view key) const;

    SkinScreen Screen() const;
    std::u16string Text(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                        size_t capacity = kLayoutValueCapacity) const;

  private:
    IniDocument document_;
    std::filesystem::path file_;
};

// Which of its pictures an image button shows. A disabled button shows its disabled surface whatever else
// holds; check mode replaces the five state surfaces by the check pair.
enum class ButtonSurface { Normal, Over, Down, Disabled, Selected, Unchecked, Checked };

struct ButtonStateFlags {
    bool enabled = true;
    bool checkMode = false;
    bool checked = false;
    bool pressed = false;
    bool hover = false;
    bool selected = false;
};

ButtonSurface ChooseSurface(const ButtonStateFlags& state);

// A failed "SCREEN" picture ends the process with this status and one line on stderr naming the file.
inline constexpr int kSkinPictureFailureExitCode = 1;

}  // namespace vornak
