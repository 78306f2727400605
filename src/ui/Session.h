#pragma once

#include "vault/DataFiles.h"
#include "vault/Vault.h"

namespace zorvan {

// What the running program shares between its windows: the vault, and whether the
// last password dialog accepted a password.
struct Session {
    Vault vault;
    // Where the vault lives; the vault's own paths.
    const DataPaths& paths = vault.paths();
    // The last password dialog ended with an accepted password.
    bool blnPassOK = false;

    explicit Session(DataPaths dataPaths) : vault(std::move(dataPaths)) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

}  // namespace zorvan
