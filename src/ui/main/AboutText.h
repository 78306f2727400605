#pragma once

#include <QString>

namespace zorvan {

class Vault;

// The text of the About box: the version, where the data is, what format the vault
// is in and what that protects, and the licences of the libraries the program uses.
QString AboutText(const Vault& vault);

}  // namespace zorvan
