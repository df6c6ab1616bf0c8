// The default skin as data: every dialog, every control with its place and its look, every picture. The
// pictures, the layout files and the previews are all made from this one table, so a rectangle and the
// picture under it can never disagree.
#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "skin/palette.h"

namespace vornak::skingen {

// What a control shows in one picture.
enum class Look { Normal, Over, Down, Disabled, Selected };

// The drawing of an image button's face.
enum class Face {
    Background,  // shows the window behind it (its text is drawn by the program)
    KeyCap,
    Indicator,
    TextButton,
    PrimaryButton,
    Segment,
    Tab,
    Icon,
    PageMask,
    Title,
};

enum class Glyph {
    None,
    Close,
    Minimize,
    Help,
    Menu,
    Link,
    Keyboard,
    Eraser,
    Plus,
    Minus,
    Swap,
    Dot,
    Left,
    Right,
    Keycap,
    Macro,
    Layers,
    Chip,
};

enum class Place { ImageButton, Control, KeepSize, Arrow };

// How the preview stands in for a control that the program creates itself.
enum class Widget { None, Label, Heading, Combo, EditCombo, Edit, List, Picture, ColourButton, CheckBox };

// The lighting controls that show together (for the previews; the program decides from the effect).
enum class Group { Always, Speed, Direction, Direction2, Direction3, Hx, Fy, Presets, User, Hidden };

struct Control {
    std::string key;
    QRect rect;
    Place place = Place::ImageButton;
    Face face = Face::Background;
    Glyph glyph = Glyph::None;
    QString legend;        // drawn into the pictures
    QString cornerLegend;  // small, top left (the G keys that the program labels itself)
    int segment = -1;      // Segment faces: 0 first, 1 middle, 2 last
    int page = -1;         // key dialog: the only page whose pictures show it (-1: every page)
    bool danger = false;   // Icon faces: the close button turns red
    // The look in each picture of the sets this control answers to, by picture slot (normal, over, down,
    // disabled, other); in any other picture it shows its normal look.
    std::array<Look, 5> looks = {Look::Normal, Look::Over, Look::Down, Look::Disabled, Look::Normal};
    unsigned sets = 1;

    // For the preview: which picture files serve as its five surfaces, what the program writes on it, and
    // what stands in for a control the program makes.
    std::array<std::string, 5> surfaces;
    QString caption;
    int captionPoints = 9;
    Widget widget = Widget::None;
    QString widgetText;  // label text, or the preview's sample content
    std::string bitmap;  // picture shown by a picture control
    QColor colour;       // colour buttons
    Group group = Group::Always;
};

struct Picture {
    std::string file;
    unsigned set = 1;
    int slot = 0;  // 0 normal, 1 over, 2 down, 3 disabled, 4 other
    int page = 0;  // the key dialog's page whose face the page mask shows
    bool colourMode = false;
};

// A frame of the animated arrows: the key of "BUTTONINFO2", drawn into "Arrow.jpg" at its origin.
struct ArrowFrame {
    std::string key;
    std::string arrowKey;  // the arrow that shows it
    bool up = true;        // the up pair is drawn lit, the down pair calm
    int frame = 1;
    QPoint origin;  // one pixel right of and below the frame's top-left corner
};

enum class DialogId { Main, Composite, Profile, Update, Applications };

struct Dialog {
    DialogId id;
    std::string ini;  // "Main.ini"
    std::string background;
    std::string mask;
    QSize size;
    std::vector<Control> controls;
    std::vector<Picture> pictures;
};

// What a bitmap of the lighting panel shows; each is drawn on the panel's colour.
enum class BitmapKind {
    LightSwitch,      // the lighting switch, off or on
    ColourfulSwitch,  // the colourful switch, off or on
    Direction,        // a direction tile: the way the effect moves
    Preset,           // a preset colour swatch, ticked when chosen
    Tool,             // a user-mode brush: the pen or the bucket
    Busy,             // a frame of the busy ring
    Slider,           // a brightness or speed slider at one position
};

// The way a direction tile's chevrons point.
enum class Motion { Right, Left, Up, Down, Outward, Inward };

struct Bitmap {
    std::string file;
    QSize size;
    BitmapKind kind = BitmapKind::Slider;
    bool on = false;                // switches: on; tiles and tools: chosen; presets: ticked
    Motion motion = Motion::Right;  // Direction
    QColor colour;                  // Preset
    bool bucket = false;            // Tool: the bucket (false: the pen)
    int frame = 0;                  // Busy: 0 first
    int steps = 6;                  // Slider: positions on the track
    int position = 0;               // Slider: 0 leftmost
    bool spare = false;             // Slider: a frame the program does not use, drawn calmer
};

struct SkinModel {
    std::vector<Dialog> dialogs;
    std::vector<ArrowFrame> arrowFrames;
    std::vector<Bitmap> bitmaps;
    QSize arrowSheet;
    // "Main.ini" texts: [SCREEN] Link, the effect names and the panel's labels, (key, Chinese, English).
    std::string link;
    std::vector<std::array<QString, 3>> effectNames;
    std::vector<std::array<QString, 3>> controlNames;
};

const SkinModel& DefaultSkin();
const Dialog& DialogOf(const SkinModel& model, DialogId id);
const Control* FindControl(const Dialog& dialog, const std::string& key);

}  // namespace vornak::skingen
