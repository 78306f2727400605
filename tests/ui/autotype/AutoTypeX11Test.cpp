#include <QtTest>
#include <memory>
#include <thread>
#include <vector>

#include "autotype/KeyboardMapProbe.h"
#include "autotype/TargetWindow.h"
#include "autotype/XvfbServer.h"
#include "platform/KeyInjector.h"
#include "support/MainFixture.h"
#include "tools/KeystrokeText.h"
#include "ui/main/AutoType.h"
#include "ui/main/frmTooltip.h"
#include "vault/Settings.h"

namespace zorvan {

namespace {
constexpr int kStartMs = 60000;  // a loaded machine may take long to start a program
constexpr int kArriveMs = 60000;
}  // namespace

// Auto-type's X11 back end against a real X server: a separate program shows
// fields, the back end types into them, and the program reports what arrived.
class AutoTypeX11Test : public QObject {
    Q_OBJECT

private:
    // A target window that has the keyboard focus.
    std::unique_ptr<test::TargetWindow> OpenTarget(
        bool fields, const QString& title = QStringLiteral("AutoTypeTarget")) {
        auto target = std::make_unique<test::TargetWindow>();
        target->Start(xvfb_.display(), fields, title);
        // The caller checks focused(); the target reports why it failed.
        (void)QTest::qWaitFor([&] { return target->focused() || !target->running(); }, kStartMs);
        return target;
    }

    // A main window whose only group holds one item, with the given auto-type wait.
    static void OpenWithItem(test::MainFixture& f, const std::string& id,
                             const std::string& password, const char* wait) {
        f.AddGroup("G#0");
        f.AddItem("G", "item", id, password);
        f.Set("wait", wait);
        f.Open();
    }

    // Types a raw text as auto-type does: quoted, then parsed into keys, and
    // only into the window that has the focus now.
    TypeResult TypeRaw(const std::string& raw) {
        auto keys = KeystrokeText::Parse(KeystrokeText::Quote(raw));
        return injector_->Type(keys, injector_->FocusedWindow().id);
    }

private slots:
    void initTestCase() {
        test::AllowXThreads();
        const QString failure = xvfb_.Start(kStartMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        qputenv("DISPLAY", xvfb_.display().toUtf8());
        QVERIFY(!test::ReadKeyboardMap().empty());
        injector_ = CreateKeyInjector();
        QVERIFY(injector_->Available());
    }

    void cleanupTestCase() {
        injector_.reset();
        xvfb_.Stop();
    }

    void everyQuotedCharacterArrivesAsItself() {
        auto target = OpenTarget(false);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        std::string raw = "+^%~()[]{}}{{}";
        for (char c = ' '; c <= '~'; ++c) {
            raw.push_back(c);  // and the rest of printable ASCII, shifted or not
        }
        QCOMPARE(TypeRaw(raw), TypeResult::kTyped);
        QTRY_COMPARE_WITH_TIMEOUT(target->first(), QString::fromStdString(raw), kArriveMs);
    }

    void twoHundredCharactersArriveInOrderWithNoneLost() {
        auto target = OpenTarget(false);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        // More distinct characters outside the keyboard map than it has spare
        // keycodes, so that they take turns on them.
        const QString kana = QStringLiteral(
            "漢字カナｶﾅあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよ"
            "らりるれろ");
        const QString ascii = QStringLiteral("abcXYZ019-_=+{}()");
        QString text;
        for (int i = 0; text.size() < 200; ++i) {
            text += kana[i % kana.size()];
            text += ascii[i % ascii.size()];
        }
        text.truncate(200);
        const auto before = test::ReadKeyboardMap();
        QCOMPARE(TypeRaw(text.toStdString()), TypeResult::kTyped);
        QVERIFY(test::ReadKeyboardMap() == before);
        QTRY_COMPARE_WITH_TIMEOUT(target->first(), text, kArriveMs);
    }

    void theFocusedWindowIsNamedByItsTitle() {
        auto first = OpenTarget(false, QStringLiteral("ログイン画面 - Target"));
        QVERIFY2(first->focused(), qPrintable(first->output()));
        const FocusWindow focus = injector_->FocusedWindow();
        QCOMPARE(QString::fromStdString(focus.title), QStringLiteral("ログイン画面 - Target"));
        QVERIFY(focus.id != 0);
        auto second = OpenTarget(false, QStringLiteral("second"));
        QVERIFY2(second->focused(), qPrintable(second->output()));
        QCOMPARE(injector_->FocusedWindow().title, std::string("second"));
        QVERIFY(injector_->FocusedWindow().id != focus.id);
    }

    void typingStopsWhenTheFocusMovesToAnotherWindowMidway() {
        auto other = OpenTarget(false, QStringLiteral("other"));
        QVERIFY2(other->focused(), qPrintable(other->output()));
        const std::uint64_t otherId = injector_->FocusedWindow().id;
        auto target = OpenTarget(false, QStringLiteral("target"));
        QVERIFY2(target->focused(), qPrintable(target->output()));
        // Characters outside the keyboard map take turns on the spare keycodes,
        // and each turn waits for the target to catch up: the typing keeps pace
        // with what the target reports.
        const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねの");
        QString text;
        for (int i = 0; text.size() < 400; ++i) {
            text += kana[i % kana.size()];
            text += QLatin1Char(static_cast<char>('a' + i % 26));
        }
        TypeResult result = TypeResult::kTyped;
        std::thread typing([&] { result = TypeRaw(text.toStdString()); });
        const bool started =
            QTest::qWaitFor([&] { return target->first().size() >= 20; }, kArriveMs);
        const bool moved = test::GiveFocus(otherId);
        typing.join();
        QVERIFY(started);
        QVERIFY(moved);
        QCOMPARE(result, TypeResult::kFocusMoved);
        QTest::qWait(500);  // for keys still on their way
        const QString arrived = target->first();
        QVERIFY2(text.startsWith(arrived) && arrived.size() < text.size(), qPrintable(arrived));
        // At most the key on its way while the focus moved reaches the other one.
        QVERIFY2(other->first().size() <= 1, qPrintable(other->first()));
    }

    void theMainWindowTypesTheSelectedItemAtOnce() {
        test::MainFixture f(false);
        OpenWithItem(f, "ユーザー{1}", "pass(word)~", "0");
        AutoType autoType(*f.main, *injector_);
        auto target = OpenTarget(true);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        f.SelectRows({0});
        autoType.mnuSendkeysItem_Click(0);
        QTRY_COMPARE_WITH_TIMEOUT(target->fields(), QStringLiteral("ユーザー{1}\npass(word)~"),
                                  kArriveMs);
        QVERIFY(f.ui.messages.isEmpty());
    }

    void theCountdownNamesItsTargetAndTypesIntoItWhenItRunsOut() {
        test::MainFixture f(false);
        OpenWithItem(f, "id", "a-b", "2");
        AutoType autoType(*f.main, *injector_);
        auto target = OpenTarget(true, QStringLiteral("ターゲット"));
        QVERIFY2(target->focused(), qPrintable(target->output()));
        f.SelectRows({0});
        autoType.mnuSendkeysItem_Click(4);  // "-" as Tab: "b" goes to the second field
        QTRY_COMPARE_WITH_TIMEOUT(f.main->tooltip()->shownText(),
                                  QStringLiteral(" 1 \r\n  入力先：ターゲット "), kArriveMs);
        QTRY_COMPARE_WITH_TIMEOUT(target->fields(), QStringLiteral("a\nb"), kArriveMs);
        QVERIFY(f.ui.messages.isEmpty());
    }

    void withoutAnXDisplayAutoTypeSaysItIsUnavailable() {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");  // as in a Wayland session without X11 access
        const auto injector = CreateKeyInjector();
        const bool available = injector->Available();
        const TypeResult typed = injector->Type(KeystrokeText::Parse("x"), 0);
        const FocusWindow focus = injector->FocusedWindow();
        const bool switched = injector->AltTab();
        test::MainFixture f(false);
        OpenWithItem(f, "id", "pw", "0");
        AutoType autoType(*f.main, *injector);
        f.SelectRows({0});
        autoType.mnuSendkeysItem_Click(0);
        qputenv("DISPLAY", display);
        QVERIFY(!available);
        QCOMPARE(typed, TypeResult::kRefused);
        QCOMPARE(focus.id, std::uint64_t{0});
        QVERIFY(!switched);
        QCOMPARE(f.ui.messages, QStringList{AutoType::UnavailableMessage()});
    }

private:
    test::XvfbServer xvfb_;
    std::unique_ptr<KeyInjector> injector_;
};

}  // namespace zorvan

QTEST_MAIN(zorvan::AutoTypeX11Test)
#include "AutoTypeX11Test.moc"
