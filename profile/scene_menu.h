// The three on-board profiles (scenes) as the program names them: the scene menu's commands, its items with
// their check mark, and the FUNC_PROFILES caption and tooltip that follow the checked item.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "texts/language_texts.h"

namespace vornak {

inline constexpr int kSceneCount = 3;

// Scene menu commands: 9000 is "<Default Profile>", 9001 + i scene i; the main window routes 9000..9200.
inline constexpr int kSceneDefaultCommand = 9000;
inline constexpr int kFirstSceneCommand = 9001;
inline constexpr int kLastSceneCommand = 9200;

bool IsSceneCommand(int command);
// command - 9001: -1 for "<Default Profile>" (no change of profile).
int SceneIndexOfCommand(int command);
// An index past the last scene stands for the first one; -1 stays -1.
int ClampSceneIndex(int index);

struct SceneMenuItem {
    int command = 0;  // 0 for the separator
    std::u16string text;
    bool separator = false;
    bool checked = false;
};

struct SceneMenu {
    std::vector<SceneMenuItem> items;  // by position: default, separator, the three scenes
    int checkedPosition = 0;
    std::u16string caption;  // FUNC_PROFILES: the checked item's text
    std::u16string toolTip;  // PROFILE_TIP followed by the caption
};

// The scenes' labels, the profile buttons' texts PROFILE_1..3 read as the buttons read them, so that the
// menu, the caption and the buttons agree. A label the language file leaves empty becomes the scene's number.
std::array<std::u16string, kSceneCount> SceneLabels(const LanguageTexts& texts);

// The menu for a current profile (-1 unknown: "<Default Profile>" is checked).
SceneMenu BuildSceneMenu(int currentProfile, const std::array<std::u16string, kSceneCount>& labels,
                         const LanguageTexts& texts);

}  // namespace vornak
