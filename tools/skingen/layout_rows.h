// The rows of the layout table, shared by its parts: skin_model.cpp (the model, the bitmaps, the arrows),
// main_layout.cpp (the main window and its keyboard) and dialog_layouts.cpp (the key, profile, update and
// applications dialogs).
#pragma once

#include <array>
#include <string>

#include "skin_model.h"

namespace vornak::skingen::layout {

using L = Look;

// Surfaces of the main window's controls, by the picture that serves as normal, over, down, disabled and
// selected.
inline const std::array<std::string, 5> kMainPlain = {"main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                                      "main_normal.jpg", "main_normal.jpg"};
inline const std::array<std::string, 5> kMainApply = {"main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                                      "main_disable.jpg", "main_normal.jpg"};
inline const std::array<std::string, 5> kMainMarked = {"main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                                       "main_normal.jpg", "main_disable.jpg"};
inline const std::array<std::string, 5> kMainLink = {"main_normal.jpg", "main_over.jpg", "main_disable.jpg",
                                                     "main_normal.jpg", "main_normal.jpg"};
inline const std::array<std::string, 5> kMainLamp = {"main_normal.jpg", "main_normal.jpg", "main_normal.jpg",
                                                     "main_normal.jpg", "main_over.jpg"};
inline const std::array<std::string, 5> kMainFlip0 = {"main_normal.jpg", "main_normal.jpg", "main_normal.jpg",
                                                      "main_normal.jpg", "main_disable.jpg"};
inline const std::array<std::string, 5> kMainStill = {"main_normal.jpg", "main_normal.jpg", "main_normal.jpg",
                                                      "main_normal.jpg", "main_normal.jpg"};
inline const std::array<std::string, 5> kKeySet = {"key_normal.jpg", "key_over.jpg", "key_down.jpg",
                                                   "key_normal.jpg", "key_normal.jpg"};
inline const std::array<std::string, 5> kMacroSet = {"macro_normal.jpg", "macro_over.jpg", "macro_down.jpg",
                                                     "macro_disable.jpg", "macro_normal.jpg"};
inline const std::array<std::string, 5> kMacroRecordSet = {
    "macro_normal.jpg", "macro_over.jpg", "macro_down.jpg", "macro_disable.jpg", "macro_other.jpg"};
inline const std::array<std::string, 5> kProfileSet = {
    "Profile_normal.jpg", "Profile_over.jpg", "Profile_down.jpg", "Profile_down.jpg", "Profile_normal.jpg"};
inline const std::array<std::string, 5> kUpdateSet = {
    "update_normal.jpg", "update_over.jpg", "update_over.jpg", "update_over.jpg", "update_over.jpg"};

inline const std::array<std::string, 5> kAppsSet = {"apps_normal.jpg", "apps_over.jpg", "apps_down.jpg",
                                                    "apps_down.jpg", "apps_normal.jpg"};

inline const std::array<Look, 5> kLooksPlain = {L::Normal, L::Over, L::Down, L::Normal, L::Normal};
inline const std::array<Look, 5> kLooksApply = {L::Normal, L::Over, L::Down, L::Disabled, L::Normal};
inline const std::array<Look, 5> kLooksMarked = {L::Normal, L::Over, L::Down, L::Selected, L::Normal};
inline const std::array<Look, 5> kLooksLink = {L::Normal, L::Over, L::Normal, L::Down, L::Normal};
inline const std::array<Look, 5> kLooksLamp = {L::Normal, L::Selected, L::Normal, L::Normal, L::Normal};
inline const std::array<Look, 5> kLooksFlip0 = {L::Normal, L::Normal, L::Normal, L::Selected, L::Normal};
inline const std::array<Look, 5> kLooksStill = {L::Normal, L::Normal, L::Normal, L::Normal, L::Normal};

// Main window sets: the four state pictures, and the two colour-mode pictures of the key buttons.
inline constexpr unsigned kMainSet = 1;
inline constexpr unsigned kColourSet = 2;
// Key dialog sets.
inline constexpr unsigned kSetKey = 1, kSetMacro = 2, kSetMacro2 = 4, kSetMedia = 8, kSetFunction = 16,
                          kSetOther = 32;

// Builders of the table's rows.
Control ImageButton(std::string key, QRect rect, Face face, std::array<std::string, 5> surfaces,
                    std::array<Look, 5> looks, unsigned sets = 1);
Control Placed(std::string key, QRect rect, Widget widget, Group group = Group::Always,
               Place place = Place::Control);
Control WithGlyph(Control c, Glyph g);
Control WithCaption(Control c, QString caption, int points = 9);
Control WithText(Control c, QString text);
Control WithBitmap(Control c, std::string bitmap);
Control Colour(Control c, QColor colour);

Dialog MainDialog();
Dialog CompositeDialog();
Dialog ProfileDialog();
Dialog UpdateDialog();
Dialog ApplicationsDialog();

}  // namespace vornak::skingen::layout
