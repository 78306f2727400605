#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

#include "platform/SecretText.h"
#include "platform/SecureWipe.h"
#include "tools/Strings.h"

namespace zorvan {

// Conversions between the core's UTF-8 texts and Qt's.
inline QString ToQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string FromQ(const QString& text) {
    return text.toStdString();
}

// Wipes a QString's or QByteArray's whole buffer, the spare room before and after
// the characters included, and empties it. A buffer still shared with another one
// is left to that one; only this reference goes.
template <typename Text>
void WipeText(Text& text) {
    if (!text.isDetached()) {
        text.clear();
        return;
    }
    auto& d = text.data_ptr();
    const qsizetype before = d.freeSpaceAtBegin();
    const qsizetype room = before + text.size() + d.freeSpaceAtEnd();
    SecureWipe(text.data() - before, static_cast<std::size_t>(room) * sizeof(*text.data()));
    text.resize(0);
}

// A password typed into a box, as UTF-8 in locked memory; the conversion leaves
// no copy behind.
inline SecretText SecretFromQ(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    SecretText secret(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    WipeText(utf8);
    return secret;
}

// A string table entry.
inline QString Res(int id) {
    return ToQ(res::LoadResString(id));
}

}  // namespace zorvan
