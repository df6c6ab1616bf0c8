// The views' Qt style sheets in the skin's colours: a view writes its sheet with colour names ("@field",
// "@text", ...) and never a colour of its own; each name becomes its palette colour as "#rrggbb".
#pragma once

#include <QString>
#include <string_view>

namespace vornak {

// The sheet with every "@name" of the table in skin/style_sheet.cpp replaced by its colour.
QString SkinStyleSheet(std::string_view sheet);

// The skinned dialogs' report lists and their headers, in colour names; a dialog may append rules of its own.
#define VORNAK_SKIN_LIST_STYLE                                                            \
    "QTreeWidget { background: @field; color: @listText; border: 1px solid @fieldBorder;" \
    " alternate-background-color: @alternateRow; }"                                       \
    "QTreeWidget::item { height: 22px; }"                                                 \
    "QTreeWidget::item:selected { background: @selection; color: @white; }"               \
    "QHeaderView { background: @header; }"                                                \
    "QHeaderView::section { background: @header; color: @textDim; border: none;"          \
    " border-right: 1px solid @fieldBorder; padding: 4px 6px; }"

}  // namespace vornak
