#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

#include "csv/CsvEngine.h"
#include "platform/Codepage.h"
#include "support/MainFixture.h"
#include "ui/LongOperation.h"
#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmImport.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/MainDialogs.h"
#include "ui/main/PasswordChange.h"

namespace zorvan {

// Long operations of the main window over the sample vault with a group "Big" of
// many items: they show progress and keep the window painted, yet a key pressed
// meanwhile runs no command, now or afterwards. Progress shows at once here.
class LongOperationTest : public QObject {
    Q_OBJECT

private:
    static constexpr int kBigItems = 300;

    // Counts the paints of a widget; on the first one, notes the status text and
    // presses Insert (new item) in the item list and lets the countdown tick, as a
    // user and a timer might.
    struct DuringPaint : QObject {
        explicit DuringPaint(frmMain& window) : main(window) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && paints++ == 0) {
                running = LongOperation::Running();
                status = main.statusPanel(PasswordChange::kStatusPanel)->text();
                main.itemList()->setFocus();
                QTest::keyClick(main.windowHandle(), Qt::Key_Insert);
                main.Timer1_Timer();
            }
            return false;
        }
        frmMain& main;
        int paints = 0;
        bool running = false;
        QString status;
    };

    // Watches the whole application, from construction, for progress dialogs being
    // shown: their labels, and how many messages and password dialogs came before.
    struct ShownProgress : QObject {
        ShownProgress(const QStringList& messages, const int* passwordDialogs)
            : messages(messages), passwordDialogs(passwordDialogs) {
            qApp->installEventFilter(this);
        }
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                if (auto* progress = qobject_cast<QProgressDialog*>(watched)) {
                    labels << progress->labelText();
                    messagesBefore = messages.size();
                    passwordDialogsBefore = *passwordDialogs;
                }
            }
            return false;
        }
        const QStringList& messages;
        const int* passwordDialogs;
        QStringList labels;
        qsizetype messagesBefore = -1;
        int passwordDialogsBefore = -1;
    };

    struct Fixture {
        Fixture() {
            std::string lines;
            for (int i = 0; i < kBigItems; ++i) {
                lines += "item" + std::to_string(i) + ",id,pw\r\n";
            }
            const auto csv = f.vault.folder() / "big.csv";
            std::ofstream(csv, std::ios::binary) << lines;
            QVERIFY(CsvEngine(f.vault.session->vault).ImportCsv(csv, "Big"));
            f.vault.session->vault.UseKeyOf("zorvan");
            f.Open();
            main().SetKeystrokeSender([this](const QString& text) { sent << text; });
            bar = main().findChild<QProgressBar*>(QStringLiteral("prbMain"));
        }
        frmMain& main() { return *f.main; }

        test::MainFixture f;
        QProgressBar* bar = nullptr;
        QStringList sent;
    };

private slots:
    void init() { LongOperation::SetDefaultProgressDelay(0); }
    void cleanup() { LongOperation::SetDefaultProgressDelay(500); }

    void groupLoadShowsProgressAndRepaintsButDropsInputAndHoldsTheCountdown() {
        Fixture x;
        QVERIFY(x.bar != nullptr);
        DuringPaint during(x.main());
        x.bar->installEventFilter(&during);
        x.main().StartCountdown(1, QStringLiteral("typed"));
        x.f.Show(QStringLiteral("Big"));
        QVERIFY(during.paints > 0);
        QVERIFY(during.running);
        QVERIFY(!x.bar->isVisible());
        QCOMPARE(x.main().itemModel()->rowCount(), kBigItems);
        QCOMPARE(x.main().itemModel()->row(0).name, QStringLiteral("item299"));
        QCOMPARE(x.main().statusPanel(1)->text(),
                 QString::number(kBigItems) + QStringLiteral("個のアイテムがあります"));
        QVERIFY(x.sent.isEmpty());  // the tick waits for the load's end
        QApplication::processEvents();
        QCOMPARE(x.sent, QStringList{QStringLiteral("typed")});
        // The key pressed during the load was dropped, not kept for later; the same
        // key afterwards opens the item dialog.
        QCOMPARE(x.f.itemDialogs, 0);
        x.main().itemList()->setFocus();
        QTest::keyClick(x.main().windowHandle(), Qt::Key_Insert);
        QCOMPARE(x.f.itemDialogs, 1);
    }

    void passwordChangeShowsProgressBetweenItsTwoStatusTexts() {
        Fixture x;
        DuringPaint during(x.main());
        x.bar->installEventFilter(&during);
        PasswordChange change(x.main());
        change.SetPasswordDialogRunner([](frmPass& dialog) {
            dialog.passwordBox()->setText(QStringLiteral("新しい"));
            dialog.confirmationBox()->setText(QStringLiteral("新しい"));
            dialog.okButton()->click();
        });
        change.Run();
        QVERIFY(during.paints > 0);
        QCOMPARE(during.status, QStringLiteral("パスワード変更処理中"));
        QCOMPARE(x.main().statusPanel(PasswordChange::kStatusPanel)->text(),
                 QStringLiteral("パスワード変更処理完了"));
        QVERIFY(x.f.vault.session->vault.IsKeyOf("新しい"));
        QVERIFY(!x.bar->isVisible());
        QApplication::processEvents();
        QCOMPARE(x.f.itemDialogs, 0);
        QVERIFY(x.f.ui.messages.isEmpty());
    }

    void importIntoTheShownGroupDropsInputAndListsTheRowsOnTop() {
        Fixture x;
        x.f.Show(QStringLiteral("Big"));
        const auto owned = MainDialogs::Import(x.main());
        frmImport& dialog = *owned;
        dialog.show();
        DuringPaint during(x.main());
        dialog.progressBar()->installEventFilter(&during);
        std::ofstream(x.f.vault.folder() / "more.csv", std::ios::binary)
            << "new1,a,b\r\nnew2,c,d\r\n";
        dialog.fileBox()->setText(
            QString::fromStdString(PathToUtf8(x.f.vault.folder() / "more.csv")));
        dialog.importButton()->click();
        QVERIFY(during.paints > 0);
        QCOMPARE(x.main().itemModel()->rowCount(), kBigItems + 2);
        QCOMPARE(x.f.Names().mid(0, 3), (QStringList{QStringLiteral("new2"), QStringLiteral("new1"),
                                                     QStringLiteral("item299")}));
        QCOMPARE(x.f.Line("Big")[1], std::to_string(x.main().itemModel()->row(0).block));
        QCOMPARE(x.main().state().intEditIndex, 1);
        QCOMPARE(dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
        QApplication::processEvents();
        QCOMPARE(x.f.itemDialogs, 0);
    }

    void backupAndRestoreShowTheirProgressInADialogAfterTheQuestionAndPassword() {
        Fixture x;
        int passwordDialogs = 0;
        ShownProgress shown(x.f.ui.messages, &passwordDialogs);
        frmBackUp dialog(*x.f.vault.session, x.f.ui, false, &x.main());
        dialog.button(frmBackUp::kBackUp)->click();
        QVERIFY(x.f.ui.messages.isEmpty());
        dialog.list()->topLevelItem(0)->setSelected(true);
        dialog.SetPasswordDialogRunner([&](frmPass& pass) {
            ++passwordDialogs;
            pass.passwordBox()->setText(QStringLiteral("zorvan"));
            pass.okButton()->click();
        });
        dialog.button(frmBackUp::kRestore)->click();
        qApp->removeEventFilter(&shown);
        QCOMPARE(shown.labels,
                 (QStringList{QStringLiteral("バックアップ処理中"), QStringLiteral("復旧処理中")}));
        QCOMPARE(shown.messagesBefore, 1);  // the question came first
        QCOMPARE(shown.passwordDialogsBefore, 1);
        QVERIFY(dialog.blnRestored);
        QCOMPARE(x.f.ui.messages.size(), 1);
        QVERIFY(dialog.findChildren<QProgressDialog*>().isEmpty());
    }

    void laterWaitsForTheOutermostOperation() {
        QWidget owner;
        QStringList order;
        {
            LongOperation outer(&owner, nullptr, QStringLiteral("外"));
            {
                LongOperation inner(&owner, nullptr, QStringLiteral("内"));
                LongOperation::Later([&] { order << QStringLiteral("later"); });
            }
            QApplication::processEvents();
            order << QStringLiteral("outer still running");
        }
        QApplication::processEvents();
        QCOMPARE(order,
                 (QStringList{QStringLiteral("outer still running"), QStringLiteral("later")}));
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::LongOperationTest)
#include "LongOperationTest.moc"
