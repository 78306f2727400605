#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <algorithm>

#include "support/MainFixture.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/PassLenBoxes.h"
#include "ui/dialogs/UpDownBox.h"
#include "ui/dialogs/frmOption.h"
#include "ui/main/MainDialogs.h"

namespace zorvan {

// The options dialog against its own settings file.
class frmOptionTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::MainFixture {
        // Each test starts from an empty settings file.
        Fixture() : MainFixture(false) {
            Open();
            vault.Write("Zorvan.ini", "");
            Reopen();
        }
        // A dialog that reads the settings as they are now.
        void Reopen() { dialog = MainDialogs::Options(*main); }
        std::string Ini() const { return vault.ReadFile("Zorvan.ini"); }
        std::unique_ptr<frmOption> dialog;
    };

private slots:
    // A protected vault clears the clipboard and locks by default.
    void aProtectedVaultShowsItsStricterDefaults() {
        Fixture f;
        frmOption::Input input{f.vault.session->paths.strIniFile, false, QRect(), true};
        frmOption dialog(input, f.ui, f.main.get());
        QCOMPARE(dialog.clipboardClearBox()->boxText(), QStringLiteral("30"));
        QCOMPARE(dialog.autoLockBox()->boxText(), QStringLiteral("10"));
        dialog.autoLockBox()->setBoxText(QStringLiteral("x"));  // not a number: the default
        dialog.button(0)->click();
        QVERIFY(f.Ini().find("autolock=10") != std::string::npos);
    }

    // From empty settings, so the values are the defaults the boxes show.
    void okWritesEveryKeyInOrder() {
        Fixture f;
        f.dialog->button(0)->click();
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        // New keys go to the end of the section, so the file shows the write order.
        QCOMPARE(f.Ini(), std::string("[Zorvan]\r\nupper=1\r\nlower=1\r\nnumber=1\r\nsymbol=0\r\n"
                                      "symbols=_-#$%\r\nminpasslen=6\r\nmaxpasslen=8\r\nwait=4\r\n"
                                      "transparency=255\r\nclipboardclear=0\r\nautolock=0\r\n"
                                      "expirydays=14"));
    }

    void okStoresTheEditedValues() {
        Fixture f;
        frmOption& dialog = *f.dialog;
        dialog.classBox(0)->click();
        dialog.classBox(3)->click();
        dialog.symbolsBox()->setText(QStringLiteral("!\r\n?"));
        // Corrected silently: "xyz" is the default 8, then below the minimum. How the
        // lengths are corrected is PasswordGeneratorTest's.
        dialog.lengths().Load(QStringLiteral("10"), QStringLiteral("xyz"));
        dialog.waitBox()->setBoxText(QStringLiteral("12"));
        dialog.clipboardClearBox()->setBoxText(QStringLiteral("30"));
        dialog.autoLockBox()->setBoxText(QStringLiteral("5"));
        dialog.expiryDaysBox()->setBoxText(QStringLiteral("3"));
        dialog.slider()->setValue(128);
        dialog.button(0)->click();
        QCOMPARE(f.Setting("upper"), std::string("0"));
        QCOMPARE(f.Setting("symbol"), std::string("1"));
        QCOMPARE(f.Setting("symbols"), std::string("!?"));  // a value is one line
        QCOMPARE(f.Setting("minpasslen"), std::string("10"));
        QCOMPARE(f.Setting("maxpasslen"), std::string("10"));
        QCOMPARE(dialog.lengths().text(1), QStringLiteral("10"));
        QCOMPARE(f.Setting("wait"), std::string("12"));
        QCOMPARE(f.Setting("transparency"), std::string("128"));
        QCOMPARE(f.Setting("clipboardclear"), std::string("30"));
        QCOMPARE(f.Setting("autolock"), std::string("5"));
        QCOMPARE(f.Setting("expirydays"), std::string("3"));
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(f.ui.beeps, 0);
    }

    void cancelWritesNothing() {
        Fixture f;
        f.Set("wait", "7");
        const std::string before = f.Ini();
        f.Reopen();
        frmOption& dialog = *f.dialog;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.classBox(0)->click();
            dialog.lengths().Load(QStringLiteral("9"), QStringLiteral("3"));
            dialog.waitBox()->setBoxText(QStringLiteral("abc"));
            dialog.slider()->setValue(64);
            dialog.button(1)->click();
        });
        dialog.exec();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(f.Ini(), before);
        QCOMPARE(f.main->windowOpacity(), 1.0);
    }

    void lengthSpinnersBeepAtTheLimits() {
        Fixture f;
        PassLenBoxes& lengths = f.dialog->lengths();
        lengths.Load(QStringLiteral("5"), QStringLiteral("5"));
        lengths.box(1)->stepDown();
        QCOMPARE(lengths.text(0) + lengths.text(1), QStringLiteral("44"));
        lengths.Load(QStringLiteral("1"), QStringLiteral("128"));
        QTest::keyClick(lengths.box(1), Qt::Key_Up);
        lengths.box(0)->stepDown();
        QCOMPARE(f.ui.beeps, 2);
        QCOMPARE(lengths.text(0) + lengths.text(1), QStringLiteral("1128"));
    }

    // The buttons keep each number box to 0..its maximum; typed numbers are not held
    // to it (below).
    void numberButtonsKeepToTheirRange_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("upFromNoNumber");  // the setting's default, then one up
        QTest::newRow("wait") << 0 << int(frmOption::kMaxWait) << "5";
        QTest::newRow("clipboard clear") << 1 << int(frmOption::kMaxClipboardClear) << "1";
        QTest::newRow("auto lock") << 2 << int(frmOption::kMaxAutoLock) << "1";
        QTest::newRow("expiry days") << 3 << int(frmOption::kMaxExpiryDays) << "15";
    }
    void numberButtonsKeepToTheirRange() {
        QFETCH(int, box);
        QFETCH(int, max);
        QFETCH(QString, upFromNoNumber);
        Fixture f;
        frmOption& d = *f.dialog;
        UpDownBox* number = std::array{d.waitBox(), d.clipboardClearBox(), d.autoLockBox(),
                                       d.expiryDaysBox()}[static_cast<std::size_t>(box)];
        const auto labels = d.findChildren<QLabel*>();
        QVERIFY2(std::any_of(labels.begin(), labels.end(),
                             [&](const QLabel* label) { return label->buddy() == number; }),
                 "the box has its label");
        const auto press = [&](const QString& from, Qt::Key key) {
            number->setBoxText(from);
            QTest::keyClick(number, key);
            return number->boxText();
        };
        const QString top = QString::number(max);
        const QString belowTop = QString::number(max - 1);
        QCOMPARE(press(QStringLiteral("0"), Qt::Key_Down), QStringLiteral("0"));
        QCOMPARE(press(top, Qt::Key_Up), top);
        QCOMPARE(f.ui.beeps, 2);
        QCOMPARE(press(top, Qt::Key_Down), belowTop);
        QCOMPARE(press(belowTop, Qt::Key_Up), top);
        QCOMPARE(press(QStringLiteral("abc"), Qt::Key_Up), upFromNoNumber);
        QCOMPARE(f.ui.beeps, 2);
    }

    // Typed numbers have no range limit but 16 bits; only the buttons keep to theirs.
    void typedNumbersAreStoredWithinSixteenBits_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const auto row = [](const char* name, const char* key, const char* typed,
                            const char* stored) { QTest::newRow(name) << key << typed << stored; };
        row("seconds: negative", "clipboardclear", "-3", "0");
        row("seconds: beyond 16 bits", "clipboardclear", "99999", "32767");
        row("wait: not a number", "wait", "abc", "4");
        row("wait: above the buttons' range", "wait", "99", "99");
        row("wait: inside", "wait", " 7", "7");
    }
    void typedNumbersAreStoredWithinSixteenBits() {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Fixture f;
        UpDownBox* box = key == "wait" ? f.dialog->waitBox() : f.dialog->clipboardClearBox();
        box->setBoxText(typed);
        f.dialog->button(0)->click();
        QCOMPARE(QString::fromStdString(f.Setting(key.toLatin1().constData())), stored);
        QCOMPARE(box->boxText(), stored);
    }

    void transparencyKeepsToTheMinimumAndOkAppliesItAtOnce() {
        Fixture f;
        f.Set("transparency", "10");
        f.Reopen();
        QCOMPARE(f.dialog->slider()->value(), 64);
        f.dialog->button(0)->click();
        QCOMPARE(f.Setting("transparency"), std::string("64"));
        f.Reopen();
        f.dialog->slider()->setValue(128);
        f.dialog->button(0)->click();
        QVERIFY(qAbs(f.main->windowOpacity() - 128 / 255.0) < 0.01);
        f.Reopen();
        QCOMPARE(f.dialog->slider()->value(), 128);
        f.dialog->slider()->setValue(255);
        f.dialog->button(0)->click();
        QCOMPARE(f.main->windowOpacity(), 1.0);
    }

    void savePositionWritesTheFourKeysAtOnceEvenWhenCancelled() {
        Fixture f;
        f.main->move(150, 90);
        f.main->resize(500, 300);
        const double tppX = window::TwipsPerPixelX(f.main.get());
        const double tppY = window::TwipsPerPixelY(f.main.get());
        f.Reopen();
        f.dialog->setPosButton()->click();
        QVERIFY(!f.dialog->setPosButton()->isEnabled());
        const auto twips = [](int pixels, double tpp) {
            return std::to_string(window::PixelsToTwips(pixels, tpp));
        };
        QCOMPARE(f.Ini(), "[Zorvan]\r\nwidth=" + twips(f.main->width(), tppX) +
                              "\r\nheight=" + twips(f.main->height(), tppY) + "\r\nleft=" +
                              twips(f.main->x(), tppX) + "\r\ntop=" + twips(f.main->y(), tppY));
        QCOMPARE(f.Setting("width"), twips(500, tppX));
        const std::string saved = f.Ini();
        f.dialog->button(1)->click();
        QCOMPARE(f.Ini(), saved);
    }

    void writeFailureKeepsTheDialogOpen() {
        Fixture f;
        f.vault.Break(f.vault.session->paths.strIniFile);
        f.Reopen();
        frmOption& dialog = *f.dialog;
        dialog.lengths().Load(QStringLiteral("9"), QStringLiteral("12"));
        dialog.button(0)->click();
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(dialog.lengths().text(1), QStringLiteral("12"));
        dialog.setPosButton()->click();
        QCOMPARE(f.ui.messages.size(), 2);
        QVERIFY(dialog.setPosButton()->isEnabled());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::frmOptionTest)
#include "frmOptionTest.moc"
