// Where the macro page plugs into the key dialog. The macro editor's view implements MacroPageWidgets over
// the same MacroPage the dialog's model drives; the dialog makes it once, through the factory it is given,
// when its skin is first loaded, and shows it only while the macro page is current.
#pragma once

#include <QPixmap>
#include <functional>
#include <memory>

#include "skin/base_dialog.h"
#include "skin/placement.h"
#include "texts/language_texts.h"
#include "widgets/key_event_hook.h"

namespace vornak {

struct MacroPageContext {
    // Parent of the page's widgets; its layout() holds their rectangles ("Skins\Composite.ini").
    CBaseDialog& dialog;
    // "Skins\macro_normal.jpg" .. "Skins\macro_disable.jpg" for the page's image buttons.
    ButtonSurfaces macroSet;
    // "Skins\macro_other.jpg": what the record button shows while recording.
    QPixmap macroOther;
    const LanguageTexts& texts;
    // The dialog's key hook: the recorder installs its handler on it while recording and removes it when
    // recording stops (the single-key capture uses it only off the macro page), and stops on focusLost.
    KeyEventHook& keys;
    // The page changed something: enables the dialog's Apply (and, on the macro page, makes the shown macro
    // the key's choice for OK).
    std::function<void()> edited;
};

class MacroPageWidgets {
  public:
    virtual ~MacroPageWidgets() = default;
    // The macro page became current (true) or another page did.
    virtual void SetShown(bool shown) = 0;
    // The dialog's model loaded, entered, applied or cleared the page: show its state again.
    virtual void Refresh() = 0;
};

using MacroPageFactory = std::function<std::unique_ptr<MacroPageWidgets>(const MacroPageContext&)>;

}  // namespace vornak
