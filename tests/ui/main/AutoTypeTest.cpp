#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>
#include <utility>

#include "support/FakeKeyInjector.h"
#include "support/MainFixture.h"
#include "tools/KeystrokeText.h"
#include "ui/main/AutoType.h"
#include "ui/main/ItemList.h"
#include "ui/main/frmTooltip.h"
#include "vault/Settings.h"

namespace zorvan {

// Auto-type through the main window with a recording injector: which text each
// entry types, when it is typed, the countdown, and what the user is told when
// typing is impossible.
class AutoTypeTest : public QObject {
    Q_OBJECT

private:
    // A main window showing group "G" (A to E, each with user ID "id-X" and
    // password "pw-X") and an auto-type over the recording injector.
    struct Fixture {
        explicit Fixture(const std::string& groupHead = "G#0") {
            f.AddGroup(groupHead);
            f.AddGroup("H#0");
            f.AddItem("H", "h1", "h-id", "h-pw");
            for (const char* name : {"E", "D", "C", "B", "A"}) {
                blocks.insert(blocks.begin(), f.AddItem("G", name, std::string("id-") + name,
                                                        std::string("pw-") + name));
            }
            WriteSetting(f.vault.session->paths.strIniFile, "Zorvan", "lastgroup", "G");
        }

        frmMain& Open() {
            frmMain& main = f.Open();
            autoType = std::make_unique<AutoType>(main, keys);
            return main;
        }

        void SetWait(const std::string& text) const {
            WriteSetting(f.vault.session->paths.strIniFile, "Zorvan", "wait", text);
        }

        // Replaces the countdown's sender, to see the keystroke text itself.
        QStringList& CaptureSentText() {
            f.main->SetKeystrokeSender([this](const QString& text) { sent << text; });
            return sent;
        }

        std::vector<std::string> LineOfG() const { return f.Line("G"); }

        test::MainFixture f{false};
        test::FakeKeyInjector keys;
        std::unique_ptr<AutoType> autoType;
        std::vector<BlockNumber> blocks;  // A to E
        QStringList sent;
    };

    static QString Tip(frmMain& main) {
        return main.tooltip()->isVisible() ? main.tooltip()->shownText() : QString();
    }

private slots:
    void idTabPassIsTypedAtOnceAfterAltTabWhenWaitIsZero() {
        Fixture t;
        t.SetWait("0");
        auto& main = t.Open();
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
        t.f.SelectRows({1});
        t.autoType->mnuSendkeysItem_Click(0);
        QCOMPARE(t.keys.log, (QStringList{"AltTab", "Type:id-B\tpw-B"}));
        QVERIFY(ranBeforeTyping);
        // Typed into the window reached by Alt+Tab, which the popup names.
        QCOMPARE(t.keys.targets, QList<std::uint64_t>{2});
        QCOMPARE(Tip(main), QStringLiteral(" 入力先：メモ帳 "));
        QCOMPARE(main.secondsLeft(), 0);
        QVERIFY(main.menus().ToolButton(14)->isEnabled());
        QVERIFY(t.f.ui.messages.isEmpty());
    }

    void eachEntrySendsItsTextQuoted_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("keystrokes");
        QTest::newRow("ID TAB PASS") << 0 << "a+b"
                                     << "(x)"
                                     << "a{+}b{TAB}{(}x{)}";
        QTest::newRow("empty ID") << 0 << ""
                                  << "pw"
                                  << "{TAB}pw";
        QTest::newRow("ID") << 1 << "ユーザー%"
                            << "pw"
                            << "ユーザー{%}";
        QTest::newRow("PASS") << 2 << "id"
                              << "[^~]"
                              << "{[}{^}{~}{]}";
        QTest::newRow("closing then opening brace") << 2 << "id"
                                                    << "}{"
                                                    << "{}}{{}";
        QTest::newRow("two opening braces") << 2 << "id"
                                            << "{{"
                                            << "{{}{{}";
        QTest::newRow("opening then closing brace") << 2 << "id"
                                                    << "{}"
                                                    << "{{}{}}";
        QTest::newRow("PASS without dashes") << 3 << "id"
                                             << "a-b-c"
                                             << "abc";
        QTest::newRow("only dashes, ignored") << 3 << "id"
                                              << "---"
                                              << "";
        QTest::newRow("dashes as tabs") << 4 << "id"
                                        << "a-{b"
                                        << "a{TAB}{{}b";
        QTest::newRow("only dashes, as tabs") << 4 << "id"
                                              << "---"
                                              << "{TAB}{TAB}{TAB}";
    }

    void eachEntrySendsItsTextQuoted() {
        QFETCH(int, entry);
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(QString, keystrokes);
        test::MainFixture f(false);
        f.AddGroup("G#0");
        f.AddItem("G", "item", id.toStdString(), password.toStdString());
        WriteSetting(f.vault.session->paths.strIniFile, "Zorvan", "wait", "1");
        auto& main = f.Open();
        test::FakeKeyInjector keys;
        AutoType autoType(main, keys);
        QStringList sent;
        main.SetKeystrokeSender([&](const QString& text) { sent << text; });
        f.SelectRows({0});
        autoType.mnuSendkeysItem_Click(entry);
        main.Timer1_Timer();
        QCOMPARE(sent, QStringList{keystrokes});
        // And typed, the keystrokes are the entry's raw characters.
        autoType.SendKeys(keystrokes);
        const QString raw = QString::fromStdString(
            KeystrokeText::RawText(entry, id.toStdString(), password.toStdString()));
        QCOMPARE(keys.typed, raw.isEmpty() ? QStringList{} : QStringList{raw});
    }

    void nothingHappensWithoutASelectedRow() {
        Fixture t;
        t.SetWait("0");
        auto& main = t.Open();
        const auto before = t.LineOfG();
        main.itemList()->clearSelection();
        t.autoType->mnuSendkeysItem_Click(0);
        QVERIFY(t.keys.log.isEmpty());
        QVERIFY(t.f.ui.messages.isEmpty());
        QCOMPARE(t.LineOfG(), before);
        QCOMPARE(main.secondsLeft(), 0);
    }

    void anEntryOutsideTheMenuDoesNothing() {
        Fixture t;
        t.SetWait("0");
        t.Open();
        const auto before = t.LineOfG();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(5);
        t.autoType->mnuSendkeysItem_Click(-1);
        QVERIFY(t.keys.log.isEmpty());
        QCOMPARE(t.LineOfG(), before);
    }

    void theItemMovesToTheFrontAtOnceAlsoInAWriteProtectedGroup_data() {
        QTest::addColumn<QString>("head");
        QTest::newRow("writable") << "G#0";
        QTest::newRow("write-protected") << "G#1";
    }

    void theItemMovesToTheFrontAtOnceAlsoInAWriteProtectedGroup() {
        QFETCH(QString, head);
        Fixture t(head.toStdString());
        t.SetWait("4");
        auto& main = t.Open();
        t.f.SelectRows({2});
        t.autoType->mnuSendkeysItem_Click(2);
        // Moved before anything is typed; the list keeps its order until reloaded.
        QVERIFY(t.keys.typed.isEmpty());
        const auto line = t.LineOfG();
        QCOMPARE(line[0], head.toStdString());
        QCOMPARE(line[1], std::to_string(t.blocks[2]));
        QCOMPARE(line.size(), std::size_t{6});
        QCOMPARE(t.f.Names(), (QStringList{"A", "B", "C", "D", "E"}));
        main.Form_Load();
        QCOMPARE(t.f.Names(), (QStringList{"C", "A", "B", "D", "E"}));
    }

    void waitThatIsNegativeOrNotANumberCountsAsFour_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("seconds");
        QTest::newRow("absent") << QString() << 4;
        QTest::newRow("negative") << "-1" << 4;
        QTest::newRow("over thirty") << "31" << 31;
        QTest::newRow("beyond 16 bits") << "99999" << 4;
        QTest::newRow("not a number") << "abc" << 4;
        QTest::newRow("fraction") << "2.5" << 4;
        QTest::newRow("thirty") << "30" << 30;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("seven") << "7" << 7;
    }

    void waitThatIsNegativeOrNotANumberCountsAsFour() {
        QFETCH(QString, stored);
        QFETCH(int, seconds);
        Fixture t;
        if (!stored.isNull()) {
            t.SetWait(stored.toStdString());
        }
        auto& main = t.Open();
        QCOMPARE(t.autoType->ReadWait(), seconds);
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(1);
        QCOMPARE(main.secondsLeft(), seconds);
        QVERIFY(!main.menus().ToolButton(14)->isEnabled());
        QVERIFY(t.keys.log.isEmpty());
    }

    void waitIsReadAnewAtEachUse() {
        Fixture t;
        t.SetWait("5");
        auto& main = t.Open();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(1);
        QCOMPARE(main.secondsLeft(), 5);
        t.SetWait("0");
        t.f.SelectRows({1});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(t.keys.typed, QStringList{"pw-B"});
    }

    void countdownShowsThreeTwoOneThenTypesAndEnablesTheButtonAgain() {
        Fixture t;
        t.SetWait("4");
        auto& main = t.Open();
        QAction* button = main.menus().ToolButton(14);
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(0);
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

    void waitOfOneTypesOnTheFirstTickWithoutShowingANumber() {
        Fixture t;
        t.SetWait("1");
        auto& main = t.Open();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(Tip(main), QString());
        QVERIFY(t.keys.typed.isEmpty());
        main.Timer1_Timer();
        QCOMPARE(t.keys.typed, QStringList{"pw-A"});
        QCOMPARE(Tip(main), QString());
    }

    void aNewChoiceRestartsTheCountdownAndTheEarlierTextIsNeverTyped() {
        Fixture t;
        t.SetWait("4");
        auto& main = t.Open();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(1);
        main.Timer1_Timer();
        main.Timer1_Timer();
        QCOMPARE(main.secondsLeft(), 2);
        t.f.SelectRows({3});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(main.secondsLeft(), 4);
        QVERIFY(!main.menus().ToolButton(14)->isEnabled());
        for (int tick = 0; tick < 3; ++tick) {
            main.Timer1_Timer();
        }
        QVERIFY(t.keys.typed.isEmpty());
        main.Timer1_Timer();
        QCOMPARE(t.keys.typed, QStringList{"pw-D"});
        QVERIFY(main.menus().ToolButton(14)->isEnabled());
    }

    void waitZeroDuringACountdownTypesAtOnceAndTheCountdownSendsItsOwnLater() {
        Fixture t;
        t.SetWait("2");
        auto& main = t.Open();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(1);
        t.SetWait("0");
        t.f.SelectRows({1});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(t.keys.typed, QStringList{"pw-B"});
        QCOMPARE(main.secondsLeft(), 2);
        main.Timer1_Timer();
        main.Timer1_Timer();
        QCOMPARE(t.keys.typed, (QStringList{"pw-B", "id-A"}));
    }

    void countdownTypesWhenTheRealTimerRunsOut() {
        Fixture t;
        t.SetWait("1");
        t.Open();
        t.f.SelectRows({4});
        QElapsedTimer clock;
        clock.start();
        t.autoType->mnuSendkeysItem_Click(0);
        QVERIFY(t.keys.typed.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(t.keys.typed, QStringList{"id-E\tpw-E"}, 20000);
        // One second, less the coarse timer's five percent.
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    }

    void aMaskedPasswordIsTypedInPlain() {
        Fixture t;
        t.SetWait("0");
        auto& main = t.Open();
        main.SetPassView(false, false);
        QCOMPARE(main.itemModel()->row(0).password, ItemList::Mask(QStringLiteral("pw-A")));
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(t.keys.typed, QStringList{"pw-A"});
    }

    void whereTypingIsImpossibleTheUserIsToldAndNothingChanges() {
        Fixture t;
        t.SetWait("4");
        auto& main = t.Open();
        t.keys.available = false;
        const auto before = t.LineOfG();
        t.f.SelectRows({2});
        t.autoType->mnuSendkeysItem_Click(0);
        QCOMPARE(t.f.ui.messages, QStringList{AutoType::UnavailableMessage()});
        QVERIFY(
            AutoType::UnavailableMessage().contains(QStringLiteral("定型貼付を使用できません")));
        QVERIFY(t.keys.log.isEmpty());
        QCOMPARE(main.secondsLeft(), 0);
        QVERIFY(main.menus().ToolButton(14)->isEnabled());
        QCOMPARE(t.LineOfG(), before);
    }

    void typingImpossibleWhenTheCountdownEndsIsReported() {
        Fixture t;
        t.SetWait("1");
        auto& main = t.Open();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(0);
        t.keys.available = false;
        main.Timer1_Timer();
        QVERIFY(t.keys.log.isEmpty());
        QCOMPARE(t.f.ui.messages, QStringList{AutoType::UnavailableMessage()});
        QVERIFY(main.menus().ToolButton(14)->isEnabled());
    }

    void refusedKeystrokesAreReported() {
        Fixture t;
        t.SetWait("0");
        t.Open();
        t.keys.acceptTyping = false;
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(t.keys.typed, QStringList{"pw-A"});
        QCOMPARE(t.f.ui.messages, QStringList{AutoType::FailedMessage()});
    }

    void typingStopsWhenTheFocusMovesToAnotherWindow_data() {
        QTest::addColumn<QString>("wait");
        QTest::newRow("at once") << "0";
        QTest::newRow("countdown") << "1";
    }

    void typingStopsWhenTheFocusMovesToAnotherWindow() {
        QFETCH(QString, wait);
        Fixture t;
        t.SetWait(wait.toStdString());
        auto& main = t.Open();
        t.keys.onType = [&] { t.keys.focus = {3, "新しいウィンドウ"}; };
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(2);
        if (main.secondsLeft() > 0) {
            main.Timer1_Timer();
        }
        QCOMPARE(t.keys.typed.size(), 1);
        QCOMPARE(t.f.ui.messages, QStringList{AutoType::FocusMovedMessage()});
        QVERIFY(AutoType::FocusMovedMessage().contains(QStringLiteral("中止しました")));
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
        Fixture t;
        t.SetWait("0");
        t.Open();
        t.keys.onAltTab = [] {};  // nothing to switch to
        t.f.SelectRows({0});
        QElapsedTimer clock;
        clock.start();
        t.autoType->mnuSendkeysItem_Click(2);
        QVERIFY(clock.elapsed() >= AutoType::kSwitchWaitMs);
        QCOMPARE(t.keys.typed, QStringList{"pw-A"});
        QCOMPARE(t.keys.targets, QList<std::uint64_t>{1});
        QVERIFY(t.f.ui.messages.isEmpty());
    }

    void aRefusedWindowSwitchTypesNothingIntoOurOwnWindow() {
        Fixture t;
        t.SetWait("0");
        t.Open();
        t.keys.acceptAltTab = false;
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(2);
        QCOMPARE(t.keys.log, QStringList{"AltTab"});
        QCOMPARE(t.f.ui.messages, QStringList{AutoType::FailedMessage()});
    }

    void anUnreadableItemIsReportedAndNothingIsTyped() {
        Fixture t;
        t.SetWait("0");
        auto& main = t.Open();
        const auto before = t.LineOfG();
        t.f.SelectRows({0});
        const auto slot = static_cast<std::size_t>(main.itemModel()->row(0).tag);
        main.state().lngItemBlocks[slot] = 99999;  // far beyond the item file
        t.autoType->mnuSendkeysItem_Click(0);
        QCOMPARE(t.f.ui.messages.size(), 1);
        QVERIFY(t.keys.log.isEmpty());
        QCOMPARE(main.secondsLeft(), 0);
        QCOMPARE(t.LineOfG(), before);
    }

    void anotherInjectorTakesOverForLaterUse() {
        Fixture t;
        t.SetWait("1");
        auto& main = t.Open();
        t.f.SelectRows({0});
        t.autoType->mnuSendkeysItem_Click(2);
        test::FakeKeyInjector other;
        t.autoType->UseInjector(other);
        main.Timer1_Timer();
        QVERIFY(t.keys.typed.isEmpty());
        QCOMPARE(other.typed, QStringList{"pw-A"});
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
        QString none;
        AutoType::Wipe(none);
        QVERIFY(none.isNull());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::AutoTypeTest)
#include "AutoTypeTest.moc"
