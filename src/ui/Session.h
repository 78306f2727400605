#pragma once

#include "platform/SecretText.h"
#include "vault/DataFiles.h"

namespace zorvan {

// What the running program shares between its windows: where the vault is, and
// the results of the last password dialog.
struct Session {
    DataPaths paths;
    // The master password of the running program, set by a successful password
    // dialog; locked in RAM and wiped when replaced.
    SecretText strMasterPass;
    // The last password dialog ended with an accepted password.
    bool blnPassOK = false;

    Session() = default;
    explicit Session(DataPaths dataPaths) : paths(std::move(dataPaths)) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

}  // namespace zorvan
