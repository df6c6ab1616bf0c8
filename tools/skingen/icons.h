// The program's icons in the skin's colours: the application icon and the three tray icons.
#pragma once

#include <QImage>
#include <filesystem>
#include <string>

namespace vornak::skingen {

enum class IconKind { Application, NoKeyboard, Keyboard, MacroPlaying };

QImage RenderIcon(IconKind kind, int size);
// "vornak.png" (256 px) and "tray_nokeyboard.png", "tray_keyboard.png", "tray_macro.png" (64 px) in folder.
bool WriteIcons(const std::filesystem::path& folder, std::string* error);

}  // namespace vornak::skingen
