#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "platform/KeyInjector.h"
#include "tools/VaultReport.h"
#include "ui/ClipboardClearer.h"
#include "ui/ProtectionTexts.h"
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
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        txtSearch_->setFocus();
        txtSearch_->selectAll();
    });
    txtSearch_->installEventFilter(this);
    // A row of a write-protected group takes no changes, wherever it is listed.
    connect(lvwMain->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (search_->active()) {
            state_.blnReadOnlyGroup = search_->SelectionReadOnly();
        }
    });
    setCentralWidget(central);

    staPanel1 = new QLabel(this);
    staPanel2 = new QLabel(this);
    statusBar()->addWidget(staPanel1, 1);
    statusBar()->addWidget(staPanel2);
    staExpiry_ = new QLabel(this);
    staExpiry_->setObjectName(QStringLiteral("staExpiry"));
    connect(staExpiry_, &QLabel::linkActivated, this, [this] { commands().Report(); });
    statusBar()->addPermanentWidget(staExpiry_);
    staFormat_ = new QLabel(this);
    staFormat_->setObjectName(QStringLiteral("staFormat"));
    statusBar()->addPermanentWidget(staFormat_);
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
    Step([&] { staPanel2->setFixedWidth(3 * statusBar()->sizeHint().height()); });
    Step([&] { QCoreApplication::processEvents(); });
    Step([&] { LayOut(); });
    Step([&] { AddColumns(); });
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
    staFormat_->setText(
        QString::fromUtf8(sealed ? protection::kStatusProtected : protection::kStatusLegacy));
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
    staExpiry_->clear();
    const int days = settings_->Get(settings::kExpiryDays);
    const auto count = VaultReport::CountExpiry(session_.vault, ItemList::Today(), days);
    if (count.expired == 0 && count.expiringSoon == 0) {
        return;
    }
    staExpiry_->setText(QStringLiteral("<a href=\"report\">期限切れ %1件・期限間近 %2件</a>")
                            .arg(count.expired)
                            .arg(count.expiringSoon));
}

QString frmMain::GroupOfRow(int row) const {
    const QString& group = model_->row(row).group;
    return group.isEmpty() ? state_.strCurrentGroup : group;
}

void frmMain::ResetColumns() {
    model_->ClearColumns();
    AddColumns();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Esc in the search box goes back to the group.
    if (watched == txtSearch_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        search_->Leave();
        lvwMain->setFocus();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
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
    staPanel2->setText(Res(res::kLoadingItems));
    itemList_->ShowPasswords(blnShow);
    staPanel2->clear();
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

QProgressBar* frmMain::progressBar() const {
    return isVisible() && statusBar()->isVisible() ? prbMain : nullptr;
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
