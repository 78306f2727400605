#include "tools/Strings.h"

namespace zorvan::res {

std::string_view LoadResString(int id) {
    switch (id) {
        case kAppTitle:
            return "Zorvan";
        case kPasswordEntry:
            return "パスワードの入力";
        case kLoggingIn:
            return "ログインしています...";
        case kWrongPassword:
            return "パスワードが違います";
        case kExporting:
            return "エクスポート処理中";
        case kExportDone:
            return "エクスポート完了";
        case kExportFailed:
            return "エラーが発生したのでエクスポートを中断しました";
        case kImporting:
            return "インポート処理中";
        case kImportDone:
            return "インポート完了";
        case kImportFailed:
            return "エラーが発生したのでインポートを中断しました";
        case kColumnName:
            return "名前";
        case kColumnUserId:
            return "UserID";
        case kColumnPassword:
            return "Password";
        case kWriteProtected:
            return "書込禁止";
        case kLoadingItems:
            return "アイテムを読み込み中";
        case kItemsPresent:
            return "個のアイテムがあります";
        case kChangingPassword:
            return "パスワード変更処理中";
        case kPasswordChanged:
            return "パスワード変更処理完了";
        case kNewItem:
            return "新規アイテム";
        case kItemProperties:
            return "のプロパティ";
        case kGroupNameForbidden:
            return "グループ名に以下の文字をを含むことはできません";
        case kForbiddenCharacters:
            return "#, {, }, TAB";
        case kGroupExists:
            return "既に同名のグループが存在します";
        case kEnterName:
            return "名前を入力してください";
        case kNewGroup:
            return "新規グループ";
        case kGroupProperties:
            return "のプロパティ";
        case kNoGroupSelected:
            return "グループの選択ができていないのでアイテムを追加できません";
        case kConfirmErase:
            return "を消去してもよろしいですか";
        case kFileFilter:
            return "CSV (カンマ区切り) (*.csv)|*.csv|すべてのファイル(*.*)|*.*|";
        case kFileDialogTitle:
            return "インポート or エクスポートファイル";
        case kAlreadyExists:
            return "は既に存在しています。";
        case kOverwrite:
            return "上書きしますか？";
        default:
            return {};
    }
}

}  // namespace zorvan::res
