#pragma once

// The words the program uses about the two vault formats, in one place.
namespace zorvan::protection {

inline constexpr char kWrongOrAltered[] =
    "パスワードが違うか、保管庫のファイルが書き換えられています。";
inline constexpr char kStatusLegacy[] = "従来形式";
inline constexpr char kStatusProtected[] = "保護形式";
inline constexpr char kLegacyWarning[] =
    "この保管庫は従来形式です。従来形式はデータを暗号で保護しません。保管庫のファイルを"
    "読める人は、パスワードがなくても全項目を読み出せます。ファイル メニューの"
    "「暗号化の強化...」で保護形式に切り替えられます。";
inline constexpr char kProtectedNote[] =
    "この保管庫は保護形式です（Argon2id と XChaCha20-Poly1305）。";
inline constexpr char kUpgradeCommand[] = "暗号化の強化...";
inline constexpr char kLegacyCopyCommand[] = "従来形式で書き出す...";
inline constexpr char kUpgradeExplanation[] =
    "保管庫を保護形式に切り替えます。\n\n"
    "保護形式では、項目・グループ名・有効期限など保管庫の中身すべてが、マスター パスワード"
    "から導いた鍵で暗号化され、改ざんも検出されます。\n\n"
    "ただし、切り替えた後の保管庫は古いバージョンのプログラムでは開けません。また、従来形式の"
    "写しからは今のパスワードが割り出せるため、新しいマスター パスワードを決めていただきます"
    "（128 文字以上も使えます）。\n\n続けますか？";
inline constexpr char kCurrentPassword[] = "現在のパスワードを入力してください。";
inline constexpr char kNewPassword[] = "新しいマスター パスワードを 2 回入力してください。";
inline constexpr char kUpgrading[] = "保護形式に切り替えています";
inline constexpr char kUpgraded[] = "保護形式に切り替えました。";
inline constexpr char kRemoveLegacy[] =
    "従来形式のファイル（Zorvan.idx, Zorvan.itm, Zorvan.bmp）と従来形式のバックアップを、"
    "上書きしてから削除しますか？\n\n"
    "残しておくと、古いパスワードでそれらを読み出せます。なお、SSD、ファイル システムの"
    "スナップショット、クラウドの履歴などに残った写しは、この操作では消せないことがあります。";
inline constexpr char kLegacyRemoved[] = "従来形式のファイルを削除しました: ";
inline constexpr char kLegacyCopyWarning[] =
    "古いプログラム用に、従来形式の写しを書き出します。\n\n"
    "従来形式はデータを暗号で保護しません。写しのファイルを読める人は、パスワードがなくても"
    "全項目を読み出せます。使い終わったら写しを削除してください。\n\n続けますか？";
inline constexpr char kLegacyCopyFolder[] = "写しを書き出すフォルダー（空のフォルダー）";
inline constexpr char kLegacyCopyPassword[] =
    "写しのパスワードを 2 回入力してください（従来形式のため 16 バイトまで）。";
inline constexpr char kLegacyCopyDone[] = "従来形式の写しを書き出しました: ";

}  // namespace zorvan::protection
