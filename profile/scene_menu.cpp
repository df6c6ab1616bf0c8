#include "profile/scene_menu.h"

namespace vornak {

bool IsSceneCommand(int command) {
    return command >= kSceneDefaultCommand && command <= kLastSceneCommand;
}

int SceneIndexOfCommand(int command) {
    return command - kFirstSceneCommand;
}

int ClampSceneIndex(int index) {
    return index >= kSceneCount ? 0 : index;
}

std::array<std::u16string, kSceneCount> SceneLabels(const LanguageTexts& texts) {
    constexpr std::array<TextId, kSceneCount> ids = {TextId::PROFILE_1, TextId::PROFILE_2, TextId::PROFILE_3};
    std::array<std::u16string, kSceneCount> labels;
    for (size_t i = 0; i < ids.size(); ++i) {
        labels[i] = TextNow(texts, ids[i]);
        if (labels[i].empty()) labels[i] = std::u16string(1, static_cast<char16_t>(u'1' + i));
    }
    return labels;
}

SceneMenu BuildSceneMenu(int currentProfile, const std::array<std::u16string, kSceneCount>& labels,
                         const LanguageTexts& texts) {
    SceneMenu menu;
    menu.items.push_back({kSceneDefaultCommand, texts[TextId::DEFAULT_PROFILE_NAME], false, false});
    menu.items.push_back({0, {}, true, false});
    for (int i = 0; i < kSceneCount; ++i)
        menu.items.push_back({kFirstSceneCommand + i, labels[static_cast<size_t>(i)], false, false});
    const bool known = currentProfile >= 0 && currentProfile < kSceneCount;
    menu.checkedPosition = known ? currentProfile + 2 : 0;
    SceneMenuItem& checked = menu.items[static_cast<size_t>(menu.checkedPosition)];
    checked.checked = true;
    menu.caption = checked.text;
    menu.toolTip = texts[TextId::PROFILE_TIP] + menu.caption;
    return menu;
}

}  // namespace vornak
