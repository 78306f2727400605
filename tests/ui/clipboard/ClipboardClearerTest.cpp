#include <QElapsedTimer>
#include <QtTest>
#include <memory>

#include "support/FakeUi.h"
#include "ui/ClipboardClearer.h"

namespace zorvan {

// When a copy leaves the clipboard again: after its seconds or at exit, and only
// while the clipboard still holds it.
class ClipboardClearerTest : public QObject {
    Q_OBJECT

private slots:
    void aCopyIsClearedOnlyWhileTheClipboardStillHoldsIt_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("userCopies");
        QTest::addColumn<bool>("atExit");
        QTest::addColumn<QString>("left");
        QTest::newRow("seconds run out") << 5 << false << false << "";
        QTest::newRow("program ends") << 5 << false << true << "";
        QTest::newRow("user copied since, seconds run out") << 5 << true << false << "mine";
        QTest::newRow("user copied since, program ends") << 5 << true << true << "mine";
        QTest::newRow("clearing off") << 0 << false << true << "pw";
    }

    void aCopyIsClearedOnlyWhileTheClipboardStillHoldsIt() {
        QFETCH(int, seconds);
        QFETCH(bool, userCopies);
        QFETCH(bool, atExit);
        QFETCH(QString, left);
        test::FakeUi ui;
        auto clearer = std::make_unique<ClipboardClearer>(ui);
        clearer->Copy(QStringLiteral("pw"), UiServices::Clip::kSecret, seconds);
        QCOMPARE(ui.clipboard, QStringLiteral("pw"));
        QVERIFY(ui.clipboardSecret);
        QCOMPARE(clearer->timer().isActive(), seconds > 0);
        QVERIFY(clearer->timer().remainingTime() > (seconds - 1) * 1000);
        if (userCopies) {
            ui.UserCopies(QStringLiteral("mine"));
        }
        if (atExit) {
            clearer.reset();
        } else {
            clearer->ClearNow();  // what the timer does when it runs out
        }
        QCOMPARE(ui.clipboard, left);
        QCOMPARE(ui.clipboardClears, left.isEmpty() ? 1 : 0);
    }

    void theTimerClearsWhenItsSecondsRunOut() {
        test::FakeUi ui;
        ClipboardClearer clearer(ui);
        QElapsedTimer clock;
        clock.start();
        clearer.Copy(QStringLiteral("pw"), UiServices::Clip::kSecret, 1);
        QTRY_COMPARE_WITH_TIMEOUT(ui.clipboardClears, 1, 20000);
        // One second, less what a coarse timer may come early.
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ui.clipboard, QString());
    }

    void aLaterCopyRestartsOrCallsOffTheClearing() {
        test::FakeUi ui;
        auto clearer = std::make_unique<ClipboardClearer>(ui);
        clearer->Copy(QStringLiteral("id"), UiServices::Clip::kSecret, 5);
        clearer->Copy(QStringLiteral("pw"), UiServices::Clip::kSecret, 20);
        QVERIFY(clearer->timer().remainingTime() > 19000);
        clearer->Copy(QStringLiteral("https://example.jp/"), UiServices::Clip::kPlain, 0);
        QVERIFY(!clearer->timer().isActive());
        QVERIFY(!ui.clipboardSecret);
        clearer.reset();
        QCOMPARE(ui.clipboard, QStringLiteral("https://example.jp/"));
        QCOMPARE(ui.clipboardClears, 0);
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::ClipboardClearerTest)
#include "ClipboardClearerTest.moc"
