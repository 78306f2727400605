#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "resources/Strings.h"

namespace zorvan {

// Conversions between the core's UTF-8 texts and Qt's.
inline QString ToQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string FromQ(const QString& text) {
    return text.toStdString();
}

// A string table entry.
inline QString Res(int id) {
    return ToQ(res::LoadResString(id));
}

}  // namespace zorvan
