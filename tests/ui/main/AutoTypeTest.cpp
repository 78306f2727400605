#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>
#include <utility>

#include "support/FakeKeyInjector.h"
#include "support/MainFixture.h"
#include "ui/main/AutoType.h"
#include "ui/main/ItemList.h"
#include "ui/main/frmTooltip.h"
#include "vault/Settings.h"

namespace zorvan {

// Auto-type through the main window with a recording injector: when the text is
// typed and where, the countdown, and what the user is told when typing is
// impossible. Each entry's text, and how texts are quoted and parsed, is
// KeystrokeTextTest's; that the window quotes what it sends, MainMenusTest's (a
// password with braces); the real timer running out is AutoTypeX11Test's.
class AutoTypeTest : public QObject {
    Q_OBJECT

private:
    // A main window showing group "G" (A to E, each with user ID "id-X" and
    // password "pw-X") and an auto-type over the recording injector.
    struct Fixture {
        explicit Fixture(const std::string& wait, const std::string& groupHead = "G#0") {
            f.FiveItems(groupHead);
            if (!wait.empty()) {
                SetWait(wait);
            }
        }

        frmMain& Open() {
            frmMain& main = f.Open();
            autoType = std::make_unique<AutoType>(main, keys);
            return main;
        }

        void SetWait(const std::string& text) const { f.Set("wait", text); }

        // Selects the row and chooses the menu entry.
        void Send(int row, int entry) {
            f.SelectRows({row});
            autoType->mnuSendkeysItem_Click(entry);
        }

        std::vector<std::string> LineOfG() const { return f.Line("G"); }

        test::MainFixture f{false};
        test::FakeKeyInjector keys;
        std::unique_ptr<AutoType> autoType;
    };

    static QString Tip(frmMain& main) {
        return main.tooltip()->isVisible() ? main.tooltip()->shownText() : QString();
    }

private slots:
    // The item as stored is typed: the list may show its password masked.
    void idTabPassIsTypedAtOnceAfterAltTabWhenWaitIsZero() {
        Fixture t("0");
        auto& main = t.Open();
        main.SetPassView(false, false);
        QCOMPARE(main.itemModel()->row(1).password, ItemList::Mask(QStringLiteral("pw-B")));
        bool messagesRan = false;
        bool ranBeforeTyping = false;
        // The system moves the focus once window messages have run.
        t.keys.onAltTab = [&] {
            QTimer::singleShot(0, [&] {
                messagesRan = true;
                std::swap(t.keys.focus, t.keys.other);
            });
        };
        t.keys.onType = [&] { ranBeforeTyping = messagesRan; };
        t.Send(1, 0);
        QCOMPARE(t.keys.log, (QStringList{"AltTab", "Type:id-B\tpw-B"}));
        QVERIFY(ranBeforeTyping);
        // Typed into the window reached by Alt+Tab, which the popup names.
        QCOMPARE(t.keys.targets, QList<std::uint64_t>{2});
        QCOMPARE(Tip(main), QStringLiteral(" 入力先：メモ帳 "));
        QCOMPARE(main.secondsLeft(), 0);
        QVERIFY(main.menus().ToolButton(14)->isEnabled());
        QVERIFY(t.f.ui.messages.isEmpty());
    }

    void nothingHappensWithoutASelectedRowOrForAnEntryOutsideTheMenu() {
        Fixture t("0");
        auto& main = t.Open();
        const auto before = t.LineOfG();
        main.itemList()->clearSelection();
        t.autoType->mnuSendkeysItem_Click(0);
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(5);
        t.autoType->mnuSendkeysItem_Click(-1);
        QVERIFY(t.keys.log.isEmpty());
        QVERIFY(t.f.ui.messages.isEmpty());
        QCOMPARE(t.LineOfG(), before);
        QCOMPARE(main.secondsLeft(), 0);
    }

    void theItemMovesToTheFrontAtOnceAlsoInAWriteProtectedGroup_data() {
        QTest::addColumn<QString>("head");
        QTest::newRow("writable") << "G#0";
        QTest::newRow("write-protected") << "G#1";
    }

    void theItemMovesToTheFrontAtOnceAlsoInAWriteProtectedGroup() {
        QFETCH(QString, head);
        Fixture t("4", head.toStdString());
        auto& main = t.Open();
        const auto before = t.LineOfG();
        t.Send(2, 2);
        // Moved before anything is typed; the list keeps its order until reloaded.
        QVERIFY(t.keys.typed.isEmpty());
        QCOMPARE(t.LineOfG(), (std::vector<std::string>{head.toStdString(), before[3], before[1],
                                                        before[2], before[4], before[5]}));
        QCOMPARE(t.f.Names(), (QStringList{"A", "B", "C", "D", "E"}));
        main.Form_Load();
        QCOMPARE(t.f.Names(), (QStringList{"C", "A", "B", "D", "E"}));
    }

    // How a stored number is read is SettingsTest's.
    void waitThatIsNegativeOrNotANumberCountsAsFour_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("seconds");
        QTest::newRow("absent") << QString() << 4;
        QTest::newRow("negative") << "-1" << 4;
        QTest::newRow("over thirty") << "31" << 31;
        QTest::newRow("not a number") << "abc" << 4;
        QTest::newRow("seven") << "7" << 7;
    }

    void waitThatIsNegativeOrNotANumberCountsAsFour() {
        QFETCH(QString, stored);
        QFETCH(int, seconds);
        Fixture t(stored.toStdString());
        auto& main = t.Open();
        QCOMPARE(t.autoType->ReadWait(), seconds);
        t.Send(0, 1);
        QCOMPARE(main.secondsLeft(), seconds);
        QVERIFY(!main.menus().ToolButton(14)->isEnabled());
        QVERIFY(t.keys.log.isEmpty());
        // Read anew at each use: typed at once, and the countdown types its own later.
        t.SetWait("0");
        t.Send(1, 2);
        QCOMPARE(t.keys.typed, QStringList{"pw-B"});
        QCOMPARE(main.secondsLeft(), seconds);
        for (int tick = 0; tick < seconds; ++tick) {
            main.Timer1_Timer();
        }
        QCOMPARE(t.keys.typed, (QStringList{"pw-B", "id-A"}));
    }

    // A new choice restarts the countdown, and the earlier text is never typed.
    void countdownShowsThreeTwoOneThenTypesAndEnablesTheButtonAgain() {
        Fixture t("4");
        auto& main = t.Open();
        QAction* button = main.menus().ToolButton(14);
        t.Send(3, 2);
        main.Timer1_Timer();
        main.Timer1_Timer();
        QCOMPARE(main.secondsLeft(), 2);
        t.Send(0, 0);
        QCOMPARE(main.secondsLeft(), 4);
        QVERIFY(!button->isEnabled());
        // Each tick names the window that has the focus then; the user brings
        // the other one forward after the first.
        QStringList shown;
        for (int tick = 0; tick < 3; ++tick) {
            main.Timer1_Timer();
            shown << Tip(main);
            QVERIFY(t.keys.log.isEmpty());
            t.keys.focus = t.keys.other;
        }
        QCOMPARE(shown, (QStringList{" 3 \r\n  入力先：Zorvan ", " 2 \r\n  入力先：メモ帳 ",
                                     " 1 \r\n  入力先：メモ帳 "}));
        main.Timer1_Timer();
        // The countdown types without switching windows: the user did that.
        QCOMPARE(t.keys.log, QStringList{"Type:id-A\tpw-A"});
        QCOMPARE(t.keys.targets, QList<std::uint64_t>{2});
        QVERIFY(button->isEnabled());
        QCOMPARE(Tip(main), QString());
        QCOMPARE(main.secondsLeft(), 0);
    }

    // The injector in use when the tick comes types, not the one at the choice.
    void waitOfOneTypesOnTheFirstTickWithoutShowingANumber() {
        Fixture t("1");
        auto& main = t.Open();
        t.Send(0, 2);
        QCOMPARE(Tip(main), QString());
        test::FakeKeyInjector other;
        t.autoType->UseInjector(other);
        main.Timer1_Timer();
        QVERIFY(t.keys.typed.isEmpty());
        QCOMPARE(other.typed, QStringList{"pw-A"});
        QCOMPARE(Tip(main), QString());
    }

    // Every way typing fails or is cut short: the user is told once, the countdown
    // ends and the button works again; where nothing could start, the item stays.
    void failuresAreReportedAndLeaveTheCountdownOver_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("wait");
        QTest::addColumn<QString>("message");  // empty: any one message
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("itemStays");
        const auto row = [](const char* name, const char* failure, const char* wait,
                            const QString& message, const QStringList& log, bool itemStays) {
            QTest::newRow(name) << failure << wait << message << log << itemStays;
        };
        const QString unavailable = AutoType::UnavailableMessage();
        const QString failed = AutoType::FailedMessage();
        const QString moved = AutoType::FocusMovedMessage();
        row("no typing at all", "unavailable", "4", unavailable, {}, true);
        row("no typing when the countdown ends", "unavailable later", "1", unavailable, {}, false);
        row("keystrokes refused", "refuse typing", "0", failed, {"AltTab", "Type:pw-A"}, false);
        row("window switch refused", "refuse Alt+Tab", "0", failed, {"AltTab"}, false);
        row("focus moves, at once", "focus moves", "0", moved, {"AltTab", "Type:pw-A"}, false);
        row("focus moves, countdown", "focus moves", "1", moved, {"Type:pw-A"}, false);
        row("unreadable item", "unreadable", "0", QString(), {}, true);
    }

    void failuresAreReportedAndLeaveTheCountdownOver() {
        QFETCH(QString, failure);
        QFETCH(QString, wait);
        QFETCH(QString, message);
        QFETCH(QStringList, log);
        QFETCH(bool, itemStays);
        Fixture t(wait.toStdString());
        auto& main = t.Open();
        const auto before = t.LineOfG();
        t.keys.available = failure != QStringLiteral("unavailable");
        t.keys.acceptTyping = failure != QStringLiteral("refuse typing");
        t.keys.acceptAltTab = failure != QStringLiteral("refuse Alt+Tab");
        if (failure == QStringLiteral("focus moves")) {
            t.keys.onType = [&] { t.keys.focus = {3, "新しいウィンドウ"}; };
        }
        if (failure == QStringLiteral("unreadable")) {
            // Far beyond the item file.
            main.itemModel()->FindTag(main.itemModel()->row(0).tag)->block = 99999;
        }
        t.Send(0, 2);
        if (failure == QStringLiteral("unavailable later")) {
            t.keys.available = false;
        }
        if (main.secondsLeft() > 0) {
            main.Timer1_Timer();
        }
        QCOMPARE(t.keys.log, log);
        QCOMPARE(t.f.ui.messages.size(), 1);
        if (!message.isEmpty()) {
            QCOMPARE(t.f.ui.messages.front(), message);
        }
        QCOMPARE(main.secondsLeft(), 0);
        QVERIFY(main.menus().ToolButton(14)->isEnabled());
        if (itemStays) {
            QCOMPARE(t.LineOfG(), before);
        }
    }

    void thePopupNamesEveryKindOfTarget_data() {
        QTest::addColumn<quint64>("id");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("line");
        QTest::newRow("titled") << quint64{7} << "ログイン - ブラウザ"
                                << "入力先：ログイン - ブラウザ";
        QTest::newRow("untitled") << quint64{7} << " "
                                  << "入力先：（タイトルなし）";
        QTest::newRow("no focus") << quint64{0} << "x"
                                  << "入力先：（不明）";
        QTest::newRow("long title") << quint64{7} << QString(70, QLatin1Char('a'))
                                    << "入力先：" + QString(59, QLatin1Char('a')) + QChar(0x2026);
        QTest::newRow("line breaks") << quint64{7} << "a\nb"
                                     << "入力先：a b";
    }

    void thePopupNamesEveryKindOfTarget() {
        QFETCH(quint64, id);
        QFETCH(QString, title);
        QFETCH(QString, line);
        QCOMPARE(AutoType::TargetLine({id, title.toStdString()}), line);
    }

    void withoutAnotherWindowTypingAtOnceGoesWhereTheFocusStays() {
        Fixture t("0");
        t.Open();
        t.keys.onAltTab = [] {};  // nothing to switch to
        QElapsedTimer clock;
        clock.start();
        t.Send(0, 2);
        QVERIFY(clock.elapsed() >= AutoType::kSwitchWaitMs);
        QCOMPARE(t.keys.typed, QStringList{"pw-A"});
        QCOMPARE(t.keys.targets, QList<std::uint64_t>{1});
        QVERIFY(t.f.ui.messages.isEmpty());
    }

    void wipeEmptiesTheTextAndLeavesSharedCopiesIntact() {
        QString held = QString::fromUtf8("secret");
        QString copy = held;
        AutoType::Wipe(copy);
        QVERIFY(copy.isEmpty());
        QCOMPARE(held, QStringLiteral("secret"));
        AutoType::Wipe(held);
        QVERIFY(held.isEmpty());
        QString literal = QStringLiteral("static");
        AutoType::Wipe(literal);  // read-only data: emptied, never written
        QVERIFY(literal.isEmpty());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::AutoTypeTest)
#include "AutoTypeTest.moc"
