// The views' Qt style sheets in the skin's colours: a view writes its sheet with colour names ("@field",
// "@text", ...) and never a colour of its own; each name becomes its palette colour as "#rrggbb".
#pragma once

#include <QString>
#include <string_view>

namespace vornak {

// The sheet with every "@name" of the table in skin/style_sheet.cpp replaced by its colour.
QString SkinStyleSheet(std::string_view sheet);

}  // namespace vornak
