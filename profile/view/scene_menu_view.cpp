#include "profile/view/scene_menu_view.h"

#include <QActionGroup>

#include "skin/palette.h"
#include "skin/qt_text.h"

namespace vornak {

void FillSceneMenu(QMenu& menu, const SceneMenu& scenes, const std::function<void(int)>& command) {
    const QList<QAction*> old = menu.actions();
    for (qsizetype i = old.size() - 1; i >= 0; --i) {
        menu.removeAction(old[i]);
        if (old[i]->parent() == &menu) delete old[i];
    }
    auto* group = new QActionGroup(&menu);
    group->setExclusive(true);
    for (const SceneMenuItem& item : scenes.items) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(ToQt(item.text));
        action->setCheckable(true);
        action->setChecked(item.checked);
        action->setActionGroup(group);
        const int id = item.command;
        QObject::connect(action, &QAction::triggered, &menu, [command, id] {
            if (command) command(id);
        });
    }
}

void ShowSceneOnButton(CPngButton& button, const SceneMenu& scenes) {
    button.setText(ToQt(scenes.caption));
    const QColor& grey = palette::kLabel;
    if (button.height() > button.width()) {
        // A label standing on its end: the caption runs up it from the bottom.
        button.SetTextStyle(true, 10, QStringLiteral("Arial"), grey, kDtSingleLine | kDtBottom);
        button.SetRotation(kSceneCaptionEscapement, true);
    } else {
        // A label lying flat: the caption sits beside the skin's glyph at its left end.
        button.SetTextStyle(true, 10, QStringLiteral("Arial"), grey, kDtDefaultButtonText);
        button.SetTextMargins(button.height() * 2 / 3, 0, 0, 0);
        button.SetRotation(0, false);
    }
    button.SetToolTipText(ToQt(scenes.toolTip));
}

}  // namespace vornak
