// The scene menu as a popup menu, and the FUNC_PROFILES button that shows the checked scene.
#pragma once

#include <QMenu>
#include <functional>

#include "profile/scene_menu.h"
#include "skin/png_button.h"

namespace vornak {

// Empties the menu, from the last item to the first, and fills it anew; a chosen item calls command with its
// id (9000..9003).
void FillSceneMenu(QMenu& menu, const SceneMenu& scenes, const std::function<void(int command)>& command);

// Tenths of a degree, counter-clockwise: the caption's slant on a label that stands on its end.
inline constexpr int kSceneCaptionEscapement = 268;

// The caption of the checked scene, drawn by the button in Arial 10 point, light grey: one line at the
// bottom, slanted, on a label taller than wide; centred beside the skin's glyph on a flat one. The tooltip is
// PROFILE_TIP followed by the caption.
void ShowSceneOnButton(CPngButton& button, const SceneMenu& scenes);

}  // namespace vornak
