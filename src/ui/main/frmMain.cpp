#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "platform/KeyInjector.h"
#include "tools/VaultReport.h"
#include "ui/ClipboardClearer.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/Transparency.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/main/AutoType.h"
#include "ui/main/CommandRouter.h"
#include "ui/main/Countdown.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/ItemSearch.h"
#include "ui/main/ListInteractions.h"
#include "ui/main/MainDialogs.h"
#include "ui/main/MainKeys.h"
#include "ui/main/MainStatusBar.h"
#include "ui/main/MenuTables.h"
#include "ui/main/frmTooltip.h"
#include "vault/GroupIndex.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

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
    txtSearch_ = new QLineEdit(central);
    txtSearch_->setObjectName(QStringLiteral("txtSearch"));
    txtSearch_->setPlaceholderText(QStringLiteral("検索"));
    txtSearch_->setClearButtonEnabled(true);
    layout->addWidget(cboMain);
    layout->addWidget(txtSearch_);
    layout->addWidget(lvwMain, 1);
    search_ = new ItemSearch(*this, *txtSearch_);
    setCentralWidget(central);

    status_ = new MainStatusBar(*this);
    connect(status_, &MainStatusBar::reportAsked, this, [this] { commands().Report(); });

    tooltip_ = new frmTooltip(this);
    itemList_ = std::make_unique<ItemList>(*this);
    commands_ = std::make_unique<ItemCommands>(*this);
    interactions_ = new ListInteractions(*this);
    keys_ = new MainKeys(*this);
    injector_ = CreateKeyInjector();
    countdown_ = new Countdown(*tooltip_, *menus_.Find(Command::kAutoTypeMenu), this);
    autoType_ = std::make_unique<AutoType>(*this, *injector_);
    MainDialogs::Install(*this);

    const double tppX = window::TwipsPerPixelX(this);
    const double tppY = window::TwipsPerPixelY(this);
    resize(window::TwipsToPixels(kDesignClientWidth, tppX),
           window::TwipsToPixels(kDesignClientHeight, tppY) + menuBar()->sizeHint().height());

    connect(cboMain, &QComboBox::currentIndexChanged, this, &frmMain::cboMain_Click);
    router_ = new CommandRouter(*this);
}

frmMain::~frmMain() = default;

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
    Step([&] { ShowFormat(); });
    Step([&] { SetToolbarVisible(settings_->Get(settings::kToolbar), true); });
    Step([&] { SetStatusBarVisible(settings_->Get(settings::kStatusbar), true); });
    Step([&] { SetGridLines(settings_->Get(settings::kGridLine), true); });
    Step([&] { SetToolTipEnabled(settings_->Get(settings::kTooltip), true); });
    Step([&] { SetTopMost(settings_->Get(settings::kTopmost), true); });
    Step([&] { SetPassView(settings_->Get(settings::kPassView), true); });
    Step([&] { status_->FitSecondPanel(); });
    Step([&] { QCoreApplication::processEvents(); });
    Step([&] { LayOut(); });
    Step([&] { itemList_->AddColumns(); });
    Step([&] { FillGroupSelector(); });
    Step([&] { SetTransparency(this, settings_->Get(settings::kTransparency)); });
    Step([&] { SelectLastGroup(); });
    Step([&] { ShowExpiry(); });
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

void frmMain::ShowFormat() {
    const bool sealed = session_.vault.format() == VaultFormat::kProtected;
    status_->ShowFormat(sealed);
    menus_.Find(Command::kUpgradeVault)->setEnabled(!sealed);
    menus_.Find(Command::kWriteLegacyCopy)->setEnabled(sealed);
}

void frmMain::OpenItem(const QString& group, BlockNumber block) {
    search_->Leave();
    cboMain->setCurrentText(group);
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->row(row).block == block) {
            lvwMain->clearSelection();
            lvwMain->selectRow(row);
            commands().ItemProperties();
            return;
        }
    }
}

void frmMain::ShowExpiry() {
    const auto count = VaultReport::CountExpiry(session_.vault, ItemList::Today(),
                                                settings_->Get(settings::kExpiryDays));
    status_->ShowExpiry(count.expired, count.expiringSoon);
}

QString frmMain::GroupOfRow(int row) const {
    const QString& group = model_->row(row).group;
    return group.isEmpty() ? state_.strCurrentGroup : group;
}

frmMain::View frmMain::ForgetForLock() {
    search_->Leave();
    search_->Forget();
    View view{state_.strCurrentGroup, {}};
    for (const QModelIndex& index : lvwMain->selectionModel()->selectedRows()) {
        view.selectedRows << index.row();
    }
    countdown_->Cancel();
    model_->ClearRows();
    state_.strCurrentGroup.clear();
    const QSignalBlocker block(cboMain);
    cboMain->clear();
    return view;
}

void frmMain::ShowAgain(const View& view) {
    FillGroupSelector();
    const int found = cboMain->findText(view.group, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found < 0) {
        SelectLastGroup();
        return;
    }
    cboMain->setCurrentIndex(found);
    UpdateMoveMenu();
    for (const int row : view.selectedRows) {
        if (row < model_->rowCount()) {
            lvwMain->selectionModel()->select(
                model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

void frmMain::SelectLastGroup() {
    if (cboMain->count() == 0) {
        return;
    }
    const QString last = ToQ(session_.vault.RememberedGroup());
    if (last.isEmpty()) {
        cboMain->setCurrentIndex(0);
        return;
    }
    const int found = cboMain->findText(last, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0) {
        state_.strCurrentGroup.clear();
        cboMain->setCurrentIndex(found);
    }
    UpdateMoveMenu();
}

bool frmMain::topMost() const {
    return menus_.Find(Command::kTopMost)->isChecked();
}

bool frmMain::passwordsShown() const {
    return menus_.Find(Command::kShowPasswords)->isChecked();
}

void frmMain::EnableItemCommands(bool enabled) {
    for (const Command command :
         {Command::kCopyId, Command::kCopyPassword, Command::kOpenUrl, Command::kItemProperties}) {
        EnableItemCommand(command, enabled);
    }
}

void frmMain::EnableItemCommand(Command command, bool enabled) {
    for (QAction* action : menus_.Actions(command)) {
        action->setEnabled(enabled);
    }
}

void frmMain::UpdateMoveMenu() {
    menus_.ListMoveTargets(*cboMain);
}

void frmMain::LayOut() {
    // The layout keeps the selector under the toolbar and gives the list the rest,
    // never a negative height.
    centralWidget()->layout()->activate();
}

void frmMain::SetToolbarVisible(bool blnShow, bool blnStartup) {
    menus_.Find(Command::kShowToolbar)->setChecked(blnShow);
    menus_.tlbMain->setVisible(blnShow);
    if (!blnStartup) {
        LayOut();
    }
}

void frmMain::SetStatusBarVisible(bool blnShow, bool blnStartup) {
    menus_.Find(Command::kShowStatusBar)->setChecked(blnShow);
    statusBar()->setVisible(blnShow);
    if (!blnStartup) {
        LayOut();
    }
}

void frmMain::SetGridLines(bool blnShow, bool blnStartup) {
    menus_.Find(Command::kShowGrid)->setChecked(blnShow);
    lvwMain->setShowGrid(blnShow);
    if (!blnStartup) {
        LayOut();
    }
}

void frmMain::SetToolTipEnabled(bool blnShow, bool /*blnStartup*/) {
    menus_.Find(Command::kShowToolTips)->setChecked(blnShow);
    blnToolTip = blnShow;
}

void frmMain::SetPassView(bool blnShow, bool blnStartup) {
    menus_.Find(Command::kShowPasswords)->setChecked(blnShow);
    statusPanel(2)->setText(Res(res::kLoadingItems));
    itemList_->ShowPasswords(blnShow);
    statusPanel(2)->clear();
    if (!blnStartup) {
        settings_->Set(settings::kPassView, blnShow);
    }
}

void frmMain::SetTopMost(bool blnShow, bool blnStartup) {
    for (QAction* action : menus_.Actions(Command::kTopMost)) {
        action->setChecked(blnShow);
    }
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

void frmMain::SetSwitch(Command command, bool blnShow, bool blnStartup) {
    switch (command) {
        case Command::kShowToolbar:
            return SetToolbarVisible(blnShow, blnStartup);
        case Command::kShowStatusBar:
            return SetStatusBarVisible(blnShow, blnStartup);
        case Command::kShowGrid:
            return SetGridLines(blnShow, blnStartup);
        case Command::kShowToolTips:
            return SetToolTipEnabled(blnShow, blnStartup);
        case Command::kShowPasswords:
            return SetPassView(blnShow, blnStartup);
        case Command::kTopMost:
            return SetTopMost(blnShow, blnStartup);
        default:
            return;
    }
}

QLabel* frmMain::statusPanel(int panel) const {
    return status_->panel(panel);
}

QProgressBar* frmMain::progressBar() const {
    return status_->progressBar();
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
