#pragma once

#include <functional>

#include <optional>

#include "platform/SecretText.h"
#include "vault/SealedFile.h"

namespace zorvan {

class frmMain;
class frmPass;

// The File menu's moves between the formats: the upgrade of a legacy vault to the
// protected format under a new master password, with the offer to let the legacy
// files go afterwards; and a legacy copy of a protected vault for the older program.
class VaultUpgrade {
public:
    explicit VaultUpgrade(frmMain& main);
    // For tests: how the password dialog is shown (modally by default), and the key
    // derivation's cost (calibrated on this machine by default).
    void SetPasswordDialogRunner(std::function<void(frmPass&)> run) { runPass_ = std::move(run); }
    void SetKdf(const KdfParams& kdf) { kdf_ = kdf; }

    void Upgrade();
    void WriteLegacyCopy();

private:
    // Shows the password dialog as set up by prepare; the password, empty when cancelled.
    SecretText AskPassword(const char* title, const std::function<void(frmPass&)>& prepare);
    void OfferToRemoveLegacyFiles();

    frmMain& main_;
    std::function<void(frmPass&)> runPass_;
    std::optional<KdfParams> kdf_;
};

}  // namespace zorvan
