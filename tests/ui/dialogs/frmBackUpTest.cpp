#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmPass.h"
#include "vault/BackupFile.h"

namespace zorvan {

// The backup dialog over a main window of its own vault, driven through its widgets.
class frmBackUpTest : public QObject {
    Q_OBJECT

private:
    static std::string Golden() { return test::UiTempVault::Data("20030405-134507"); }

    struct Fixture {
        // The vault in use has its own password, "current", and one item.
        Fixture() : f(false) {
            auto& session = *f.vault.session;
            f.Set("pass", CheckValue("current"));
            session.vault.UseKeyOf("current");
            f.AddGroup("Mine#0");
            f.AddItem("Mine", "mine", "id", "secret");
            f.Open();
            before = Files();
        }
        std::filesystem::path Backups() const { return f.vault.session->paths.strBackupFolder; }
        void PutBackup(const std::string& name, const std::string& bytes) const {
            f.vault.Write("backup/" + name, bytes);
        }
        std::vector<std::string> Files(bool sample = false) const { return f.vault.Files(sample); }
        std::unique_ptr<frmBackUp> Dialog() {
            auto dialog = std::make_unique<frmBackUp>(*f.vault.session, f.ui, f.main->topMost(),
                                                      f.main.get());
            dialog->SetPasswordDialogRunner([this](frmPass& pass) {
                ++passwordDialogs;
                for (const auto& typed : typing) {
                    pass.passwordBox()->setText(typed);
                    pass.okButton()->click();
                    if (pass.result() == QDialog::Accepted) {
                        break;
                    }
                }
            });
            return dialog;
        }
        QStringList Row(const frmBackUp& dialog, int row) const {
            const auto* item = dialog.list()->topLevelItem(row);
            return {item->text(0), item->text(1), item->text(2)};
        }
        QStringList FileColumn(const frmBackUp& dialog) const {
            QStringList names;
            for (int i = 0; i < dialog.list()->topLevelItemCount(); ++i) {
                names << dialog.list()->topLevelItem(i)->text(2);
            }
            return names;
        }
        // Puts the golden backup in the folder and selects it.
        std::unique_ptr<frmBackUp> DialogOnGolden(const std::string& bytes = Golden()) {
            PutBackup("20030405-134507", bytes);
            auto dialog = Dialog();
            dialog->list()->topLevelItem(0)->setSelected(true);
            return dialog;
        }
        QList<int> Selected(const frmBackUp& dialog) const {
            QList<int> rows;
            for (int i = 0; i < dialog.list()->topLevelItemCount(); ++i) {
                if (dialog.list()->topLevelItem(i)->isSelected()) {
                    rows << i;
                }
            }
            return rows;
        }
        void Select(frmBackUp& dialog, std::initializer_list<int> rows) const {
            dialog.list()->clearSelection();
            for (const int row : rows) {
                dialog.list()->topLevelItem(row)->setSelected(true);
            }
        }

        test::MainFixture f;
        std::vector<std::string> before;
        QStringList typing;  // what is typed into the password dialog, attempt by attempt
        int passwordDialogs = 0;
    };

    static const QString kGoldenDate;

private slots:
    void listShowsEveryFileWithItsDateAndCommentInColumnsOfFixedShares() {
        Fixture x;
        x.PutBackup("junk", "too short");
        x.PutBackup("20030405-134507", Golden());
        auto dialog = x.Dialog();
        const int w = dialog->list()->width();
        QCOMPARE(dialog->list()->columnWidth(0), w * 2 / 5);
        QCOMPARE(dialog->list()->columnWidth(1), w / 4);
        QCOMPARE(dialog->list()->columnWidth(2), w / 4);
        QCOMPARE(dialog->list()->topLevelItemCount(), 2);
        QCOMPARE(x.Row(*dialog, 0),
                 (QStringList{kGoldenDate, "月末のバックアップ", "20030405-134507"}));
        QCOMPARE(x.Row(*dialog, 1), (QStringList{"", "", "junk"}));
        QVERIFY(!dialog->blnRestored);
        dialog->lvwBackup_ItemClick(dialog->list()->topLevelItem(0));
        QCOMPARE(dialog->commentBox()->text(), QStringLiteral("月末のバックアップ"));
    }

    void emptyFolderGivesAnEmptyListWhereRestoreAndDeleteDoNothing() {
        Fixture x;
        auto dialog = x.Dialog();
        QCOMPARE(dialog->list()->topLevelItemCount(), 0);
        dialog->button(frmBackUp::kRestore)->click();
        dialog->button(frmBackUp::kDelete)->click();
        QVERIFY(x.f.ui.messages.isEmpty());
        QCOMPARE(x.passwordDialogs, 0);
    }

    // The file's bytes, and where a long comment is cut, are BackupFileTest's; here
    // the row, which shows a long comment whole until the dialog opens again.
    void backupGetsARowAndTheSameSecondReplacesIt() {
        Fixture x;
        auto dialog = x.Dialog();
        dialog->SetClock([] { return QDateTime(QDate(2003, 4, 5), QTime(13, 45, 7)); });
        dialog->commentBox()->setText(QStringLiteral("月末のバックアップ"));
        dialog->button(frmBackUp::kBackUp)->click();
        QCOMPARE(x.Row(*dialog, 0),
                 (QStringList{kGoldenDate, "月末のバックアップ", "20030405-134507"}));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(dialog->button(i)->isEnabled());
        }
        const QString longComment(129, QLatin1Char('b'));
        dialog->commentBox()->setText(longComment);
        dialog->button(frmBackUp::kBackUp)->click();
        QCOMPARE(x.FileColumn(*dialog), QStringList{"20030405-134507"});
        QCOMPARE(x.Row(*dialog, 0)[1], longComment);
        QCOMPARE(x.Row(*x.Dialog(), 0)[1], longComment.left(128));
    }

    void enterInTheCommentBoxMakesABackupOnceTheBoxHadTheFocus() {
        Fixture x;
        auto dialog = x.Dialog();
        dialog->show();
        dialog->SetClock([] { return QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)); });
        QVERIFY(!dialog->button(frmBackUp::kBackUp)->isDefault());
        QTest::keyClick(dialog->list(), Qt::Key_Return);
        QCOMPARE(dialog->list()->topLevelItemCount(), 0);
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(dialog->commentBox(), &focusIn);
        QVERIFY(dialog->button(frmBackUp::kBackUp)->isDefault());
        QTest::keyClick(dialog->commentBox(), Qt::Key_Return);
        QCOMPARE(x.FileColumn(*dialog), QStringList{"20240229-235958"});
        QCOMPARE(x.Row(*dialog, 0)[0], QStringLiteral("2024/02/29 23:59:58"));
        QVERIFY(dialog->isVisible());
        // Enter on a focused button still presses that button.
        QApplication::setActiveWindow(dialog.get());
        dialog->button(frmBackUp::kClose)->setFocus();
        QTest::keyClick(dialog->button(frmBackUp::kClose), Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->list()->topLevelItemCount(), 1);
    }

    void restoreAsksForTheBackupsOwnPasswordAndReloadsTheMainWindow_data() {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("restore button") << false;
        QTest::newRow("double click") << true;
    }
    void restoreAsksForTheBackupsOwnPasswordAndReloadsTheMainWindow() {
        QFETCH(bool, doubleClick);
        Fixture x;
        x.typing = {"current", "zorvan"};
        auto dialog = x.DialogOnGolden();
        dialog->show();
        if (doubleClick) {
            dialog->lvwBackup_DblClick();
        } else {
            dialog->button(frmBackUp::kRestore)->click();
        }
        QCOMPARE(x.f.ui.messages,
                 (QStringList{kGoldenDate + "のデータを復旧します", "パスワードが違います"}));
        QVERIFY(dialog->blnRestored);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(x.Files(), x.Files(true));
        QVERIFY(x.f.vault.session->vault.IsKeyOf("zorvan"));
        QCOMPARE(ReadSetting(x.f.vault.session->paths.strIniFile, "Zorvan", "pass", ""),
                 CheckValue("zorvan"));
        QCOMPARE(x.f.vault.ReadFile("backup/20030405-134507"), Golden());

        // What the main window does once the dialog has closed.
        x.f.main->Form_Load();
        QCOMPARE(x.f.main->groupSelector()->count(), 4);
        QCOMPARE(x.f.main->groupSelector()->currentText(), QStringLiteral("Web"));
        QCOMPARE(x.f.Names(), (QStringList{"Example", "メール"}));
    }

    // Which backups are unusable is BackupFileTest's.
    void restoreThatDoesNotHappenChangesNothing_data() {
        QTest::addColumn<bool>("usable");
        QTest::addColumn<bool>("answerNo");
        QTest::addColumn<int>("passwordDialogs");
        QTest::addColumn<QString>("lastMessage");  // a part of it
        QTest::newRow("password dialog left") << true << false << 1 << "パスワードが違います";
        QTest::newRow("question answered No") << true << true << 0 << "のデータを復旧します";
        QTest::newRow("unusable backup") << false << false << 0 << "20030405-134507";
    }
    void restoreThatDoesNotHappenChangesNothing() {
        QFETCH(bool, usable);
        QFETCH(bool, answerNo);
        QFETCH(int, passwordDialogs);
        QFETCH(QString, lastMessage);
        Fixture x;
        x.typing = {usable ? "wrong" : "zorvan"};  // then the dialog is left without success
        if (answerNo) {
            x.f.ui.answers = {UiServices::Answer::kNo};
        }
        auto dialog = x.DialogOnGolden(usable ? Golden() : Golden().substr(0, Golden().size() - 1));
        dialog->show();
        dialog->button(frmBackUp::kRestore)->click();
        QCOMPARE(x.passwordDialogs, passwordDialogs);
        QVERIFY(x.f.ui.messages.last().contains(lastMessage));
        QVERIFY(!dialog->blnRestored);
        QVERIFY(dialog->isVisible());
        QCOMPARE(x.Files(), x.before);
        QVERIFY(x.f.vault.session->vault.IsKeyOf("current"));
        QCOMPARE(x.f.main->itemModel()->row(0).password, QStringLiteral("secret"));
        QCOMPARE(x.f.vault.session->vault.LoadItem(1).AccountPass, std::string("secret"));
    }

    void deletingSelectsTheRowAfterTheLastDeletedOrElseTheNewLast() {
        Fixture x;
        for (int i = 1; i <= 5; ++i) {
            x.PutBackup("20240101-00000" + std::to_string(i), Golden());
        }
        auto dialog = x.Dialog();
        x.Select(*dialog, {1, 2});
        x.f.ui.answers = {UiServices::Answer::kNo};
        dialog->button(frmBackUp::kDelete)->click();
        QCOMPARE(dialog->list()->topLevelItemCount(), 5);
        QVERIFY(std::filesystem::exists(x.Backups() / "20240101-000002"));
        dialog->button(frmBackUp::kDelete)->click();
        QCOMPARE(x.f.ui.messages.last(),
                 QStringLiteral("2個のアイテムを削除してもよろしいですか？"));
        QCOMPARE(x.FileColumn(*dialog),
                 (QStringList{"20240101-000001", "20240101-000004", "20240101-000005"}));
        QCOMPARE(x.Selected(*dialog), QList<int>{1});
        QVERIFY(!std::filesystem::exists(x.Backups() / "20240101-000002"));
        QVERIFY(!std::filesystem::exists(x.Backups() / "20240101-000003"));

        // A file already gone still loses its row.
        std::filesystem::remove(x.Backups() / "20240101-000005");
        x.Select(*dialog, {2});
        dialog->button(frmBackUp::kDelete)->click();
        QCOMPARE(x.f.ui.messages.last(), kGoldenDate + "を削除してもよろしいですか？");
        QCOMPARE(x.FileColumn(*dialog), (QStringList{"20240101-000001", "20240101-000004"}));
        QCOMPARE(x.Selected(*dialog), QList<int>{1});

        x.Select(*dialog, {0, 1});
        dialog->button(frmBackUp::kDelete)->click();
        QCOMPARE(dialog->list()->topLevelItemCount(), 0);
        QVERIFY(x.Selected(*dialog).isEmpty());
        QVERIFY(std::filesystem::is_empty(x.Backups()));
    }

    void unreadableDataFileIsReportedAndLeavesNoBackup() {
        Fixture x;
        std::filesystem::remove(x.f.vault.session->paths.strItmFile);
        auto dialog = x.Dialog();
        dialog->button(frmBackUp::kBackUp)->click();
        QCOMPARE(x.f.ui.messages.size(), 1);
        QVERIFY(x.f.ui.messages[0].contains(QStringLiteral("Zorvan.itm")));
        QCOMPARE(dialog->list()->topLevelItemCount(), 0);
        QVERIFY(std::filesystem::is_empty(x.Backups()));
        QVERIFY(dialog->button(frmBackUp::kBackUp)->isEnabled());
    }
};

const QString frmBackUpTest::kGoldenDate = QStringLiteral("2003/04/05 13:45:07");

}  // namespace zorvan

QTEST_MAIN(zorvan::frmBackUpTest)
#include "frmBackUpTest.moc"
