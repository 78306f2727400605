#pragma once

#include <array>
#include <string_view>

// Captions, shortcuts and tooltips of the main window's menus and toolbar, in
// their index order. "&" marks the access key; "-" is a separator.
namespace zorvan::res {

struct MenuEntry {
    std::string_view caption;
    std::string_view shortcut;  // in QKeySequence's portable text form, or empty
};

inline constexpr std::string_view kFileMenu = "ファイル(&F)";
inline constexpr std::array<MenuEntry, 7> kFileItems{{
    {"インポート/エクスポート", "Ctrl+I"},
    {"-", ""},
    {"起動パスワードの変更", "Ctrl+P"},
    {"-", ""},
    {"バックアップ", "Ctrl+B"},
    {"-", ""},
    {"終了(&E)", ""},
}};

inline constexpr std::string_view kEditMenu = "編集(&E)";
inline constexpr std::array<MenuEntry, 10> kEditItems{{
    {"グループの追加", "Ctrl+Ins"},
    {"グループの削除", ""},
    {"グループ名変更", ""},
    {"-", ""},
    {"新規アイテム作成", ""},
    {"-", ""},
    {"IDのコピー", "Ctrl+Q"},
    {"パスワードのコピー", "Ctrl+W"},
    {"URLのオープン", "Ctrl+R"},
    {"アイテムのプロパティ", ""},
}};

inline constexpr std::string_view kViewMenu = "表示(&V)";
inline constexpr std::array<MenuEntry, 9> kViewItems{{
    {"ツールバー(&B)", ""},
    {"ステータスバー(&S)", ""},
    {"グリッド(&G)", "Ctrl+G"},
    {"ツールチップ(&T)", "Ctrl+O"},
    {"パスワード(&P)", "Ctrl+H"},
    {"-", ""},
    {"最前面に表示(&M)", "Ctrl+T"},
    {"-", ""},
    {"オプション(&O)", ""},
}};

inline constexpr std::string_view kPopupMenu = "Popup";
inline constexpr std::array<MenuEntry, 8> kPopupItems{{
    {"移動", ""},
    {"-", ""},
    {"新規アイテム", ""},
    {"-", ""},
    {"IDのコピー", ""},
    {"PASSのコピー", ""},
    {"URLを開く", ""},
    {"アイテムのプロパティ", ""},
}};

inline constexpr std::string_view kHelpMenu = "ヘルプ(&H)";
inline constexpr std::array<MenuEntry, 1> kHelpItems{{
    {"バージョン情報(&A)", ""},
}};

inline constexpr std::string_view kSendkeysMenu = "定型貼付(&S)";
inline constexpr std::array<MenuEntry, 5> kSendkeysItems{{
    {"ID + TAB + PASS", "Ctrl+D"},
    {"ID", ""},
    {"PASS", ""},
    {"PASS(- を無視)", ""},
    {"PASS(- をTABに置換)", ""},
}};

// The placeholder entry of the move submenu when there are no groups.
inline constexpr std::string_view kNoGroupEntry = "(no group)";

struct ToolButton {
    int image;  // 0 for a separator
    std::string_view tooltip;
    std::string_view key;
};

// Buttons 1 to 14; dispatch goes by position.
inline constexpr std::array<ToolButton, 14> kToolButtons{{
    {1, "アイテムの追加", "new"},
    {0, "", ""},
    {2, "IDのコピー", "copyid"},
    {3, "Passwordのコピー", "copypass"},
    {4, "URLを開く", "openurl"},
    {5, "プロパティ", "property"},
    {0, "", ""},
    {6, "最前面に表示", "topmost"},
    {0, "", ""},
    {7, "グループの追加", ""},
    {8, "グループの削除", ""},
    {9, "グループ名の変更", ""},
    {0, "", ""},
    {10, "定型貼付け", "SendKeys"},
}};

inline constexpr int kTopmostButton = 8;
inline constexpr int kSendKeysButton = 14;

}  // namespace zorvan::res
