#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "support/FakeUi.h"
#include "support/RuntimeFolder.h"
#include "support/StepInterrupt.h"
#include "ui/LockTriggers.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/Cipher.h"
#include "vault/Vault.h"
#include "vault/VaultJournal.h"

#ifdef ZORVAN_TEST_X11
#include "autotype/XvfbServer.h"
#include "support/X11Windows.h"
#endif

namespace zorvan {

// The program's start: in this process for the dialog's mode, and as real
// processes of the program for what only the whole program shows. The one-copy
// rule itself is SingleInstanceTest's.
class StartupTest : public QObject {
    Q_OBJECT

private:
    static QString Read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

    static void CopySample(const QString& to) {
        for (const char* name : {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"}) {
            QFile::copy(QStringLiteral(ZORVAN_TEST_DATA "/vault-sample/") + name, to + "/" + name);
            QFile(to + "/" + name).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        // Without its version line, so that a start can be seen writing it.
        QFile ini(to + "/Zorvan.ini");
        const QByteArray content = Read(ini.fileName()).toLatin1().replace("version=5\r\n", "");
        ini.open(QIODevice::WriteOnly | QIODevice::Truncate);
        ini.write(content);
    }

    // Starts the program for a data folder, offscreen or on the given X display.
    static std::unique_ptr<QProcess> Launch(const QString& folder, const QStringList& args = {},
                                            const QString& display = QString()) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZORVAN_DATA_DIR"), folder);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(ZORVAN_EXE), args);
        return process;
    }

    static bool WaitForVersion(const QString& folder) {
        return QTest::qWaitFor(
            [&] { return Read(folder + "/Zorvan.ini").contains(QStringLiteral("version=5")); },
            20000);
    }

    // Every entry of the folder with its size, time and content.
    static QStringList Snapshot(const QString& folder) {
        QStringList entries;
        for (const QFileInfo& info :
             QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            entries << QStringLiteral("%1 %2 %3 %4")
                           .arg(info.fileName())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch())
                           .arg(Read(info.filePath()));
        }
        return entries;
    }

    static void Stop(QProcess& process) {
        process.kill();
        process.waitForFinished(10000);
    }

    test::RuntimeFolder runtime_;
#ifdef ZORVAN_TEST_X11
    std::unique_ptr<test::XvfbServer> xvfb_;
#endif

private slots:
    void firstStartPreparesTheFolderAndAsksForANewPassword() {
        QTemporaryDir dir;
        test::FakeUi ui;
        Startup startup(dir.path().toStdString(), {}, ui);
        QVERIFY(startup.Start());
        for (const char* name : {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"}) {
            QVERIFY(QFileInfo::exists(dir.path() + "/" + name));
        }
        QVERIFY(QFileInfo(dir.path() + "/backup").isDir());
        QCOMPARE(Read(dir.path() + "/Zorvan.ini"), QStringLiteral("[Zorvan]\r\nversion=5"));
        QVERIFY(startup.passwordDialog()->isVisible());
        QVERIFY(startup.passwordDialog()->confirmationBox()->isEnabled());
        QVERIFY(startup.mainWindow() == nullptr);
    }

    void laterStartsAskToLogInAndSlashPOpensTheMainWindow() {
        QTemporaryDir dir;
        CopySample(dir.path());
        test::FakeUi ui;
        {
            Startup startup(dir.path().toStdString(), {}, ui);
            QVERIFY(startup.Start());
            QVERIFY(!startup.passwordDialog()->confirmationBox()->isEnabled());
        }
        Startup startup(dir.path().toStdString(), SecretText("zorvan"), ui);
        QVERIFY(startup.Start());
        QVERIFY(startup.mainWindow() != nullptr);
        QVERIFY(startup.mainWindow()->isVisible());
        QCOMPARE(startup.mainWindow()->windowTitle(), QStringLiteral("Zorvan 0.0.5"));
        QVERIFY(ui.messages.isEmpty());
    }

    // The lock by every trigger: the command, an idle time, and an open dialog that
    // has to be cancelled first.
    void lockDropsTheKeyAndTheRowsAndTheRightPasswordBringsTheViewBack_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("legacy") << QStringLiteral("zorvan");
        QTest::newRow("protected") << QStringLiteral("保護された保管庫のパスワード");
    }

    void lockDropsTheKeyAndTheRowsAndTheRightPasswordBringsTheViewBack() {
        QFETCH(QString, password);
        QTemporaryDir dir;
        CopySample(dir.path());
        if (password != QStringLiteral("zorvan")) {
            Vault vault(DataPaths::InFolder(dir.path().toStdString()));
            QVERIFY(vault.Open("zorvan"));
            vault.Upgrade(FromQ(password), kKdfFloor);
        }
        test::FakeUi ui;
        Startup startup(dir.path().toStdString(), SecretFromQ(password), ui);
        QVERIFY(startup.Start());
        frmMain* main = startup.mainWindow();
        main->groupSelector()->setCurrentText(QStringLiteral("Web"));
        main->itemList()->selectRow(1);
        const auto rows = main->itemModel()->rowCount();
        const auto locked = [&] { return !main->isVisible() && !main->session().vault.IsOpen(); };
        for (const auto& lock : std::vector<std::function<void()>>{
                 [&] { startup.Lock(); }, [&] { startup.lockTriggers()->SetIdleTime(30); },
                 [&] {
                     QDialog dialog(main);
                     QTimer::singleShot(0, &startup, &Startup::Lock);
                     QCOMPARE(dialog.exec(), int(QDialog::Rejected));
                 }}) {
            lock();
            QTRY_VERIFY(locked());
            QCOMPARE(main->itemModel()->rowCount(), 0);
            frmPass* pass = startup.passwordDialog();
            QVERIFY(pass != nullptr && pass->isVisible());
            pass->passwordBox()->setText(QStringLiteral("違う"));
            pass->okButton()->click();
            QVERIFY(locked());
            pass->passwordBox()->setText(password);
            pass->okButton()->click();
            QVERIFY(main->isVisible());
            QCOMPARE(main->groupSelector()->currentText(), QStringLiteral("Web"));
            QCOMPARE(main->itemModel()->rowCount(), rows);
            QCOMPARE(main->itemList()->selectionModel()->selectedRows().size(), 1);
            QCOMPARE(main->itemList()->selectionModel()->selectedRows().front().row(), 1);
            startup.lockTriggers()->SetIdleTime(0);
        }
    }

    void aChangeCutShortAfterItsCommitIsFinishedBeforeTheLogin() {
        QTemporaryDir dir;
        CopySample(dir.path());
        {
            // Cut at each rename in turn until the change is committed but not
            // installed; the cuts before that leave the old vault.
            Vault vault(DataPaths::InFolder(dir.path().toStdString()));
            QVERIFY(vault.Open("zorvan"));
            for (int rename = 1; !VaultJournal(vault.paths()).Pending(); ++rename) {
                QVERIFY(rename < 100);
                test::InterruptAt("rename", rename);
                QVERIFY_THROWS_EXCEPTION(test::Interrupted, vault.ChangePassword("新しい"));
                durable::SetStepHook(nullptr);
            }
        }
        test::FakeUi ui;
        Startup startup(dir.path().toStdString(), SecretText("新しい"), ui);
        QVERIFY(startup.Start());
        QVERIFY(startup.mainWindow() != nullptr);
        QVERIFY(ui.messages.isEmpty());
    }

    // What stops a start is told once, and the vault is left as it is.
    void whatStopsAStartIsReportedAndTouchesNothing_data() {
        QTest::addColumn<QString>("message");  // a part of it
        QTest::addColumn<bool>("asksForPassword");
        QTest::newRow("damaged vault") << QStringLiteral("グループ「Imported」の 999") << true;
        QTest::newRow("data folder is a file") << QString() << false;
        QTest::newRow("copy that holds the folder but never answers")
            << QStringLiteral("応答がありません") << false;
    }
    void whatStopsAStartIsReportedAndTouchesNothing() {
        QFETCH(QString, message);
        QFETCH(bool, asksForPassword);
        const QString row = QString::fromLatin1(QTest::currentDataTag());
        const test::RuntimeFolder runtime;
        QTemporaryDir dir;
        QString folder = dir.path();
        std::unique_ptr<SingleInstance> holder;
        if (row == QStringLiteral("damaged vault")) {
            CopySample(folder);
            QFile index(folder + "/Zorvan.idx");
            index.open(QIODevice::Append);
            index.write("\t999");
        } else if (row == QStringLiteral("data folder is a file")) {
            folder += QStringLiteral("/not-a-folder");
            QFile(folder).open(QIODevice::WriteOnly);
        } else {
            holder = std::make_unique<SingleInstance>(folder.toStdString());
            QCOMPARE(holder->Claim(), SingleInstance::Outcome::kFirst);
            // Its socket goes behind its back: it keeps the folder but cannot be reached.
            QVERIFY(QFile::remove(runtime.Find(QStringLiteral("!.lock"))));
        }
        const QString index = Read(folder + "/Zorvan.idx");
        test::FakeUi ui;
        Startup startup(folder.toStdString(), {}, ui);
        QCOMPARE(startup.Start(), asksForPassword);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages.front().contains(message), qPrintable(ui.messages.front()));
        QCOMPARE(Read(folder + "/Zorvan.idx"), index);
        QCOMPARE(startup.passwordDialog() != nullptr, asksForPassword);
        QVERIFY(!asksForPassword || startup.passwordDialog()->isVisible());
        QVERIFY(!holder || QDir(folder).isEmpty());
    }

    // A second copy ends at once without touching the folder; on Linux, other
    // processes of the user can read neither the password nor a core dump.
    void secondCopyLeavesTheRunningProgramAloneWhichHidesItsPassword() {
        QTemporaryDir dir;
        CopySample(dir.path());
        auto first = Launch(dir.path(), {QStringLiteral("/p"), QStringLiteral("pass-word")});
        QVERIFY(WaitForVersion(dir.path()));
#ifdef Q_OS_LINUX
        const QString proc = QStringLiteral("/proc/%1/").arg(first->processId());
        const QString line = Read(proc + QStringLiteral("cmdline"));
        QVERIFY2(line.contains(QStringLiteral("/p")), qPrintable(line));
        QVERIFY2(!line.contains(QStringLiteral("pass-word")), qPrintable(line));
        const QString limits = Read(proc + QStringLiteral("limits"));
        const QRegularExpression core(QStringLiteral("Max core file size\\s+(\\S+)\\s+(\\S+)"));
        const auto match = core.match(limits);
        QVERIFY2(match.hasMatch(), qPrintable(limits));
        QCOMPARE(match.captured(1), QStringLiteral("0"));
        QCOMPARE(match.captured(2), QStringLiteral("0"));
#endif
        const QStringList before = Snapshot(dir.path());
        auto second = Launch(dir.path(), {QStringLiteral("/p"), QStringLiteral("zorvan")});
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(Snapshot(dir.path()), before);
        QCOMPARE(first->state(), QProcess::Running);
        Stop(*first);
    }

#ifdef ZORVAN_TEST_X11
    void passwordStdinLogsInWithOneLineOfInput_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("window");
        QTest::newRow("right password") << QByteArray("zorvan\n") << QStringLiteral("Zorvan 0.0.5");
        // The message box that refuses it; the main window never opens.
        QTest::newRow("wrong password") << QByteArray("nope\n") << QStringLiteral("Zorvan");
    }
    void passwordStdinLogsInWithOneLineOfInput() {
        QFETCH(QByteArray, input);
        QFETCH(QString, window);
        if (!xvfb_) {
            xvfb_ = std::make_unique<test::XvfbServer>();
            const QString failure = xvfb_->Start(60000);
            if (!failure.isEmpty()) {
                xvfb_.reset();
                QSKIP(qPrintable(failure));
            }
        }
        const QString display = xvfb_->display();
        QTemporaryDir dir;
        CopySample(dir.path());
        auto process = Launch(dir.path(), {QStringLiteral("--password-stdin")}, display);
        process->write(input);
        process->closeWriteChannel();
        QVERIFY2(QTest::qWaitFor([&] { return test::ShownWindowTitles(display).contains(window); },
                                 60000),
                 qPrintable(test::ShownWindowTitles(display).join(QLatin1Char('|'))));
        if (window != QStringLiteral("Zorvan 0.0.5")) {
            QVERIFY(!test::ShownWindowTitles(display).contains(QStringLiteral("Zorvan 0.0.5")));
        }
        Stop(*process);
    }

    void cleanupTestCase() {
        xvfb_.reset();
    }
#endif
};

}  // namespace zorvan

QTEST_MAIN(zorvan::StartupTest)
#include "StartupTest.moc"
