#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tavlor::ui {

// The one conversion between the core's UTF-8 strings and Qt's strings.
inline QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

}  // namespace tavlor::ui
