// The program's icons in the skin's colours: the application icon and the three tray icons.
#pragma once

#include <QByteArray>
#include <QImage>
#include <array>
#include <filesystem>
#include <string>

namespace vornak::skingen {

enum class IconKind { Application, NoKeyboard, Keyboard, MacroPlaying };

QImage RenderIcon(IconKind kind, int size);
// The same drawing as a scalable SVG (a 128-unit view box).
QByteArray RenderIconSvg(IconKind kind);
// "vornak.png" (256 px) and "tray_nokeyboard.png", "tray_keyboard.png", "tray_macro.png" (64 px) in folder.
bool WriteIcons(const std::filesystem::path& folder, std::string* error);

// The sizes of the application icon in an icon theme, besides the scalable one.
inline constexpr std::array<int, 9> kAppIconSizes = {16, 22, 24, 32, 48, 64, 128, 256, 512};
// The application icon as an icon theme lays it out: <size>x<size>/apps/<name>.png for each of kAppIconSizes
// and scalable/apps/<name>.svg, under folder.
bool WriteAppIcons(const std::filesystem::path& folder, const std::string& name, std::string* error);

}  // namespace vornak::skingen
