#include "ui/main/AboutText.h"

#include <QDir>

#include "ui/ProtectionTexts.h"
#include "ui/Text.h"
#include "ui/main/frmMain.h"
#include "vault/Vault.h"

namespace zorvan {

QString AboutText(const Vault& vault) {
    const DataPaths& paths = vault.paths();
    const QString format =
        vault.format() == VaultFormat::kProtected
            ? QStringLiteral("保管形式: 保護形式\n") + QString::fromUtf8(protection::kProtectedNote)
            : QStringLiteral("保管形式: 従来形式\n") +
                  QString::fromUtf8(protection::kLegacyWarning);
    const QString folder = QDir::toNativeSeparators(
        QString::fromStdU16String(paths.strIniFile.parent_path().u16string()));
    return QStringLiteral(
               "%1 %2.%3.%4\n\n"
               "データフォルダー: %5\n\n"
               "%6\n\n"
               "このプログラムは Qt %7（GNU Lesser General Public License v3）と"
               "libsodium（ISC License）を使っています。")
        .arg(Res(res::kAppTitle))
        .arg(frmMain::kVersionMajor)
        .arg(frmMain::kVersionMinor)
        .arg(frmMain::kVersionRevision)
        .arg(folder, format, QString::fromLatin1(qVersion()));
}

}  // namespace zorvan
