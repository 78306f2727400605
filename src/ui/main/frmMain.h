#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "tools/Version.h"
#include "ui/main/Command.h"
#include "ui/main/Countdown.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MainState.h"
#include "vault/BlockNumber.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTableView;

namespace zorvan {

struct Session;
class SettingsStore;
class UiServices;
class ItemListModel;
class frmTooltip;
class ItemList;
class ItemSearch;
class ItemCommands;
class ListInteractions;
class MainKeys;
class KeyInjector;
class AutoType;
class ClipboardClearer;
class CommandRouter;
class MainStatusBar;

// The main window: group selector, item list, toolbar, status bar and menus. It
// owns the state that the dialogs share (MainState) and restores its stored view
// when it loads.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kVersionMajor = version::kMajor;
    static constexpr int kVersionMinor = version::kMinor;
    static constexpr int kVersionRevision = version::kRevision;
    // The built-in client area, in twips.
    static constexpr int kDesignClientWidth = 6060;
    static constexpr int kDesignClientHeight = 3405;

    frmMain(Session& session, UiServices& ui, QWidget* parent = nullptr);
    ~frmMain() override;

    // The load sequence: restores geometry and view, fills the group selector and
    // shows the last group. Every step that fails is skipped.
    void Form_Load();
    // Shows which format the vault is in and offers the File commands that fit it.
    void ShowFormat();

    // What the window showed, kept over a lock.
    struct View {
        QString group;
        QList<int> selectedRows;
    };
    // Before a lock: drops a countdown under way and every row, and says what was shown.
    View ForgetForLock();
    // After the unlock: the same group again, with the same rows selected.
    void ShowAgain(const View& view);

    // Shows the item's group with the item selected, and opens its properties.
    void OpenItem(const QString& group, BlockNumber block);
    // After login: how many items have expired or expire soon, as a link to the report.
    void ShowExpiry();

    // The group of a listed row: its own in search results, else the one shown.
    QString GroupOfRow(int row) const;
    ItemSearch& search() { return *search_; }
    QLineEdit* searchBox() const { return txtSearch_; }

signals:
    // The options dialog stored new settings.
    void optionsSaved();

public:
    // View switches: blnStartup is true when the load sequence applies stored values.
    void SetToolbarVisible(bool blnShow, bool blnStartup);
    void SetStatusBarVisible(bool blnShow, bool blnStartup);
    void SetGridLines(bool blnShow, bool blnStartup);
    void SetToolTipEnabled(bool blnShow, bool blnStartup);
    void SetPassView(bool blnShow, bool blnStartup);
    void SetTopMost(bool blnShow, bool blnStartup);
    // One of them by its command.
    void SetSwitch(Command command, bool blnShow, bool blnStartup);

    // The one tooltip popup of the program; an empty text hides it.
    void ShowToolTip(const QString& strTitle, const QString& strToolTip);

    // The auto-type countdown (see Countdown).
    void StartCountdown(int waitSeconds, const QString& keystrokes) {
        countdown_->Start(waitSeconds, keystrokes);
    }
    void Timer1_Timer() { countdown_->Tick(); }
    void SetKeystrokeSender(std::function<void(const QString&)> send) {
        countdown_->SetKeystrokeSender(std::move(send));
    }
    void SetTargetNamer(std::function<QString()> name) {
        countdown_->SetTargetNamer(std::move(name));
    }
    int secondsLeft() const { return countdown_->secondsLeft(); }

    // Rebuilds the move submenu: one entry per group, the shown group disabled.
    void UpdateMoveMenu();
    // Enables or disables the commands that need a selected row.
    void EnableItemCommands(bool enabled);
    // One of them (kCopyId, kCopyPassword, kOpenUrl or kItemProperties) wherever
    // it is offered: the toolbar, the context menu and the Edit menu.
    void EnableItemCommand(Command command, bool enabled);
    bool passwordsShown() const;

    ItemList& itemListHandler() { return *itemList_; }
    ItemCommands& commands() { return *commands_; }
    ListInteractions& listInteractions() { return *interactions_; }
    MainKeys& keys() { return *keys_; }
    AutoType& autoType() { return *autoType_; }
    // Every copy to the clipboard goes through it.
    ClipboardClearer& clipboard() { return *clipboard_; }
    int tipIndex() const { return intTipIndex; }
    void SetTipIndex(int row) { intTipIndex = row; }
    Session& session() { return session_; }
    UiServices& ui() { return ui_; }
    SettingsStore& settings() { return *settings_; }
    // The View menu's keep-on-top switch is on.
    bool topMost() const;
    MainState& state() { return state_; }
    const MainMenus& menus() const { return menus_; }
    QComboBox* groupSelector() const { return cboMain; }
    QTableView* itemList() const { return lvwMain; }
    ItemListModel* itemModel() const { return model_; }
    QLabel* statusPanel(int panel) const;
    // Where a long operation of the main window shows its progress: the status bar's
    // progress bar while the window and its status bar are shown, else none.
    QProgressBar* progressBar() const;
    frmTooltip* tooltip() const { return tooltip_; }
    bool toolTipsEnabled() const { return blnToolTip; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cboMain_Click();

    void LayOut();
    void FillGroupSelector();
    void SelectLastGroup();
    // Runs one step of a load sequence; a failure skips just that step.
    void Step(const std::function<void()>& step);

    Session& session_;
    UiServices& ui_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<ItemList> itemList_;
    std::unique_ptr<ItemCommands> commands_;
    ListInteractions* interactions_ = nullptr;
    MainKeys* keys_ = nullptr;
    std::unique_ptr<KeyInjector> injector_;
    std::unique_ptr<AutoType> autoType_;
    std::unique_ptr<ClipboardClearer> clipboard_;
    MainState state_;
    MainMenus menus_;

    QComboBox* cboMain = nullptr;
    QTableView* lvwMain = nullptr;
    ItemListModel* model_ = nullptr;
    MainStatusBar* status_ = nullptr;
    QLineEdit* txtSearch_ = nullptr;
    ItemSearch* search_ = nullptr;
    frmTooltip* tooltip_ = nullptr;
    Countdown* countdown_ = nullptr;
    CommandRouter* router_ = nullptr;

    int intTipIndex = -1;
    bool blnToolTip = true;
};

}  // namespace zorvan
