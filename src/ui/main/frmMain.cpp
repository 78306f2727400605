#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "platform/KeyInjector.h"
#include "ui/ClipboardClearer.h"
#include "ui/LongOperation.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/Transparency.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmGroup.h"
#include "ui/dialogs/frmImport.h"
#include "ui/dialogs/frmItem.h"
#include "ui/dialogs/frmOption.h"
#include "ui/main/AboutText.h"
#include "ui/main/AutoType.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/ListInteractions.h"
#include "ui/main/MainKeys.h"
#include "ui/main/MenuTables.h"
#include "ui/main/PasswordChange.h"
#include "ui/main/frmTooltip.h"
#include "vault/GroupIndex.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

namespace {
constexpr int kViewToolbar = 0;
constexpr int kViewStatusBar = 1;
constexpr int kViewGrid = 2;
constexpr int kViewToolTip = 3;
constexpr int kViewPassword = 4;
constexpr int kViewTopMost = 6;
constexpr int kViewOptions = 8;
constexpr int kFileImport = 0;
constexpr int kFilePassword = 2;
constexpr int kFileBackup = 4;
constexpr int kFileExit = 6;
}  // namespace

frmMain::frmMain(Session& session, UiServices& ui, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      ui_(ui),
      settings_(std::make_unique<SettingsStore>(session.paths.strIniFile)),
      clipboard_(std::make_unique<ClipboardClearer>(ui)) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    menus_ = MainMenus::Build(this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    cboMain = new QComboBox(central);
    cboMain->setObjectName(QStringLiteral("cboMain"));
    cboMain->setEditable(false);
    lvwMain = new QTableView(central);
    lvwMain->setObjectName(QStringLiteral("lvwMain"));
    model_ = new ItemListModel(lvwMain);
    lvwMain->setModel(model_);
    lvwMain->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwMain->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwMain->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwMain->setWordWrap(false);
    lvwMain->setShowGrid(true);
    lvwMain->verticalHeader()->hide();
    lvwMain->verticalHeader()->setDefaultSectionSize(lvwMain->fontMetrics().height() + 4);
    lvwMain->horizontalHeader()->setHighlightSections(false);
    lvwMain->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lvwMain->setIconSize(QSize(16, 16));
    layout->addWidget(cboMain);
    layout->addWidget(lvwMain, 1);
    setCentralWidget(central);

    staPanel1 = new QLabel(this);
    staPanel2 = new QLabel(this);
    statusBar()->addWidget(staPanel1, 1);
    statusBar()->addWidget(staPanel2);
    prbMain = new QProgressBar(this);
    prbMain->setObjectName(QStringLiteral("prbMain"));
    prbMain->setTextVisible(false);
    prbMain->setMaximumWidth(fontMetrics().averageCharWidth() * 16);
    prbMain->hide();
    statusBar()->addPermanentWidget(prbMain);
    statusBar()->setSizeGripEnabled(true);

    tooltip_ = new frmTooltip(this);
    itemList_ = std::make_unique<ItemList>(*this);
    commands_ = std::make_unique<ItemCommands>(*this);
    interactions_ = new ListInteractions(*this);
    keys_ = new MainKeys(*this);
    injector_ = CreateKeyInjector();
    autoType_ = std::make_unique<AutoType>(*this, *injector_);
    InstallDialogs();

    const double tppX = window::TwipsPerPixelX(this);
    const double tppY = window::TwipsPerPixelY(this);
    resize(window::TwipsToPixels(kDesignClientWidth, tppX),
           window::TwipsToPixels(kDesignClientHeight, tppY) + menuBar()->sizeHint().height());

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(cboMain, &QComboBox::currentIndexChanged, this, &frmMain::cboMain_Click);
    ConnectCommands();
}

frmMain::~frmMain() {
    AutoType::Wipe(timerTag_);
}

void frmMain::InstallDialogs() {
    // Each opening gets a fresh dialog, discarded when it closes.
    auto& dialogs = commands_->dialogs();
    dialogs.item = [this] {
        frmItem dialog(*this);
        dialog.exec();
    };
    dialogs.group = [this](const QString& name, bool blnAddState) {
        frmGroup dialog(*this);
        dialog.ShowGroupInfo(name, blnAddState);
    };
    dialogs.options = [this] {
        frmOption dialog(*this);
        dialog.exec();
    };
    dialogs.importExport = [this] {
        frmImport dialog(*this);
        dialog.exec();
    };
    dialogs.backup = [this] {
        frmBackUp dialog(*this);
        dialog.exec();
        if (dialog.blnRestored) {
            Form_Load();
        }
    };
    dialogs.passwordChange = [this] { PasswordChange(*this).Run(); };
}

void frmMain::ConnectCommands() {
    for (std::size_t i = 0; i < menus_.mnuFileItem.size(); ++i) {
        connect(menus_.mnuFileItem[i], &QAction::triggered, this,
                [this, i] { mnuFileItem_Click(static_cast<int>(i)); });
    }
    for (std::size_t i = 0; i < menus_.mnuEditItem.size(); ++i) {
        connect(menus_.mnuEditItem[i], &QAction::triggered, this,
                [this, i] { mnuEditItem_Click(static_cast<int>(i)); });
    }
    for (std::size_t i = 0; i < menus_.mnuPopupItem.size(); ++i) {
        connect(menus_.mnuPopupItem[i], &QAction::triggered, this,
                [this, i] { mnuPopupItem_Click(static_cast<int>(i)); });
    }
    connect(menus_.mnuMove, &QMenu::triggered, this, &frmMain::mnuMoveItem_Click);
    for (std::size_t i = 0; i < menus_.mnuSendkeysItem.size(); ++i) {
        connect(menus_.mnuSendkeysItem[i], &QAction::triggered, this,
                [this, i] { autoType_->mnuSendkeysItem_Click(static_cast<int>(i)); });
    }
    for (std::size_t i = 0; i < menus_.mnuViewItem.size(); ++i) {
        connect(menus_.mnuViewItem[i], &QAction::triggered, this,
                [this, i] { mnuViewItem_Click(static_cast<int>(i)); });
    }
    connect(menus_.mnuHelpItem[0], &QAction::triggered, this,
            [this] { ui_.Message(this, AboutText(session_.paths), UiServices::Buttons::kOk); });
    for (std::size_t i = 0; i < menus_.tlbButtons.size(); ++i) {
        connect(menus_.tlbButtons[i], &QAction::triggered, this,
                [this, i] { tlbMain_ButtonClick(static_cast<int>(i) + 1); });
    }
}

void frmMain::Step(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception&) {
        // The window opens whatever fails while loading.
    }
}

void frmMain::Form_Load() {
    Step([&] { state_.Reset(); });
    Step([&] {
        const QSignalBlocker block(cboMain);
        cboMain->clear();
        model_->ClearRows();
        model_->ClearColumns();
    });
    Step([&] {
        const double tppX = window::TwipsPerPixelX(this);
        const double tppY = window::TwipsPerPixelY(this);
        const int left = settings_->Get(settings::kLeft);
        const int top = settings_->Get(settings::kTop);
        const int width =
            settings_->Get(settings::kWidth, window::PixelsToTwips(this->width(), tppX));
        const int height =
            settings_->Get(settings::kHeight, window::PixelsToTwips(this->height(), tppY));
        move(window::TwipsToPixels(left, tppX), window::TwipsToPixels(top, tppY));
        resize(window::TwipsToPixels(width, tppX), window::TwipsToPixels(height, tppY));
    });
    Step([&] { ShowToolTip(QString(), QString()); });
    intTipIndex = -1;
    Step([&] {
        setWindowTitle(QStringLiteral("%1 %2.%3.%4")
                           .arg(Res(res::kAppTitle))
                           .arg(kVersionMajor)
                           .arg(kVersionMinor)
                           .arg(kVersionRevision));
    });
    Step([&] { SetToolbarVisible(settings_->Get(settings::kToolbar), true); });
    Step([&] { SetStatusBarVisible(settings_->Get(settings::kStatusbar), true); });
    Step([&] { SetGridLines(settings_->Get(settings::kGridLine), true); });
    Step([&] { SetToolTipEnabled(settings_->Get(settings::kTooltip), true); });
    Step([&] { SetTopMost(settings_->Get(settings::kTopmost), true); });
    Step([&] { SetPassView(settings_->Get(settings::kPassView), true); });
    Step([&] { staPanel2->setFixedWidth(3 * statusBar()->sizeHint().height()); });
    Step([&] { QCoreApplication::processEvents(); });
    Step([&] { LayOut(); });
    Step([&] { AddColumns(); });
    Step([&] { FillGroupSelector(); });
    Step([&] { SetTransparency(this, settings_->Get(settings::kTransparency)); });
    Step([&] { SelectLastGroup(); });
}

void frmMain::FillGroupSelector() {
    const QSignalBlocker block(cboMain);
    for (const auto& name : session_.vault.GroupNames()) {
        if (!name.empty()) {
            cboMain->addItem(ToQ(name));
        }
    }
    cboMain->setCurrentIndex(-1);
}

void frmMain::SelectLastGroup() {
    if (cboMain->count() == 0) {
        return;
    }
    const QString last = ToQ(settings_->Get(settings::kLastGroup));
    if (last.isEmpty()) {
        cboMain->setCurrentIndex(0);
        return;
    }
    {
        const int found = cboMain->findText(last, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found >= 0) {
            state_.strCurrentGroup.clear();
            cboMain->setCurrentIndex(found);
        }
    }
    UpdateMoveMenu();
}

void frmMain::AddColumns() {
    const int width = this->width();
    model_->AddColumn(Res(res::kColumnName));
    model_->AddColumn(Res(res::kColumnUserId));
    model_->AddColumn(Res(res::kColumnPassword));
    lvwMain->setColumnWidth(0, width * 2 / 5);
    lvwMain->setColumnWidth(1, width / 4);
    lvwMain->setColumnWidth(2, width / 4);
}

void frmMain::ResetColumnHeadings() {
    const int ids[] = {res::kColumnName, res::kColumnUserId, res::kColumnPassword};
    for (int column = 0; column < model_->columnCount() && column < 3; ++column) {
        model_->setHeaderData(column, Qt::Horizontal, Res(ids[column]), Qt::DisplayRole);
    }
}

void frmMain::DisableSorting() {
    // Switching it off reconnects the header's signals even when already off; a
    // group load asks once per row.
    if (lvwMain->isSortingEnabled()) {
        lvwMain->setSortingEnabled(false);
    }
}

bool frmMain::topMost() const {
    return menus_.mnuViewItem[kViewTopMost]->isChecked();
}

bool frmMain::passwordsShown() const {
    return menus_.mnuViewItem[kViewPassword]->isChecked();
}

void frmMain::EnableItemCommands(bool enabled) {
    for (int command = 1; command <= kItemPropertiesCommand; ++command) {
        EnableItemCommand(command, enabled);
    }
}

void frmMain::EnableItemCommand(int command, bool enabled) {
    // Toolbar buttons 3-6, context menu entries 4-7 and Edit menu entries 6-9.
    menus_.ToolButton(2 + command)->setEnabled(enabled);
    menus_.mnuPopupItem[static_cast<std::size_t>(3 + command)]->setEnabled(enabled);
    menus_.mnuEditItem[static_cast<std::size_t>(5 + command)]->setEnabled(enabled);
}

void frmMain::UpdateMoveMenu() {
    QList<QAction*> entries = menus_.mnuMove->actions();
    const int n = cboMain->count();
    entries[0]->setVisible(true);
    for (qsizetype i = 1; i < entries.size(); ++i) {
        entries[i]->setVisible(false);
    }
    if (n == 0) {
        return;
    }
    for (int i = 1; i <= n; ++i) {
        if (i >= entries.size()) {
            entries.append(menus_.mnuMove->addAction(QString()));
        }
        QAction* entry = entries[i];
        // Group names may hold "&"; it must not become an access key.
        QString caption = cboMain->itemText(i - 1);
        entry->setText(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        entry->setData(cboMain->itemText(i - 1));
        entry->setVisible(true);
        entry->setEnabled(i != cboMain->currentIndex() + 1);
    }
    entries[0]->setVisible(false);
}

void frmMain::LayOut() {
    // The layout keeps the selector under the toolbar and gives the list the rest,
    // never a negative height.
    centralWidget()->layout()->activate();
}

void frmMain::SetToolbarVisible(bool blnShow, bool blnStartup) {
    menus_.mnuViewItem[kViewToolbar]->setChecked(blnShow);
    menus_.tlbMain->setVisible(blnShow);
    if (!blnStartup) {
        LayOut();
    }
}

void frmMain::SetStatusBarVisible(bool blnShow, bool blnStartup) {
    menus_.mnuViewItem[kViewStatusBar]->setChecked(blnShow);
    statusBar()->setVisible(blnShow);
    if (!blnStartup) {
        LayOut();
    }
}

void frmMain::SetGridLines(bool blnShow, bool blnStartup) {
    menus_.mnuViewItem[kViewGrid]->setChecked(blnShow);
    lvwMain->setShowGrid(blnShow);
    if (!blnStartup) {
        LayOut();
    }
}

void frmMain::SetToolTipEnabled(bool blnShow, bool /*blnStartup*/) {
    menus_.mnuViewItem[kViewToolTip]->setChecked(blnShow);
    blnToolTip = blnShow;
}

void frmMain::SetPassView(bool blnShow, bool blnStartup) {
    menus_.mnuViewItem[kViewPassword]->setChecked(blnShow);
    staPanel2->setText(Res(res::kLoadingItems));
    itemList_->ShowPasswords(blnShow);
    staPanel2->clear();
    if (!blnStartup) {
        settings_->Set(settings::kPassView, blnShow);
    }
}

void frmMain::SetTopMost(bool blnShow, bool blnStartup) {
    menus_.mnuViewItem[kViewTopMost]->setChecked(blnShow);
    menus_.ToolButton(res::kTopmostButton)->setChecked(blnShow);
    window::SetTopMost(this, blnShow);
    if (!blnStartup) {
        settings_->Set(settings::kTopmost, blnShow);
    }
}

void frmMain::ShowToolTip(const QString& strTitle, const QString& strToolTip) {
    tooltip_->ShowToolTip(strTitle, strToolTip);
}

void frmMain::cboMain_Click() {
    itemList_->cboMain_Click();
}

void frmMain::mnuFileItem_Click(int index) {
    // Any failure inside a File command ends it; the window goes on working.
    try {
        switch (index) {
            case kFileImport:
                commands_->ImportExport();
                break;
            case kFilePassword:
                commands_->ChangeMasterPassword();
                break;
            case kFileBackup:
                commands_->Backup();
                break;
            case kFileExit:
                close();
                break;
            default:
                break;
        }
    } catch (const std::exception&) {
    }
}

void frmMain::mnuEditItem_Click(int index) {
    switch (index) {
        case 0:
            commands_->NewGroup();
            break;
        case 1:
            commands_->DeleteGroup();
            break;
        case 2:
            commands_->GroupProperties();
            break;
        case 4:
            commands_->NewItem();
            break;
        case 6:
            commands_->UseSelectedItem(ItemCommands::kCopyId);
            break;
        case 7:
            commands_->UseSelectedItem(ItemCommands::kCopyPassword);
            break;
        case 8:
            commands_->UseSelectedItem(ItemCommands::kOpenUrl);
            break;
        case 9:
            commands_->ItemProperties();
            break;
        default:
            break;
    }
}

void frmMain::mnuPopupItem_Click(int index) {
    switch (index) {
        case 2:
            commands_->NewItem();
            break;
        case 4:
            commands_->UseSelectedItem(ItemCommands::kCopyId);
            break;
        case 5:
            commands_->UseSelectedItem(ItemCommands::kCopyPassword);
            break;
        case 6:
            commands_->UseSelectedItem(ItemCommands::kOpenUrl);
            break;
        case 7:
            commands_->ItemProperties();
            break;
        default:
            break;
    }
}

void frmMain::mnuMoveItem_Click(QAction* entry) {
    const QString target = entry->data().toString();
    if (!target.isEmpty()) {
        commands_->MoveSelectedItems(target);
    }
}

void frmMain::mnuViewItem_Click(int index) {
    const auto inverse = [&] {
        return !menus_.mnuViewItem[static_cast<std::size_t>(index)]->isChecked();
    };
    // A checkable action has already flipped its mark when it triggers; undo that,
    // so that each switch sets the mark itself from the inverse of the old one.
    QAction* action = menus_.mnuViewItem[static_cast<std::size_t>(index)];
    if (action->isCheckable()) {
        action->setChecked(!action->isChecked());
    }
    try {
        switch (index) {
            case kViewToolbar:
                SetToolbarVisible(inverse(), false);
                break;
            case kViewStatusBar:
                SetStatusBarVisible(inverse(), false);
                break;
            case kViewGrid:
                SetGridLines(inverse(), false);
                break;
            case kViewToolTip:
                SetToolTipEnabled(inverse(), false);
                break;
            case kViewPassword:
                SetPassView(inverse(), false);
                break;
            case kViewTopMost:
                SetTopMost(inverse(), false);
                break;
            case kViewOptions:
                commands_->Options();
                break;
            default:
                break;
        }
    } catch (const std::exception& error) {
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
    }
}

void frmMain::tlbMain_ButtonClick(int position) {
    switch (position) {
        case 1:
            commands_->NewItem();
            return;
        case 3:
            commands_->UseSelectedItem(ItemCommands::kCopyId);
            return;
        case 4:
            commands_->UseSelectedItem(ItemCommands::kCopyPassword);
            return;
        case 5:
            commands_->UseSelectedItem(ItemCommands::kOpenUrl);
            return;
        case 6:
            commands_->ItemProperties();
            return;
        case 10:
            commands_->NewGroup();
            return;
        case 11:
            commands_->DeleteGroup();
            return;
        case 12:
            commands_->GroupProperties();
            return;
        case 14:
            menus_.mnuSendkeys->popup(QCursor::pos());
            return;
        default:
            break;
    }
    if (position == res::kTopmostButton) {
        QAction* button = menus_.ToolButton(position);
        button->setChecked(!button->isChecked());
        try {
            SetTopMost(!menus_.mnuViewItem[kViewTopMost]->isChecked(), false);
        } catch (const std::exception& error) {
            ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        }
    }
}

void frmMain::StartCountdown(int waitSeconds, const QString& keystrokes) {
    intSendWait = waitSeconds;
    AutoType::Wipe(timerTag_);  // an earlier text is dropped, never sent
    timerTag_ = keystrokes;
    menus_.ToolButton(res::kSendKeysButton)->setEnabled(false);
    Timer1.start();
}

void frmMain::SetKeystrokeSender(std::function<void(const QString&)> send) {
    sendKeys_ = std::move(send);
}

void frmMain::SetTargetNamer(std::function<QString()> name) {
    nameTarget_ = std::move(name);
}

QProgressBar* frmMain::progressBar() const {
    return isVisible() && statusBar()->isVisible() ? prbMain : nullptr;
}

void frmMain::Timer1_Timer() {
    if (LongOperation::Running()) {
        // Held until the operation ends: keystrokes are never sent in its middle.
        LongOperation::Later([window = QPointer<frmMain>(this)] {
            if (window != nullptr && window->Timer1.isActive()) {
                window->Timer1_Timer();
            }
        });
        return;
    }
    const int before = intSendWait--;
    if (before == 1) {
        ShowToolTip(QString(), QString());
        Timer1.stop();
        QString text = std::move(timerTag_);
        timerTag_.clear();
        if (sendKeys_) {
            sendKeys_(text);
        }
        AutoType::Wipe(text);
        menus_.ToolButton(res::kSendKeysButton)->setEnabled(true);
        return;
    }
    QString tip = QString::number(intSendWait);
    if (nameTarget_) {
        tip += QStringLiteral("\r\n") + nameTarget_();
    }
    ShowToolTip(QString(), tip);
}

void frmMain::closeEvent(QCloseEvent* event) {
    try {
        settings_->Set(settings::kToolbar, menus_.tlbMain->isVisibleTo(this));
        settings_->Set(settings::kStatusbar, statusBar()->isVisibleTo(this));
        settings_->Set(settings::kTooltip, blnToolTip);
        settings_->Set(settings::kGridLine, lvwMain->showGrid());
    } catch (const std::exception&) {
        // Closing is never refused.
    }
    QCoreApplication::processEvents();
    tooltip_->close();
    event->accept();
}

}  // namespace zorvan
