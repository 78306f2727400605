#pragma once

namespace zorvan {

// What a menu entry or toolbar button of the main window runs. Entries that share a
// command (the Edit menu, the context menu and the toolbar) run the same code.
enum class Command {
    kNone,  // separators and the move submenu
    kImportExport,
    kChangePassword,
    kUpgradeVault,
    kWriteLegacyCopy,
    kBackup,
    kExit,
    kNewGroup,
    kDeleteGroup,
    kRenameGroup,
    kNewItem,
    kCopyId,
    kCopyPassword,
    kOpenUrl,
    kItemProperties,
    kShowToolbar,
    kShowStatusBar,
    kShowGrid,
    kShowToolTips,
    kShowPasswords,
    kTopMost,
    kOptions,
    kReport,
    kAbout,
    // The auto-type menu's entries, in its order.
    kTypeIdTabPass,
    kTypeId,
    kTypePass,
    kTypePassNoDash,
    kTypePassDashAsTab,
    kAutoTypeMenu,  // the toolbar button that opens the auto-type menu
};

// The View menu's switches: checkable entries that show their state.
constexpr bool IsSwitch(Command command) {
    return command >= Command::kShowToolbar && command <= Command::kTopMost;
}

// The auto-type menu's entry index (0 to 4) of a typing command, or -1.
constexpr int AutoTypeEntry(Command command) {
    return command >= Command::kTypeIdTabPass && command <= Command::kTypePassDashAsTab
               ? static_cast<int>(command) - static_cast<int>(Command::kTypeIdTabPass)
               : -1;
}

}  // namespace zorvan
