#pragma once

#include <array>
#include <string_view>

#include "ui/main/Command.h"

// Captions, shortcuts and tooltips of the main window's menus and toolbar, in
// their order, and the command each entry runs. "&" marks the access key; "-" is a
// separator.
namespace zorvan::res {

struct MenuEntry {
    std::string_view caption;
    std::string_view shortcut;  // in QKeySequence's portable text form, or empty
    Command command = Command::kNone;
};

inline constexpr std::string_view kFileMenu = "ファイル(&F)";
inline constexpr std::array<MenuEntry, 9> kFileItems{{
    {"インポート/エクスポート", "Ctrl+I", Command::kImportExport},
    {"-", ""},
    {"起動パスワードの変更", "Ctrl+P", Command::kChangePassword},
    {"暗号化の強化...", "", Command::kUpgradeVault},
    {"従来形式で書き出す...", "", Command::kWriteLegacyCopy},
    {"-", ""},
    {"バックアップ", "Ctrl+B", Command::kBackup},
    {"-", ""},
    {"終了(&E)", "", Command::kExit},
}};

inline constexpr std::string_view kEditMenu = "編集(&E)";
inline constexpr std::array<MenuEntry, 10> kEditItems{{
    {"グループの追加", "Ctrl+Ins", Command::kNewGroup},
    {"グループの削除", "", Command::kDeleteGroup},
    {"グループ名変更", "", Command::kRenameGroup},
    {"-", ""},
    {"新規アイテム作成", "", Command::kNewItem},
    {"-", ""},
    {"IDのコピー", "Ctrl+Q", Command::kCopyId},
    {"パスワードのコピー", "Ctrl+W", Command::kCopyPassword},
    {"URLのオープン", "Ctrl+R", Command::kOpenUrl},
    {"アイテムのプロパティ", "", Command::kItemProperties},
}};

inline constexpr std::string_view kViewMenu = "表示(&V)";
inline constexpr std::array<MenuEntry, 11> kViewItems{{
    {"ツールバー(&B)", "", Command::kShowToolbar},
    {"ステータスバー(&S)", "", Command::kShowStatusBar},
    {"グリッド(&G)", "Ctrl+G", Command::kShowGrid},
    {"ツールチップ(&T)", "Ctrl+O", Command::kShowToolTips},
    {"パスワード(&P)", "Ctrl+H", Command::kShowPasswords},
    {"-", ""},
    {"最前面に表示(&M)", "Ctrl+T", Command::kTopMost},
    {"-", ""},
    {"オプション(&O)", "", Command::kOptions},
    {"-", ""},
    {"パスワードの診断...", "", Command::kReport},
}};

inline constexpr std::string_view kPopupMenu = "Popup";
inline constexpr std::array<MenuEntry, 8> kPopupItems{{
    {"移動", ""},
    {"-", ""},
    {"新規アイテム", "", Command::kNewItem},
    {"-", ""},
    {"IDのコピー", "", Command::kCopyId},
    {"PASSのコピー", "", Command::kCopyPassword},
    {"URLを開く", "", Command::kOpenUrl},
    {"アイテムのプロパティ", "", Command::kItemProperties},
}};

inline constexpr std::string_view kHelpMenu = "ヘルプ(&H)";
inline constexpr std::array<MenuEntry, 1> kHelpItems{{
    {"バージョン情報(&A)", "", Command::kAbout},
}};

inline constexpr std::string_view kSendkeysMenu = "定型貼付(&S)";
inline constexpr std::array<MenuEntry, 5> kSendkeysItems{{
    {"ID + TAB + PASS", "Ctrl+D", Command::kTypeIdTabPass},
    {"ID", "", Command::kTypeId},
    {"PASS", "", Command::kTypePass},
    {"PASS(- を無視)", "", Command::kTypePassNoDash},
    {"PASS(- をTABに置換)", "", Command::kTypePassDashAsTab},
}};

// The placeholder entry of the move submenu when there are no groups.
inline constexpr std::string_view kNoGroupEntry = "(no group)";

struct ToolButton {
    int image;  // 0 for a separator
    std::string_view tooltip;
    std::string_view key;
    Command command = Command::kNone;
};

// Buttons 1 to 14.
inline constexpr std::array<ToolButton, 14> kToolButtons{{
    {1, "アイテムの追加", "new", Command::kNewItem},
    {0, "", ""},
    {2, "IDのコピー", "copyid", Command::kCopyId},
    {3, "Passwordのコピー", "copypass", Command::kCopyPassword},
    {4, "URLを開く", "openurl", Command::kOpenUrl},
    {5, "プロパティ", "property", Command::kItemProperties},
    {0, "", ""},
    {6, "最前面に表示", "topmost", Command::kTopMost},
    {0, "", ""},
    {7, "グループの追加", "", Command::kNewGroup},
    {8, "グループの削除", "", Command::kDeleteGroup},
    {9, "グループ名の変更", "", Command::kRenameGroup},
    {0, "", ""},
    {10, "定型貼付け", "SendKeys", Command::kAutoTypeMenu},
}};

}  // namespace zorvan::res
