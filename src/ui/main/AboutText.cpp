#include "ui/main/AboutText.h"

#include <QDir>

#include "ui/Text.h"
#include "ui/main/frmMain.h"
#include "vault/DataFiles.h"

namespace zorvan {

QString AboutText(const DataPaths& paths) {
    const QString folder = QDir::toNativeSeparators(
        QString::fromStdU16String(paths.strIniFile.parent_path().u16string()));
    return QStringLiteral(
               "%1 %2.%3.%4\n\n"
               "データフォルダー: %5\n\n"
               "保管形式: 従来形式\n"
               "従来形式は古い版との互換のための形式です。保管ファイルを読める人から"
               "データを守ることはできません。\n\n"
               "このプログラムは Qt %6 を使っています"
               "（GNU Lesser General Public License v3）。")
        .arg(Res(res::kAppTitle))
        .arg(frmMain::kVersionMajor)
        .arg(frmMain::kVersionMinor)
        .arg(frmMain::kVersionRevision)
        .arg(folder, QString::fromLatin1(qVersion()));
}

}  // namespace zorvan
