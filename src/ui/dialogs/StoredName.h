#pragma once

#include <QString>

#include "platform/Codepage.h"
#include "ui/Text.h"

namespace zorvan {

// A group name as the index will hold it: characters code page 932 lacks become
// "?", so that comparisons and the selector see what the file stores.
inline QString AsStored(const QString& name) {
    return ToQ(codepage::FromAnsi(codepage::ToAnsi(FromQ(name))));
}

}  // namespace zorvan
