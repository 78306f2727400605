#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <filesystem>

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
        }
        std::string Ini() const { return vault.ReadFile("Zorvan.ini"); }
    };

private slots:
    void emptySettingsShowTheDefaults() {
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("オプション"));
        QVERIFY(dialog->classBox(0)->isChecked());
        QVERIFY(dialog->classBox(1)->isChecked());
        QVERIFY(dialog->classBox(2)->isChecked());
        QVERIFY(!dialog->classBox(3)->isChecked());
        QCOMPARE(dialog->symbolsBox()->text(), QStringLiteral("_-#$%"));
        QCOMPARE(dialog->lengths().text(0), QStringLiteral("6"));
        QCOMPARE(dialog->lengths().text(1), QStringLiteral("8"));
        QCOMPARE(dialog->waitBox()->boxText(), QStringLiteral("4"));
        QCOMPARE(dialog->clipboardClearBox()->boxText(), QStringLiteral("0"));
        QCOMPARE(dialog->autoLockBox()->boxText(), QStringLiteral("0"));
        QCOMPARE(dialog->expiryDaysBox()->boxText(), QStringLiteral("14"));
        QCOMPARE(dialog->slider()->value(), 255);
    }

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

    void okWritesEveryKeyInOrder() {
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        dialog->button(0)->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        // New keys go to the end of the section, so the file shows the write order.
        QCOMPARE(f.Ini(), std::string("[Zorvan]\r\nupper=1\r\nlower=1\r\nnumber=1\r\nsymbol=0\r\n"
                                      "symbols=_-#$%\r\nminpasslen=6\r\nmaxpasslen=8\r\nwait=4\r\n"
                                      "transparency=255\r\nclipboardclear=0\r\nautolock=0\r\n"
                                      "expirydays=14"));
    }

    void okStoresTheEditedValues() {
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        dialog->classBox(0)->click();
        dialog->classBox(3)->click();
        dialog->symbolsBox()->setText(QStringLiteral("!\r\n?"));
        dialog->lengths().Load(QStringLiteral("10"), QStringLiteral("8"));
        dialog->waitBox()->setBoxText(QStringLiteral("12"));
        dialog->clipboardClearBox()->setBoxText(QStringLiteral("30"));
        dialog->slider()->setValue(128);
        dialog->button(0)->click();
        QCOMPARE(f.Setting("upper"), std::string("0"));
        QCOMPARE(f.Setting("symbol"), std::string("1"));
        QCOMPARE(f.Setting("symbols"), std::string("!?"));  // a value is one line
        QCOMPARE(f.Setting("minpasslen"), std::string("10"));
        QCOMPARE(f.Setting("maxpasslen"), std::string("10"));
        QCOMPARE(f.Setting("wait"), std::string("12"));
        QCOMPARE(f.Setting("transparency"), std::string("128"));
        QCOMPARE(f.Setting("clipboardclear"), std::string("30"));
        QCOMPARE(dialog->lengths().text(1), QStringLiteral("10"));
    }

    void lengthBoxesAreCorrectedOnOk_data() {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("storedMin");
        QTest::addColumn<QString>("storedMax");
        // The corrections themselves are PasswordGeneratorTest's.
        const auto row = [](const char* name, const char* min, const char* max,
                            const char* storedMin, const char* storedMax) {
            QTest::newRow(name) << min << max << storedMin << storedMax;
        };
        row("not numbers", "abc", "xyz", "6", "8");
        row("maximum below minimum", "10", "8", "10", "10");
    }
    void lengthBoxesAreCorrectedOnOk() {
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(QString, storedMin);
        QFETCH(QString, storedMax);
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        dialog->lengths().Load(min, max);
        dialog->button(0)->click();
        QCOMPARE(QString::fromStdString(f.Setting("minpasslen")), storedMin);
        QCOMPARE(QString::fromStdString(f.Setting("maxpasslen")), storedMax);
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(f.ui.beeps, 0);
    }

    void cancelWritesNothing() {
        Fixture f;
        f.Set("wait", "7");
        const std::string before = f.Ini();
        const auto dialog = MainDialogs::Options(*f.main);
        QTimer::singleShot(0, dialog.get(), [&] {
            dialog->classBox(0)->click();
            dialog->lengths().Load(QStringLiteral("9"), QStringLiteral("3"));
            dialog->waitBox()->setBoxText(QStringLiteral("abc"));
            dialog->slider()->setValue(64);
            dialog->button(1)->click();
        });
        dialog->exec();
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(f.Ini(), before);
        QCOMPARE(f.main->windowOpacity(), 1.0);
    }

    void lengthSpinnersBeepAtTheLimits() {
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        PassLenBoxes& lengths = dialog->lengths();
        lengths.Load(QStringLiteral("5"), QStringLiteral("5"));
        lengths.box(1)->stepDown();
        QCOMPARE(lengths.text(0) + lengths.text(1), QStringLiteral("44"));
        lengths.Load(QStringLiteral("1"), QStringLiteral("128"));
        QTest::keyClick(lengths.box(1), Qt::Key_Up);
        lengths.box(0)->stepDown();
        QCOMPARE(f.ui.beeps, 2);
        QCOMPARE(lengths.text(0) + lengths.text(1), QStringLiteral("1128"));
    }

    void waitSpinnerStaysWithinZeroToThirty() {
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        UpDownBox* wait = dialog->waitBox();
        wait->setBoxText(QStringLiteral("0"));
        wait->stepDown();
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(wait->boxText(), QStringLiteral("0"));
        wait->setBoxText(QStringLiteral("30"));
        QTest::keyClick(wait, Qt::Key_Up);
        QCOMPARE(f.ui.beeps, 2);
        QCOMPARE(wait->boxText(), QStringLiteral("30"));
        QTest::keyClick(wait, Qt::Key_Down);
        QCOMPARE(wait->boxText(), QStringLiteral("29"));
        QTest::keyClick(wait, Qt::Key_Up);  // the top of the range is reachable
        QCOMPARE(wait->boxText(), QStringLiteral("30"));
        wait->setBoxText(QStringLiteral("abc"));
        wait->stepUp();
        QCOMPARE(wait->boxText(), QStringLiteral("5"));  // "4" first, then one up
        QCOMPARE(f.ui.beeps, 2);
    }

    void clipboardSecondsHaveTheirLabelAndStayWithinTheButtonsRange() {
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        UpDownBox* seconds = dialog->clipboardClearBox();
        const auto labels = dialog->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
            return label->text() == QStringLiteral("クリップボードの消去（秒）") &&
                   label->buddy() == seconds;
        }));
        seconds->stepDown();
        QCOMPARE(f.ui.beeps, 1);
        QCOMPARE(seconds->boxText(), QStringLiteral("0"));
        seconds->setBoxText(QString::number(frmOption::kMaxClipboardClear));
        QTest::keyClick(seconds, Qt::Key_Up);
        QCOMPARE(f.ui.beeps, 2);
        seconds->setBoxText(QStringLiteral("abc"));
        seconds->stepUp();
        QCOMPARE(seconds->boxText(), QStringLiteral("1"));  // "0" first, then one up
    }

    // Typed numbers have no range limit but 16 bits; only the buttons keep to theirs.
    void typedNumbersAreStoredWithinSixteenBits_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const auto row = [](const char* name, const char* key, const char* typed,
                            const char* stored) { QTest::newRow(name) << key << typed << stored; };
        row("seconds: not a number", "clipboardclear", "abc", "0");
        row("seconds: negative", "clipboardclear", "-3", "0");
        row("seconds: beyond 16 bits", "clipboardclear", "99999", "32767");
        row("seconds: inside", "clipboardclear", "45", "45");
        row("wait: not a number", "wait", "abc", "4");
        row("wait: above the buttons' range", "wait", "99", "99");
        row("wait: beyond 16 bits", "wait", "99999", "32767");
        row("wait: inside", "wait", " 7", "7");
    }
    void typedNumbersAreStoredWithinSixteenBits() {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Fixture f;
        const auto dialog = MainDialogs::Options(*f.main);
        UpDownBox* box = key == "wait" ? dialog->waitBox() : dialog->clipboardClearBox();
        box->setBoxText(typed);
        dialog->button(0)->click();
        QCOMPARE(QString::fromStdString(f.Setting(key.toLatin1().constData())), stored);
        QCOMPARE(box->boxText(), stored);
    }

    void lowStoredTransparencyIsShownAsTheMinimum() {
        Fixture f;
        f.Set("transparency", "10");
        const auto dialog = MainDialogs::Options(*f.main);
        QCOMPARE(dialog->slider()->value(), 64);
        dialog->button(0)->click();
        QCOMPARE(f.Setting("transparency"), std::string("64"));
    }

    void okAppliesTheOpacityAtOnce() {
        Fixture f;
        {
            const auto dialog = MainDialogs::Options(*f.main);
            dialog->slider()->setValue(128);
            dialog->button(0)->click();
        }
        QVERIFY(qAbs(f.main->windowOpacity() - 128 / 255.0) < 0.01);
        const auto dialog = MainDialogs::Options(*f.main);
        QCOMPARE(dialog->slider()->value(), 128);
        dialog->slider()->setValue(255);
        dialog->button(0)->click();
        QCOMPARE(f.main->windowOpacity(), 1.0);
    }

    void savePositionWritesTheFourKeysAtOnceEvenWhenCancelled() {
        Fixture f;
        f.main->move(150, 90);
        f.main->resize(500, 300);
        const double tppX = window::TwipsPerPixelX(f.main.get());
        const double tppY = window::TwipsPerPixelY(f.main.get());
        const auto dialog = MainDialogs::Options(*f.main);
        dialog->setPosButton()->click();
        QVERIFY(!dialog->setPosButton()->isEnabled());
        const auto twips = [](int pixels, double tpp) {
            return std::to_string(window::PixelsToTwips(pixels, tpp));
        };
        QCOMPARE(f.Ini(), "[Zorvan]\r\nwidth=" + twips(f.main->width(), tppX) +
                              "\r\nheight=" + twips(f.main->height(), tppY) + "\r\nleft=" +
                              twips(f.main->x(), tppX) + "\r\ntop=" + twips(f.main->y(), tppY));
        QCOMPARE(f.Setting("width"), twips(500, tppX));
        const std::string saved = f.Ini();
        dialog->button(1)->click();
        QCOMPARE(f.Ini(), saved);
    }

    void writeFailureKeepsTheDialogOpen() {
        Fixture f;
        f.vault.Break(f.vault.session->paths.strIniFile);
        const auto dialog = MainDialogs::Options(*f.main);
        dialog->lengths().Load(QStringLiteral("9"), QStringLiteral("12"));
        dialog->button(0)->click();
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(dialog->result(), 0);
        QCOMPARE(dialog->lengths().text(1), QStringLiteral("12"));
        dialog->setPosButton()->click();
        QCOMPARE(f.ui.messages.size(), 2);
        QVERIFY(dialog->setPosButton()->isEnabled());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::frmOptionTest)
#include "frmOptionTest.moc"
