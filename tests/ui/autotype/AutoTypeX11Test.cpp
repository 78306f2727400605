#include <QtTest>
#include <memory>
#include <vector>

#include "app/KeystrokeText.h"
#include "app/Settings.h"
#include "autotype/KeyboardMapProbe.h"
#include "autotype/TargetWindow.h"
#include "autotype/XvfbServer.h"
#include "platform/KeyInjector.h"
#include "support/MainFixture.h"
#include "ui/main/AutoType.h"

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
    std::unique_ptr<test::TargetWindow> OpenTarget(bool fields) {
        auto target = std::make_unique<test::TargetWindow>();
        target->Start(xvfb_.display(), fields);
        // The caller checks focused(); the target reports why it failed.
        (void)QTest::qWaitFor([&] { return target->focused() || !target->running(); }, kStartMs);
        return target;
    }

    // A main window whose only group holds one item, with the given auto-type wait.
    static void OpenWithItem(test::MainFixture& f, const std::string& id,
                             const std::string& password, const char* wait) {
        f.AddGroup("G#0");
        f.AddItem("G", "item", id, password);
        WriteSetting(f.vault.session->paths.strIniFile, "Zorvan", "wait", wait);
        f.Open();
    }

    // Types a raw text as auto-type does: quoted, then parsed into keys.
    bool TypeRaw(const std::string& raw) {
        auto keys = KeystrokeText::Parse(KeystrokeText::Quote(raw));
        return injector_->Type(keys);
    }

private slots:
    void initTestCase() {
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

    void idTabPassLandsInTheTwoFields() {
        auto target = OpenTarget(true);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        QVERIFY(TypeRaw(KeystrokeText::RawText(0, "taro.yamada", "S3cret-Pw")));
        QTRY_COMPARE_WITH_TIMEOUT(target->fields(), QStringLiteral("taro.yamada\nS3cret-Pw"),
                                  kArriveMs);
    }

    void everyQuotedCharacterArrivesAsItself() {
        auto target = OpenTarget(false);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        std::string raw = "+^%~()[]{}}{{}";
        for (char c = ' '; c <= '~'; ++c) {
            raw.push_back(c);  // and the rest of printable ASCII, shifted or not
        }
        QVERIFY(TypeRaw(raw));
        QTRY_COMPARE_WITH_TIMEOUT(target->first(), QString::fromStdString(raw), kArriveMs);
    }

    void japaneseTextArrivesIntactAndTheKeyboardMapIsRestored() {
        auto target = OpenTarget(false);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        const auto before = test::ReadKeyboardMap();
        const QString text = QStringLiteral("漢字かなカナｶﾅ");
        QVERIFY(TypeRaw(text.toStdString()));
        QVERIFY(test::ReadKeyboardMap() == before);
        QTRY_COMPARE_WITH_TIMEOUT(target->first(), text, kArriveMs);
    }

    void twoHundredCharactersArriveInOrderWithNoneLost() {
        auto target = OpenTarget(false);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        // More distinct characters outside the keyboard map than it has spare
        // keycodes, so that they take turns on them.
        const QString kana = QStringLiteral(
            "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれ"
            "ろ");
        const QString ascii = QStringLiteral("abcXYZ019-_=+{}()");
        QString text;
        for (int i = 0; text.size() < 200; ++i) {
            text += kana[i % kana.size()];
            text += ascii[i % ascii.size()];
        }
        text.truncate(200);
        const auto before = test::ReadKeyboardMap();
        QVERIFY(TypeRaw(text.toStdString()));
        QVERIFY(test::ReadKeyboardMap() == before);
        QTRY_COMPARE_WITH_TIMEOUT(target->first(), text, kArriveMs);
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

    void theCountdownTypesIntoTheTargetWhenItRunsOut() {
        test::MainFixture f(false);
        OpenWithItem(f, "id", "a-b", "1");
        AutoType autoType(*f.main, *injector_);
        auto target = OpenTarget(true);
        QVERIFY2(target->focused(), qPrintable(target->output()));
        f.SelectRows({0});
        autoType.mnuSendkeysItem_Click(4);  // "-" as Tab: "b" goes to the second field
        QTRY_COMPARE_WITH_TIMEOUT(target->fields(), QStringLiteral("a\nb"), kArriveMs);
        QVERIFY(f.ui.messages.isEmpty());
    }

    void withoutAnXDisplayAutoTypeSaysItIsUnavailable() {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");  // as in a Wayland session without X11 access
        const auto injector = CreateKeyInjector();
        const bool available = injector->Available();
        const bool typed = injector->Type(KeystrokeText::Parse("x"));
        const bool switched = injector->AltTab();
        test::MainFixture f(false);
        OpenWithItem(f, "id", "pw", "0");
        AutoType autoType(*f.main, *injector);
        f.SelectRows({0});
        autoType.mnuSendkeysItem_Click(0);
        qputenv("DISPLAY", display);
        QVERIFY(!available);
        QVERIFY(!typed);
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
