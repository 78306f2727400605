#include "ui/dialogs/frmBackUp.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

#include "platform/StorageError.h"
#include "ui/CommittedChange.h"
#include "ui/LongOperation.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/DialogConventions.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/frmMain.h"
#include "vault/BackupFile.h"
#include "vault/BackupRestore.h"
#include "vault/Cipher.h"
#include "vault/OleDate.h"
#include "vault/TextFile.h"
#include "vault/VaultJournal.h"

namespace zorvan {

namespace {

DateTimeParts PartsOf(const QDateTime& moment) {
    const QDate d = moment.date();
    const QTime t = moment.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

}  // namespace

frmBackUp::frmBackUp(Session& session, UiServices& ui, bool topMost, QWidget* parent)
    : QDialog(parent),
      session_(session),
      ui_(ui),
      topMost_(topMost),
      now_([] { return QDateTime::currentDateTime(); }),
      runPass_([](frmPass& dialog) { dialog.exec(); }) {
    setObjectName(QStringLiteral("frmBackUp"));
    setWindowTitle(QStringLiteral("バックアップ"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lvwBackup = new QTreeWidget(this);
    lvwBackup->setObjectName(QStringLiteral("lvwBackup"));
    lvwBackup->setRootIsDecorated(false);
    lvwBackup->setItemsExpandable(false);
    lvwBackup->setUniformRowHeights(true);
    lvwBackup->setAllColumnsShowFocus(true);
    lvwBackup->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwBackup->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwBackup->header()->setStretchLastSection(false);
    lvwBackup->setFixedSize(fontMetrics().averageCharWidth() * 64, fontMetrics().height() * 12);
    connect(lvwBackup, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { lvwBackup_ItemClick(item); });
    connect(lvwBackup, &QTreeWidget::itemDoubleClicked, this, [this] { lvwBackup_DblClick(); });

    txtComment = new QLineEdit(this);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->installEventFilter(this);

    const QString captions[] = {QStringLiteral("バックアップ"), QStringLiteral("復旧"),
                                QStringLiteral("削除"), QStringLiteral("閉じる")};
    auto* buttons = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto*& button = cmdBackUp[static_cast<std::size_t>(i)];
        button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("cmdBackUp%1").arg(i));
        // No button is the default until the comment box has had the focus (Qt would
        // otherwise make the first one the default as the dialog opens).
        button->setAutoDefault(false);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdBackUp_Click(i); });
    }
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(lvwBackup);
    left->addWidget(txtComment);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    // A fixed dialog border: the dialog keeps the size of its controls.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    DialogConventions::Install(*this);
    Form_Load();
}

frmBackUp::~frmBackUp() = default;

void frmBackUp::Form_Load() {
    blnRestored = false;
    DialogConventions::KeepOnTop(*this, topMost_);
    lvwBackup->clear();
    lvwBackup->setHeaderLabels(
        {QStringLiteral("日付"), QStringLiteral("コメント"), QStringLiteral("ファイル")});
    const int w = lvwBackup->width();
    lvwBackup->setColumnWidth(kDateColumn, w * 2 / 5);
    lvwBackup->setColumnWidth(kCommentColumn, w / 4);
    lvwBackup->setColumnWidth(kFileColumn, w / 4);

    const auto& folder = session_.vault.BackupFolder();
    std::vector<std::string> names;
    try {
        names = textfile::ListFileNames(folder);
    } catch (const std::exception& error) {
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }
    // By name, which for the names backups get is by date, on every platform.
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        const auto listing = BackupFile::ReadListing(folder / Utf8ToPath(name));
        AddRow(ToQ(listing.dateText), ToQ(listing.comment), ToQ(name));
    }
}

void frmBackUp::AddRow(const QString& date, const QString& comment, const QString& fileName) {
    auto* row = new QTreeWidgetItem(lvwBackup);
    row->setText(kDateColumn, date);
    row->setText(kCommentColumn, comment);
    row->setText(kFileColumn, fileName);
}

void frmBackUp::lvwBackup_ItemClick(QTreeWidgetItem* item) {
    if (item != nullptr) {
        txtComment->setText(item->text(kCommentColumn));
    }
}

void frmBackUp::lvwBackup_DblClick() {
    RestoreSelected();
}

bool frmBackUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtComment && event->type() == QEvent::FocusIn) {
        cmdBackUp[kBackUp]->setDefault(true);
    }
    return QDialog::eventFilter(watched, event);
}

void frmBackUp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        return;  // a plain one closed the dialog already; others do nothing
    }
    // Enter on a focused button presses that button, not the default one.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        for (auto* button : cmdBackUp) {
            if (button->hasFocus()) {
                button->click();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

void frmBackUp::cmdBackUp_Click(int index) {
    switch (index) {
        case kBackUp:
            MakeBackup();
            break;
        case kRestore:
            RestoreSelected();
            break;
        case kDelete:
            DeleteSelected();
            break;
        default:
            reject();
            break;
    }
}

void frmBackUp::EnableButtons(bool enabled) {
    for (auto* button : cmdBackUp) {
        button->setEnabled(enabled);
    }
}

void frmBackUp::MakeBackup() {
    EnableButtons(false);
    const DateTimeParts moment = PartsOf(now_());
    const QString fileName = ToQ(OleDate::FileName(moment));

    BackupHeader header;
    header.versionMajor = frmMain::kVersionMajor;
    header.versionMinor = frmMain::kVersionMinor;
    header.versionRevision = frmMain::kVersionRevision;
    header.date = OleDate::FromParts(moment);
    header.comment = BackupFile::StoredComment(FromQ(txtComment->text()));
    auto operation =
        std::make_unique<LongOperation>(this, nullptr, QStringLiteral("バックアップ処理中"));
    try {
        session_.vault.Backup(FromQ(fileName), header,
                              [&operation](std::size_t done, std::size_t total) {
                                  operation->Progress(done, total);
                              });
        operation.reset();
    } catch (const std::exception& error) {
        operation.reset();  // before the message, which must take clicks
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        EnableButtons(true);
        return;
    }
    // A second backup within the same second replaced the file; its row follows.
    const auto same = lvwBackup->findItems(fileName, Qt::MatchExactly, kFileColumn);
    for (auto* row : same) {
        delete row;
    }
    AddRow(ToQ(OleDate::ListText(moment)), txtComment->text(), fileName);
    EnableButtons(true);
}

QTreeWidgetItem* frmBackUp::SelectedRow() const {
    QTreeWidgetItem* current = lvwBackup->currentItem();
    if (current != nullptr && current->isSelected()) {
        return current;
    }
    for (int i = 0; i < lvwBackup->topLevelItemCount(); ++i) {
        if (lvwBackup->topLevelItem(i)->isSelected()) {
            return lvwBackup->topLevelItem(i);
        }
    }
    return nullptr;
}

void frmBackUp::RestoreSelected() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    if (ui_.Message(this, row->text(kDateColumn) + QStringLiteral("のデータを復旧します"),
                    UiServices::Buttons::kYesNo) != UiServices::Answer::kYes) {
        return;
    }
    const auto file = session_.vault.BackupFolder() / Utf8ToPath(FromQ(row->text(kFileColumn)));
    try {
        // A backup that could not be restored is refused before the password is asked.
        BackupFile::ReadHeader(file);
    } catch (const std::exception& error) {
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }

    // The backup's password, checked against the backup; the vault takes its key
    // once the restore has gone through.
    SecretText password;
    {
        frmPass pass(session_, ui_, {}, this);
        pass.BackupPass(
            [this, &file](const SecretText& typed) {
                return session_.vault.BackupOpensWith(file, typed);
            },
            true);
        runPass_(pass);
        password = pass.TakePassword();
    }
    if (!session_.blnPassOK) {
        return;
    }
    auto operation = std::make_unique<LongOperation>(this, nullptr, QStringLiteral("復旧処理中"));
    try {
        session_.vault.Restore(file, password, [&operation](std::size_t done, std::size_t total) {
            operation->Progress(done, total);
        });
        operation.reset();
    } catch (const std::exception& error) {
        operation.reset();  // before any message, which must take clicks
        if (!VaultJournal(session_.paths).Pending()) {
            ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
            return;
        }
        // The restored vault counts; it must be in place before the window reloads.
        if (!FinishCommittedChange(session_.paths, ui_, this)) {
            return;
        }
    }
    blnRestored = true;
    accept();
}

void frmBackUp::DeleteSelected() {
    std::vector<QTreeWidgetItem*> rows;
    for (int i = 0; i < lvwBackup->topLevelItemCount(); ++i) {
        if (lvwBackup->topLevelItem(i)->isSelected()) {
            rows.push_back(lvwBackup->topLevelItem(i));
        }
    }
    if (rows.empty()) {
        return;
    }
    const QString question =
        rows.size() == 1
            ? rows.front()->text(kDateColumn) + QStringLiteral("を削除してもよろしいですか？")
            : QString::number(rows.size()) +
                  QStringLiteral("個のアイテムを削除してもよろしいですか？");
    if (ui_.Message(this, question, UiServices::Buttons::kYesNo) != UiServices::Answer::kYes) {
        return;
    }
    int noted = -1;
    for (auto* row : rows) {
        noted = lvwBackup->indexOfTopLevelItem(row);
        const auto file = session_.vault.BackupFolder() / Utf8ToPath(FromQ(row->text(kFileColumn)));
        try {
            if (textfile::FileExists(file)) {
                textfile::DeleteFile(file);
            }
        } catch (const std::exception& error) {
            // The file is still there, so its row stays.
            ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
            return;
        }
        delete row;
    }
    // The row that followed the last deleted one, or else the new last row.
    const int count = lvwBackup->topLevelItemCount();
    const int select = std::min(noted, count - 1);
    lvwBackup->clearSelection();
    if (select >= 0) {
        QTreeWidgetItem* row = lvwBackup->topLevelItem(select);
        lvwBackup->setCurrentItem(row);
        row->setSelected(true);
    }
}

}  // namespace zorvan
