#include "ui/CommittedChange.h"

#include <QCoreApplication>
#include <exception>

#include "ui/UiServices.h"
#include "vault/DataFiles.h"
#include "vault/VaultJournal.h"

namespace zorvan {

bool FinishCommittedChange(const DataPaths& paths, UiServices& ui, QWidget* parent) {
    try {
        VaultJournal(paths).Complete();
        return true;
    } catch (const std::exception&) {
        ui.Message(parent,
                   QStringLiteral("変更を最後まで書き込めませんでした。Zorvan を終了します。"
                                  "次回の起動時に変更を完了します。"),
                   UiServices::Buttons::kOk);
        // Leave every event loop without closing the main window, whose closing would
        // write the view settings into the half-installed vault.
        QCoreApplication::exit(1);
        return false;
    }
}

}  // namespace zorvan
