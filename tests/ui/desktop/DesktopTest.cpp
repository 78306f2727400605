#include <QProcess>
#include <QtTest>

#include "desktop/Desktop.h"
#include "support/MainFixture.h"

// Xlib last: its macros clash with Qt's names.
#include <X11/keysym.h>

namespace zorvan {

namespace {
constexpr int kStartMs = 60000;  // a loaded machine may take long to start a program
constexpr int kWindowMs = 20000;
// A command that runs twice opens its second window as soon as the window manager
// has given the activation back; this is far longer than that takes.
constexpr int kQuietMs = 1500;
const QString kMessageTitle = QStringLiteral("Zorvan");
const QString kPasswordTitle = QStringLiteral("パスワードの入力");
}  // namespace

// The real program on a real desktop (a private X server with openbox): keys and
// clicks arrive as X events, results are read from the windows and the vault files.
class DesktopTest : public QObject {
    Q_OBJECT

private:
    // The program over a vault whose shown group "Web" holds five items, logged in
    // through its password dialog.
    void StartAndLogIn() {
        vault_ = std::make_unique<test::MainFixture>();
        for (const char* name : {"alpha", "bravo", "charlie"}) {
            vault_->AddItem("Web", name);
        }
        items_ = Items("Web");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), desktop_.display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("ZORVAN_DATA_DIR"),
                           QString::fromStdString(vault_->vault.folder().string()));
        program_ = std::make_unique<QProcess>();
        program_->setProcessEnvironment(environment);
        program_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program_->start(QStringLiteral(ZORVAN_EXE), {});
        QVERIFY(program_->waitForStarted(kStartMs));
        QVERIFY2(desktop_.WaitForActive(kPasswordTitle, kStartMs), Shown());
        desktop_.Type(QStringLiteral("zorvan"));
        desktop_.Key(XK_Return);
        QVERIFY2(desktop_.WaitForGone(kPasswordTitle, kWindowMs), Shown());
        QVERIFY2(QTest::qWaitFor([&] { return !MainTitle().isEmpty(); }, kWindowMs), Shown());
        QVERIFY2(desktop_.WaitForActive(MainTitle(), kWindowMs), Shown());
    }

    QString MainTitle() const {
        for (const QString& title : desktop_.Titles()) {
            if (title.startsWith(kMessageTitle + QLatin1Char(' '))) {
                return title;
            }
        }
        return QString();
    }

    // What the desktop shows, for failure messages.
    const char* Shown() {
        shown_ = QStringLiteral("windows: [%1], active: %2")
                     .arg(desktop_.Titles().join(QStringLiteral(", ")), desktop_.ActiveTitle())
                     .toUtf8();
        return shown_.constData();
    }

    // True when, for a while, nothing but the main window is shown.
    bool StaysQuiet() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kQuietMs) {
            if (desktop_.Titles() != QStringList{MainTitle()}) {
                return false;
            }
            QTest::qWait(20);
        }
        return true;
    }

    // Moves the keyboard focus to the list and selects its first row ("charlie").
    void SelectFirstRow() {
        desktop_.Key(XK_F6);
        desktop_.Key(XK_Tab);
        desktop_.Key(XK_Down);  // the first move makes a row current and selects it
        desktop_.Key(XK_Up);
    }

    // Answers the window with the title, waits for it to close, and checks that the
    // command does not come back.
    void Answer(const QString& title, unsigned long keysym) {
        QVERIFY2(desktop_.WaitForActive(title, kWindowMs), Shown());
        if (keysym == 0) {  // the right-most button, with the mouse
            const QRect box = desktop_.Geometry(title);
            desktop_.Click(box.bottomRight() - QPoint(40, 20));
        } else {
            desktop_.Key(keysym);
        }
        QVERIFY2(desktop_.WaitForGone(title, kWindowMs), Shown());
        QVERIFY2(StaysQuiet(), Shown());
    }

    int Items(const std::string& group) const {
        return static_cast<int>(vault_->Line(group).size());
    }

private slots:
    void initTestCase() {
        const QString failure = desktop_.Start(kStartMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void init() { StartAndLogIn(); }

    void cleanup() {
        program_->terminate();
        if (!program_->waitForFinished(kWindowMs)) {
            program_->kill();
            program_->waitForFinished(kWindowMs);
        }
        vault_.reset();
    }

    void eachKeyOpensItsWindowOnce_data() {
        QTest::addColumn<int>("keysym");
        QTest::addColumn<int>("modifier");
        QTest::addColumn<bool>("row");
        QTest::addColumn<QString>("title");
        const int none = 0;
        QTest::newRow("Insert") << XK_Insert << none << false
                                << QStringLiteral("新規アイテムのプロパティ");
        QTest::newRow("Enter") << XK_Return << none << true
                               << QStringLiteral("charlieのプロパティ");
        QTest::newRow("Delete") << XK_Delete << none << true << kMessageTitle;
        QTest::newRow("Ctrl+Insert")
            << XK_Insert << XK_Control_L << false << QStringLiteral("新規グループのプロパティ");
        QTest::newRow("Ctrl+Delete") << XK_Delete << XK_Control_L << false << kMessageTitle;
        QTest::newRow("Ctrl+Enter")
            << XK_Return << XK_Control_L << false << QStringLiteral("Webのプロパティ");
        QTest::newRow("Alt+Enter")
            << XK_Return << XK_Alt_L << false << QStringLiteral("オプション");
    }
    void eachKeyOpensItsWindowOnce() {
        QFETCH(int, keysym);
        QFETCH(int, modifier);
        QFETCH(bool, row);
        QFETCH(QString, title);
        if (row) {
            SelectFirstRow();
        }
        if (modifier == 0) {
            desktop_.Key(static_cast<unsigned long>(keysym));
        } else {
            desktop_.Key(static_cast<unsigned long>(keysym),
                         {static_cast<unsigned long>(modifier)});
        }
        Answer(title, XK_Escape);
        QCOMPARE(Items("Web"), items_);
    }

    void deletingAnItemAsksOnceAndDeletesOne_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("deleted");
        QTest::newRow("OK") << XK_Return << 1;
        QTest::newRow("Esc") << XK_Escape << 0;
        QTest::newRow("Cancel, clicked") << 0 << 0;
    }
    void deletingAnItemAsksOnceAndDeletesOne() {
        QFETCH(int, answer);
        QFETCH(int, deleted);
        SelectFirstRow();
        desktop_.Key(XK_Delete);
        Answer(kMessageTitle, static_cast<unsigned long>(answer));
        QCOMPARE(Items("Web"), items_ - deleted);
    }

    void deletingAGroupAsksOnceAndRemovesOne_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("Yes") << XK_Return << 3;
        QTest::newRow("Esc") << XK_Escape << 4;
        QTest::newRow("No, clicked") << 0 << 4;
    }
    void deletingAGroupAsksOnceAndRemovesOne() {
        QFETCH(int, answer);
        QFETCH(int, left);
        SelectFirstRow();
        desktop_.Key(XK_Delete, {XK_Control_L});
        Answer(kMessageTitle, static_cast<unsigned long>(answer));
        const auto groups = GroupIndex(vault_->vault.session->paths.strIdxFile).GetGroupNames();
        QCOMPARE(static_cast<int>(groups.size()), left);
    }

    void theItemDialogStoresOnceOnOk() {
        desktop_.Key(XK_Insert);
        QVERIFY2(desktop_.WaitForActive(QStringLiteral("新規アイテムのプロパティ"), kWindowMs),
                 Shown());
        desktop_.Type(QStringLiteral("delta"));
        Answer(desktop_.ActiveTitle(), XK_Return);
        QCOMPARE(Items("Web"), items_ + 1);
    }

    void aMenuCommandChosenByKeyRunsOnce() {
        desktop_.Key(XK_e, {XK_Alt_L});  // the Edit menu; its first entry is highlighted
        for (int i = 0; i < 3; ++i) {
            desktop_.Key(XK_Down);
        }
        desktop_.Key(XK_Return);  // "新規アイテム作成"
        Answer(QStringLiteral("新規アイテムのプロパティ"), XK_Escape);
    }

    void aToolbarClickRunsOnce() {
        // The first button, "アイテムの追加", sits below the menu bar at the left.
        desktop_.Click(desktop_.Geometry(MainTitle()).topLeft() + QPoint(15, 35));
        Answer(QStringLiteral("新規アイテムのプロパティ"), XK_Escape);
    }

private:
    test::Desktop desktop_;
    std::unique_ptr<test::MainFixture> vault_;
    std::unique_ptr<QProcess> program_;
    QByteArray shown_;
    int items_ = 0;
};

}  // namespace zorvan

QTEST_GUILESS_MAIN(zorvan::DesktopTest)
#include "DesktopTest.moc"
