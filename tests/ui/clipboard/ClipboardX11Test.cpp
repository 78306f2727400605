#include <sys/prctl.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <memory>

#include "autotype/XvfbServer.h"
#include "clipboard/ClipboardProbe.h"

namespace zorvan {

namespace {
constexpr int kStartMs = 60000;  // a loaded machine may take long to start a program
}  // namespace

// The program's clipboard copies as other programs on a real X server see them:
// a small program copies through the program's own services, and the test asks
// for the clipboard from a connection of its own.
class ClipboardX11Test : public QObject {
    Q_OBJECT

private:
    // One command to the copying program; its answer.
    QByteArray Ask(const QByteArray& command) {
        owner_.write(command + '\n');
        return Answer();
    }

    QByteArray Answer() {
        while (!owner_.canReadLine() && owner_.waitForReadyRead(kStartMs)) {
        }
        return owner_.readLine().trimmed();
    }

    QByteArray Copy(const char* kind, const QString& text) {
        return Ask(QByteArray(kind) + ' ' + text.toUtf8().toHex());
    }

    static bool Offers(const std::vector<std::string>& targets, const char* name) {
        return std::find(targets.begin(), targets.end(), name) != targets.end();
    }

private slots:
    void initTestCase() {
        const QString failure = xvfb_.Start(kStartMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        qputenv("DISPLAY", xvfb_.display().toUtf8());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        owner_.setProcessEnvironment(environment);
        owner_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        owner_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        owner_.start(QStringLiteral(ZORVAN_CLIPBOARD_OWNER), QStringList{});
        QCOMPARE(Answer(), QByteArray("ready"));
        probe_ = std::make_unique<test::ClipboardProbe>();
        QVERIFY(probe_->connected());
    }

    void cleanupTestCase() {
        owner_.closeWriteChannel();
        if (!owner_.waitForFinished(10000)) {
            owner_.kill();
        }
    }

    void secretsCarryThePasswordManagerHintAndUrlsDoNot_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hinted");
        QTest::newRow("password") << QByteArray("secret") << "p@ss wörd{1}" << true;
        QTest::newRow("URL") << QByteArray("plain") << "https://example.jp/ログイン" << false;
    }

    void secretsCarryThePasswordManagerHintAndUrlsDoNot() {
        QFETCH(QByteArray, kind);
        QFETCH(QString, text);
        QFETCH(bool, hinted);
        QCOMPARE(Copy(kind.constData(), text), QByteArray("ok"));
        const auto targets = probe_->Targets();
        QVERIFY(Offers(targets, "UTF8_STRING"));
        QCOMPARE(Offers(targets, "x-kde-passwordManagerHint"), hinted);
        if (hinted) {
            QCOMPARE(probe_->Content("x-kde-passwordManagerHint"),
                     std::optional<std::string>("secret"));
        }
        // What a paste gives is the text alone.
        QCOMPARE(QString::fromStdString(probe_->Content("UTF8_STRING").value_or("<none>")), text);
        QCOMPARE(Ask("ours"), QByteArray("yes"));
    }

    void anotherProgramsCopyIsNotOursAndClearingEmptiesTheClipboard() {
        QCOMPARE(Copy("secret", QStringLiteral("pw")), QByteArray("ok"));
        // Qt takes a copy in the same millisecond of server time as its own for
        // an old notice and keeps the clipboard; a person is never that quick.
        QTest::qWait(50);
        probe_->Copy();
        QTRY_COMPARE_WITH_TIMEOUT(Ask("ours"), QByteArray("no"), kStartMs);
        QCOMPARE(Copy("secret", QStringLiteral("pw")), QByteArray("ok"));
        QCOMPARE(Ask("clear"), QByteArray("ok"));
        QVERIFY(probe_->Targets().empty());
        QCOMPARE(Ask("ours"), QByteArray("no"));
    }

private:
    test::XvfbServer xvfb_;
    QProcess owner_;
    std::unique_ptr<test::ClipboardProbe> probe_;
};

}  // namespace zorvan

QTEST_MAIN(zorvan::ClipboardX11Test)
#include "ClipboardX11Test.moc"
