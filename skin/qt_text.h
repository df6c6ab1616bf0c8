// Texts between the core (std::u16string) and Qt (QString): the one conversion every view uses.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vornak {

inline QString ToQt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string FromQt(const QString& text) {
    return text.toStdU16String();
}

}  // namespace vornak
