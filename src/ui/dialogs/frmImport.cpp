#include "ui/dialogs/frmImport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <exception>

#include "platform/Codepage.h"
#include "platform/StorageError.h"
#include "ui/LongOperation.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/DialogConventions.h"
#include "ui/dialogs/StoredName.h"
#include "ui/main/MenuTables.h"
#include "vault/GroupIndex.h"
#include "vault/ItemRecord.h"
#include "vault/Vault.h"

namespace zorvan {

namespace {

// A menu caption showing the name as it is: "&" would make an access key.
QString Caption(QString name) {
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

frmImport::frmImport(Input input, UiServices& ui, QWidget* parent)
    : QDialog(parent),
      input_(std::move(input)),
      ui_(ui),
      progressDelay_(LongOperation::defaultProgressDelay()) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("インポート/エクスポート"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    cmdFile = new QPushButton(this);
    cmdFile->setObjectName(QStringLiteral("cmdFile"));
    cmdFile->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    cmdFile->setToolTip(QStringLiteral("ファイルの選択"));
    cmdFile->setAccessibleName(cmdFile->toolTip());
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    cmdExport = new QPushButton(QStringLiteral("▲ エクスポート"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdImport = new QPushButton(QStringLiteral("▼  インポート  "), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdGroup = new QPushButton(this);
    cmdGroup->setObjectName(QStringLiteral("cmdGroup"));
    cmdGroup->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    cmdGroup->setToolTip(QStringLiteral("グループの選択"));
    cmdGroup->setAccessibleName(cmdGroup->toolTip());
    txtGroup = new QLineEdit(this);
    txtGroup->setObjectName(QStringLiteral("txtGroup"));
    chkAppend = new QCheckBox(QStringLiteral("追加書き"), this);
    chkAppend->setObjectName(QStringLiteral("chkAppend"));
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    staImport = new QStatusBar(this);
    staImport->setObjectName(QStringLiteral("staImport"));
    staImport->setSizeGripEnabled(false);
    staPanel = new QLabel(staImport);
    staImport->addWidget(staPanel, 1);
    prbProgress = new QProgressBar(staImport);
    prbProgress->setMaximumWidth(fontMetrics().averageCharWidth() * 16);
    prbProgress->hide();
    staImport->addPermanentWidget(prbProgress);

    mnuGroup = new QMenu(QStringLiteral("グループ"), this);
    mnuGroup->setObjectName(QStringLiteral("mnuGroup"));
    QAction* placeholder = mnuGroup->addAction(ToQ(res::kNoGroupEntry));
    placeholder->setEnabled(false);
    mnuGroupItem.push_back(placeholder);

    connect(cmdFile, &QPushButton::clicked, this, &frmImport::cmdFile_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmImport::cmdExport_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmImport::cmdImport_Click);
    connect(cmdGroup, &QPushButton::clicked, this, &frmImport::cmdGroup_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmImport::cmdClose_Click);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(cmdFile);
    fileRow->addWidget(txtFile, 1);
    auto* directions = new QHBoxLayout;
    directions->addStretch();
    directions->addWidget(cmdExport);
    directions->addWidget(cmdImport);
    directions->addStretch();
    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(cmdGroup);
    groupRow->addWidget(txtGroup, 1);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(chkAppend);
    bottomRow->addStretch();
    bottomRow->addWidget(cmdClose);
    auto* rows = new QVBoxLayout;
    rows->addLayout(fileRow);
    rows->addLayout(directions);
    rows->addLayout(groupRow);
    rows->addLayout(bottomRow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    rows->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin),
                             style()->pixelMetric(QStyle::PM_LayoutTopMargin),
                             style()->pixelMetric(QStyle::PM_LayoutRightMargin),
                             style()->pixelMetric(QStyle::PM_LayoutBottomMargin));
    layout->addLayout(rows);
    layout->addWidget(staImport);
    txtFile->setMinimumWidth(fontMetrics().averageCharWidth() * 48);

    DialogConventions::Install(*this, [this] { cmdClose_Click(); });
    Form_Load();
}

frmImport::~frmImport() = default;

void frmImport::Form_Load() {
    DialogConventions::KeepOnTop(*this, input_.topMost);
    try {
        for (const auto& name : input_.vault->GroupNames()) {
            if (!name.empty()) {
                AddGroupItem(ToQ(name));
            }
        }
    } catch (const std::exception&) {
        // An unreadable index leaves the menu with its placeholder; names can be typed.
    }
    txtGroup->setText(input_.groupText);
}

void frmImport::AddGroupItem(const QString& name) {
    for (std::size_t i = 1; i < mnuGroupItem.size(); ++i) {
        if (mnuGroupItem[i]->data().toString() == name) {
            return;
        }
    }
    const int index = static_cast<int>(mnuGroupItem.size());
    QAction* entry = mnuGroup->addAction(Caption(name));
    entry->setData(name);
    connect(entry, &QAction::triggered, this, [this, index] { mnuGroupItem_Click(index); });
    mnuGroupItem.push_back(entry);
    mnuGroupItem.front()->setVisible(false);
}

void frmImport::cmdFile_Click() {
    const QString chosen = ui_.ChooseFile(this, Res(res::kFileDialogTitle), Res(res::kFileFilter));
    // A cancelled file dialog keeps what the box holds, typed or chosen before.
    if (!chosen.isEmpty()) {
        txtFile->setText(chosen);
    }
}

void frmImport::cmdGroup_Click() {
    mnuGroup->popup(QCursor::pos());
}

void frmImport::mnuGroupItem_Click(int index) {
    if (index >= 1 && static_cast<std::size_t>(index) < mnuGroupItem.size()) {
        txtGroup->setText(mnuGroupItem[static_cast<std::size_t>(index)]->data().toString());
    }
}

void frmImport::cmdClose_Click() {
    if (!busy_) {
        reject();
    }
}

void frmImport::BeginRun(int statusId) {
    busy_ = true;
    cmdExport->setEnabled(false);
    cmdImport->setEnabled(false);
    staPanel->setText(Res(statusId));
    run_ = std::make_unique<LongOperation>(this, prbProgress, Res(statusId));
    run_->SetProgressDelay(progressDelay_);
}

void frmImport::EndRun(bool ok, int doneId, int failedId) {
    run_.reset();
    prbProgress->hide();
    if (ok) {
        staPanel->setText(Res(doneId));
    } else {
        ui_.Message(this, Res(failedId), UiServices::Buttons::kOk);
        staPanel->setText(Res(failedId));
    }
    cmdExport->setEnabled(true);
    cmdImport->setEnabled(true);
    busy_ = false;
}

void frmImport::Progress(std::size_t done, std::size_t total) {
    run_->Progress(done, total);
}

CsvHooks frmImport::Hooks(const QString& importGroup) {
    CsvHooks hooks;
    hooks.askOverwrite = [this](const std::string& question) {
        // The question must take clicks; the time spent answering is not part of
        // the run either.
        run_.reset();
        const bool yes = ui_.Message(this, ToQ(question), UiServices::Buttons::kYesNo) ==
                         UiServices::Answer::kYes;
        run_ = std::make_unique<LongOperation>(this, prbProgress, staPanel->text());
        run_->SetProgressDelay(progressDelay_);
        return yes;
    };
    hooks.progress = [this](std::size_t done, std::size_t total) { Progress(done, total); };
    if (!importGroup.isNull()) {
        hooks.itemImported = [this, importGroup](const ItemRecord& item, BlockNumber block) {
            if (importGroup == input_.shownGroup) {
                input_.itemShown(item, block);
                if (run_->RepaintDue()) {
                    input_.flushRows();
                }
                run_->Tick();
            }
        };
    }
    return hooks;
}

void frmImport::cmdExport_Click() {
    BeginRun(res::kExporting);
    CsvEngine engine(*input_.vault);
    const bool ok =
        engine.ExportCsv(Utf8ToPath(FromQ(txtFile->text())), FromQ(AsStored(txtGroup->text())),
                         true, chkAppend->isChecked(), Hooks(QString()));
    EndRun(ok, res::kExportDone, res::kExportFailed);
}

void frmImport::cmdImport_Click() {
    BeginRun(res::kImporting);
    const QString name = AsStored(txtGroup->text());
    const std::string group = FromQ(name);
    CsvEngine engine(*input_.vault);
    bool created = false;
    try {
        created = CsvEngine::IsValidGroupName(group) && !engine.GroupExists(group);
    } catch (const std::exception&) {
        // The import itself reports the unreadable index.
    }
    if (created) {
        input_.groupCreated(name);
    }
    // The rows reach the list in one step, not one list update per item.
    input_.beginRows();
    const bool ok = engine.ImportCsv(Utf8ToPath(FromQ(txtFile->text())), group, Hooks(name));
    input_.endRows();
    if (ok && created) {
        AddGroupItem(name);
    }
    EndRun(ok, res::kImportDone, res::kImportFailed);
    input_.importEnded();
}

void frmImport::closeEvent(QCloseEvent* event) {
    // The run in progress owns the dialog until it ends.
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace zorvan
