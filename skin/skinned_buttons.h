// A dialog's skinned text buttons made from one table: each row names the control id, its key in the
// "BUTTONINFO" section of the dialog's layout and its caption.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <span>
#include <string_view>

#include "skin/core/skin_layout.h"
#include "skin/placement.h"
#include "skin/png_button.h"
#include "texts/language_texts.h"

namespace vornak {

struct SkinnedButtonRow {
    int id;
    std::u16string_view key;
    TextId caption;
};

class SkinnedButtons {
  public:
    // One button per row, children of the dialog that take no focus; a click calls clicked(id).
    SkinnedButtons(QWidget& dialog, std::span<const SkinnedButtonRow> rows,
                   const std::function<void(int)>& clicked);

    // Each at its key, with the dialog's surfaces (a button its skin leaves out is disabled).
    void Place(const SkinLayout& layout, const ButtonSurfaces& surfaces);
    // Each row's caption, in the dialogs' 9-point Tahoma, white.
    void SetCaptions(const std::function<QString(TextId)>& text);

    // Null for an id of no row.
    CPngButton* button(int id) const;
    const std::map<int, CPngButton*>& byId() const { return buttons_; }

  private:
    std::span<const SkinnedButtonRow> rows_;
    std::map<int, CPngButton*> buttons_;
};

}  // namespace vornak
