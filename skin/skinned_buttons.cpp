#include "skin/skinned_buttons.h"

#include "skin/palette.h"

namespace vornak {

SkinnedButtons::SkinnedButtons(QWidget& dialog, std::span<const SkinnedButtonRow> rows,
                               const std::function<void(int)>& clicked)
    : rows_(rows) {
    for (const SkinnedButtonRow& row : rows_) {
        auto* b = new CPngButton(&dialog);
        b->setFocusPolicy(Qt::NoFocus);
        buttons_[row.id] = b;
        const int id = row.id;
        QObject::connect(b, &QAbstractButton::clicked, &dialog, [clicked, id] { clicked(id); });
    }
}

void SkinnedButtons::Place(const SkinLayout& layout, const ButtonSurfaces& surfaces) {
    for (const SkinnedButtonRow& row : rows_)
        PlaceImageButton(*buttons_.at(row.id), layout, kButtonInfoSection, row.key, surfaces);
}

void SkinnedButtons::SetCaptions(const std::function<QString(TextId)>& text) {
    for (const SkinnedButtonRow& row : rows_) {
        CPngButton* b = buttons_.at(row.id);
        b->setText(text(row.caption));
        b->SetTextStyle(true, 9, QStringLiteral("Tahoma"), palette::kWhite);
    }
}

CPngButton* SkinnedButtons::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

}  // namespace vornak
