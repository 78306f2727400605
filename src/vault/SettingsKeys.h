#pragma once

#include <string_view>

// Every settings key of the program with its type and default, in one place.
namespace zorvan::settings {

inline constexpr std::string_view kSection = "Zorvan";

template <typename T>
struct Key {
    std::string_view name;
    T defaultValue;
};

using BoolKey = Key<bool>;
using IntKey = Key<int>;
using TextKey = Key<std::string_view>;

// Program version, written at every start: major * 10000 + minor * 100 + revision.
inline constexpr IntKey kVersion{"version", 0};
// Check value of the master password; empty until one is set.
inline constexpr TextKey kPass{"pass", ""};
inline constexpr TextKey kLastGroup{"lastgroup", ""};
// The place of the group shown last in a protected vault's list, counted from 1.
inline constexpr IntKey kLastGroupPlace{"lastgroupplace", 0};
// How many times the protected vault file has been written: an older file put in
// its place is refused.
inline constexpr TextKey kSealedGeneration{"generation", "0"};

// Main window geometry in twips. The size defaults to the window's size at the time
// of reading (its design client area of 6060 x 3405 twips on a first start), which
// the reader passes in.
inline constexpr IntKey kLeft{"left", 0};
inline constexpr IntKey kTop{"top", 0};
inline constexpr IntKey kWidth{"width", 6060};
inline constexpr IntKey kHeight{"height", 3405};

// View switches. "glidline" is the stored spelling.
inline constexpr BoolKey kToolbar{"toolbar", true};
inline constexpr BoolKey kStatusbar{"statusbar", true};
inline constexpr BoolKey kGridLine{"glidline", true};
inline constexpr BoolKey kTooltip{"tooltip", true};
inline constexpr BoolKey kTopmost{"topmost", false};
inline constexpr BoolKey kPassView{"passview", true};

inline constexpr IntKey kTransparency{"transparency", 255};
// Seconds before auto-typing starts.
inline constexpr IntKey kWait{"wait", 4};
// Seconds after a copy at which the clipboard is emptied (and at exit), if it
// still holds the copy; 0 never, as vaults of the legacy format had it. A vault
// of a format that protects its secrets better reads the key with its own
// default, kClipboardClearProtected.
inline constexpr IntKey kClipboardClear{"clipboardclear", 0};
inline constexpr int kClipboardClearProtected = 30;
// Minutes without input after which the program locks itself; 0 never, as legacy
// vaults had it. A protected vault's default is kAutoLockProtected.
inline constexpr IntKey kAutoLock{"autolock", 0};
inline constexpr int kAutoLockProtected = 10;
// Days before its expiry date from which an item counts as expiring soon.
inline constexpr IntKey kExpiryDays{"expirydays", 14};

// Password generator defaults; the class switches are stored as 1 or 0.
inline constexpr IntKey kUpper{"upper", 1};
inline constexpr IntKey kLower{"lower", 1};
inline constexpr IntKey kNumber{"number", 1};
inline constexpr IntKey kSymbol{"symbol", 0};
inline constexpr TextKey kSymbols{"symbols", "_-#$%"};
inline constexpr IntKey kMinPassLen{"minpasslen", 6};
inline constexpr IntKey kMaxPassLen{"maxpasslen", 8};

}  // namespace zorvan::settings
