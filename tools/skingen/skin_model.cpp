#include "skin_model.h"

#include <cstdio>
#include <stdexcept>
#include <tuple>

#include "keyboard/key_buttons.h"
#include "keyboard/key_table.h"
#include "layout_rows.h"

namespace vornak::skingen {

namespace layout {

Control ImageButton(std::string key, QRect rect, Face face, std::array<std::string, 5> surfaces,
                    std::array<Look, 5> looks, unsigned sets) {
    Control c;
    c.key = std::move(key);
    c.rect = rect;
    c.place = Place::ImageButton;
    c.face = face;
    c.surfaces = std::move(surfaces);
    c.looks = looks;
    c.sets = sets;
    return c;
}

Control Placed(std::string key, QRect rect, Widget widget, Group group, Place place) {
    Control c;
    c.key = std::move(key);
    c.rect = rect;
    c.place = place;
    c.widget = widget;
    c.group = group;
    return c;
}

Control WithGlyph(Control c, Glyph g) {
    c.glyph = g;
    return c;
}

Control WithCaption(Control c, QString caption, int points) {
    c.caption = std::move(caption);
    c.captionPoints = points;
    return c;
}

Control WithText(Control c, QString text) {
    c.widgetText = std::move(text);
    return c;
}

Control WithBitmap(Control c, std::string bitmap) {
    c.widget = Widget::Picture;
    c.bitmap = std::move(bitmap);
    return c;
}

Control Colour(Control c, QColor colour) {
    c.widget = Widget::ColourButton;
    c.colour = colour;
    return c;
}

}  // namespace layout

namespace {

using namespace layout;

std::vector<Bitmap> Bitmaps() {
    using K = BitmapKind;
    std::vector<Bitmap> b;
    const auto add = [&b](std::string file, QSize size, K kind) -> Bitmap& {
        Bitmap bitmap;
        bitmap.file = std::move(file);
        bitmap.size = size;
        bitmap.kind = kind;
        return b.emplace_back(std::move(bitmap));
    };
    add("dengup.bmp", QSize(52, 26), K::LightSwitch);
    add("dengdown.bmp", QSize(52, 26), K::LightSwitch).on = true;
    for (auto [file, motion, chosen] : {std::tuple{"leftup.bmp", Motion::Left, false},
                                        {"leftdown.bmp", Motion::Left, true},
                                        {"rightup.bmp", Motion::Right, false},
                                        {"rightdown.bmp", Motion::Right, true},
                                        {"upup.bmp", Motion::Up, false},
                                        {"updown.bmp", Motion::Up, true},
                                        {"downup.bmp", Motion::Down, false},
                                        {"downdown.bmp", Motion::Down, true},
                                        {"kuosan.bmp", Motion::Outward, false},
                                        {"kuosandown.bmp", Motion::Outward, true},
                                        {"julong.bmp", Motion::Inward, false},
                                        {"julongdown.bmp", Motion::Inward, true}}) {
        Bitmap& tile = add(file, QSize(84, 44), K::Direction);
        tile.motion = motion;
        tile.on = chosen;
    }
    for (auto [name, colour] : {std::pair{"hong", palette::kPresetRed},
                                {"huang", palette::kPresetYellow},
                                {"lv", palette::kPresetGreen},
                                {"lan", palette::kPresetBlue}}) {
        for (bool ticked : {false, true}) {
            Bitmap& swatch = add(std::string(name) + (ticked ? "ok.bmp" : ".bmp"), QSize(38, 38), K::Preset);
            swatch.colour = colour;
            swatch.on = ticked;
        }
    }
    add("sjsup.bmp", QSize(48, 24), K::ColourfulSwitch);
    add("sjsdown.bmp", QSize(48, 24), K::ColourfulSwitch).on = true;
    for (int tool = 1; tool <= 2; ++tool) {
        for (bool chosen : {false, true}) {
            Bitmap& t =
                add("user" + std::to_string(tool) + (chosen ? "down.bmp" : "up.bmp"), QSize(40, 40), K::Tool);
            t.bucket = tool == 2;
            t.on = chosen;
        }
    }
    for (int i = 1; i <= 10; ++i)
        add("jdt" + std::to_string(i) + ".bmp", QSize(28, 28), K::Busy).frame = i - 1;
    // Sliders: 0..5 brightness, 6..11 speed, 12..25 spare frames in the same style.
    for (int i = 0; i <= 25; ++i) {
        Bitmap& slider = add(std::to_string(i) + ".bmp", QSize(240, 28), K::Slider);
        slider.spare = i >= 12;
        slider.steps = slider.spare ? 14 : 6;
        slider.position = slider.spare ? i - 12 : i % 6;
    }
    return b;
}

std::vector<ArrowFrame> ArrowFrames(const Dialog& main, QSize* sheet) {
    // Frames sit on a 32-pixel grid, so no JPEG block mixes two of them.
    std::vector<ArrowFrame> frames;
    int column = 0;
    for (const char* side : {"LEFT", "RIGHT"}) {
        for (bool up : {true, false}) {
            for (int frame = 1; frame <= 2; ++frame) {
                ArrowFrame f;
                f.key = std::string(up ? "UP_ARROW_" : "DOWN_ARROW_") + side + std::to_string(frame);
                f.arrowKey = std::string(side) + "_ARROW";
                f.up = up;
                f.frame = frame;
                f.origin = QPoint(column * 32 + 8 + 1, 8 + 1);
                frames.push_back(f);
                ++column;
            }
        }
    }
    int tallest = 0;
    for (const auto& c : main.controls) {
        if (c.place == Place::Arrow) tallest = std::max(tallest, c.rect.height());
    }
    *sheet = QSize(column * 32 + 16, tallest + 24);
    return frames;
}

SkinModel BuildModel() {
    SkinModel m;
    m.dialogs = {MainDialog(), CompositeDialog(), ProfileDialog(), UpdateDialog(), ApplicationsDialog()};
    m.arrowFrames = ArrowFrames(m.dialogs[0], &m.arrowSheet);
    m.bitmaps = Bitmaps();
    m.link = "https://nimbrel.example/kx1";
    m.effectNames = {
        {"1", QString::fromUtf8("彩虹波浪"), "Rainbow Wave"},
        {"2", QString::fromUtf8("脉冲波浪"), "Pulse Wave"},
        {"3", QString::fromUtf8("环绕流光"), "Orbit"},
        {"4", QString::fromUtf8("光谱循环"), "Spectrum Cycle"},
        {"5", QString::fromUtf8("呼吸"), "Breathing"},
        {"6", QString::fromUtf8("常亮"), "Static"},
        {"7", QString::fromUtf8("触发渐隐"), "Reactive Fade"},
        {"8", QString::fromUtf8("拖尾"), "Trail"},
        {"9", QString::fromUtf8("按键迸发"), "Key Burst"},
        {"10", QString::fromUtf8("星光"), "Starlight"},
        {"11", QString::fromUtf8("万花筒"), "Kaleidoscope"},
        {"12", QString::fromUtf8("雨幕"), "Rain"},
        {"13", QString::fromUtf8("涟漪"), "Ripple"},
        {"14", QString::fromUtf8("水花"), "Splash"},
        {"15", QString::fromUtf8("冲击波"), "Shockwave"},
        {"16", QString::fromUtf8("单键触发"), "Reactive"},
        {"17", QString::fromUtf8("预设颜色"), "Preset Colour"},
        {"18", QString::fromUtf8("漩涡"), "Vortex"},
        {"20", QString::fromUtf8("自定义"), "Custom"},
    };
    m.controlNames = {
        {"Usb", QString::fromUtf8("背光设置"), "Lighting"},
        {"Deng", QString::fromUtf8("灯光开关"), "Edit lighting, paint keys"},
        {"Light", QString::fromUtf8("亮度"), "Brightness"},
        {"Speed", QString::fromUtf8("速度"), "Speed"},
        {"FX", QString::fromUtf8("方向"), "Direction"},
        {"Color", QString::fromUtf8("颜色"), "Colour"},
        {"DC", QString::fromUtf8("炫彩"), "Colourful"},
        {"JColor", QString::fromUtf8("底色"), "Base colour"},
        {"Tool", QString::fromUtf8("画笔"), "Brush"},
    };
    // Every key button of the main window must have a place on the keyboard.
    const Dialog& main = m.dialogs[0];
    for (const auto& b : kKeyButtons) {
        char key[16];
        std::snprintf(key, sizeof key, "KEY_%03X", KeySlot(b.code));
        if (!FindControl(main, key))
            throw std::logic_error(std::string("no place on the keyboard for ") + key);
    }
    return m;
}

}  // namespace

const SkinModel& DefaultSkin() {
    static const SkinModel model = BuildModel();
    return model;
}

const Dialog& DialogOf(const SkinModel& model, DialogId id) {
    for (const auto& d : model.dialogs) {
        if (d.id == id) return d;
    }
    throw std::logic_error("no such dialog");
}

const Control* FindControl(const Dialog& dialog, const std::string& key) {
    for (const auto& c : dialog.controls) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

}  // namespace vornak::skingen
