#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <tuple>

#include "support/FakeUi.h"
#include "support/UiTempVault.h"
#include "ui/ProtectionTexts.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/dialogs/frmPass.h"
#include "vault/Cipher.h"
#include "vault/Settings.h"

namespace zorvan {

// The password dialog in its three modes, driven through its real widgets.
class frmPassTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        explicit Fixture(bool sample, std::optional<SecretText> password = {})
            : vault(sample), dialog(*vault.session, ui, std::move(password)) {
            dialog.SetShowMainWindow([this] { ++mainShown; });
        }
        std::string StoredPass() const {
            return ReadSetting(vault.session->paths.strIniFile, "Zorvan", "pass", "");
        }
        test::UiTempVault vault;
        test::FakeUi ui;
        frmPass dialog;
        int mainShown = 0;
    };

    // Enciphers a fixed block with the vault's key, to see whether the key changed.
    static std::vector<std::uint8_t> Probe(const Fixture& f) {
        std::vector<std::uint8_t> block(16, 0x42);
        f.vault.session->vault.cipher().Encrypt(block);
        return block;
    }

    static const QString kWrong;

private slots:
    void firstSettingStoresTheCheckValueOfAPasswordTypedTwice_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        const auto row = [](const char* name, const char* password, const char* confirmation) {
            QTest::newRow(name) << QString::fromUtf8(password) << QString::fromUtf8(confirmation);
        };
        row("typed twice", "pwパスワード", "pwパスワード");
        row("empty, a valid password", "", "");
        row("differing confirmation", "one", "two");
    }
    void firstSettingStoresTheCheckValueOfAPasswordTypedTwice() {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        const bool same = password == confirmation;
        Fixture f(false);
        f.dialog.SetNewPass(false);
        f.dialog.show();
        QVERIFY(f.dialog.confirmationBox()->isEnabled());
        f.dialog.passwordBox()->setText(password);
        f.dialog.confirmationBox()->setText(confirmation);
        QTest::mouseClick(f.dialog.okButton(), Qt::LeftButton);
        QCOMPARE(f.StoredPass(), same ? CheckValue(password.toStdString()) : std::string());
        QCOMPARE(f.vault.session->blnPassOK, same);
        QCOMPARE(f.vault.session->vault.IsKeyOf(password.toStdString()), same);
        QCOMPARE(f.mainShown, same ? 1 : 0);
        QCOMPARE(f.ui.messages, same ? QStringList{} : QStringList{kWrong});
        QCOMPARE(f.dialog.result(), same ? int(QDialog::Accepted) : 0);
        QCOMPARE(f.dialog.windowTitle() == QStringLiteral("ログインしています..."), same);
        // The typed text is gone once it is used; a refusal leaves it to be corrected.
        QCOMPARE(f.dialog.passwordBox()->text(), same ? QString() : password);
        QCOMPARE(f.dialog.confirmationBox()->text(), same ? QString() : confirmation);
    }

    // Typed, or given at start and then tried once without typing.
    void loginInstallsTheKeyOfTheRightPasswordOnly_data() {
        QTest::addColumn<QString>("given");  // null: none given
        QTest::addColumn<QString>("typed");  // null: nothing typed
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<int>("messages");
        QTest::newRow("typed right") << QString() << "zorvan" << true << 0;
        // Differs from "zorvan" only in the first byte: same key table, other check value.
        QTest::newRow("typed wrong") << QString() << "Zorvan" << false << 1;
        QTest::newRow("given right") << "zorvan" << QString() << true << 0;
        QTest::newRow("none given") << QString() << QString() << false << 0;
        QTest::newRow("given wrong") << "nope" << QString() << false << 1;
        QTest::newRow("given longer than 16 bytes")
            << "zorvanzorvanzorvan" << QString() << false << 1;
    }
    void loginInstallsTheKeyOfTheRightPasswordOnly() {
        QFETCH(QString, given);
        QFETCH(QString, typed);
        QFETCH(bool, loggedIn);
        QFETCH(int, messages);
        std::optional<SecretText> password;
        if (!given.isNull()) {
            password = SecretFromQ(given);
        }
        Fixture f(true, std::move(password));
        f.vault.session->vault.UseKeyOf("before");
        std::vector<std::uint8_t> expected = Probe(f);
        if (loggedIn) {
            expected.assign(16, 0x42);
            Cipher(KeyBytes("zorvan").span()).Encrypt(expected);
        }
        f.dialog.CheckPass(false);
        f.dialog.show();
        QVERIFY(!f.dialog.confirmationBox()->isEnabled());
        if (!typed.isNull()) {
            QTest::keyClicks(f.dialog.passwordBox(), typed);
            QTest::keyClick(f.dialog.passwordBox(), Qt::Key_Return);
        }
        QCOMPARE(f.vault.session->blnPassOK, loggedIn);
        QCOMPARE(f.mainShown, loggedIn ? 1 : 0);
        QCOMPARE(f.ui.messages.size(), messages);
        if (messages > 0) {
            QCOMPARE(f.ui.messages.last(), kWrong);
        }
        QCOMPARE(f.dialog.result(), loggedIn ? int(QDialog::Accepted) : 0);
        QVERIFY(f.dialog.passwordBox()->text().isEmpty());
        QCOMPARE(Probe(f), expected);
    }

    void typingStopsAtSixteenCodePageBytesWithABeep() {
        Fixture f(false);
        f.dialog.SetNewPass(false);
        f.dialog.show();
        QTest::keyClicks(f.dialog.passwordBox(), QStringLiteral("abcdefghijklmnopq"));
        QCOMPARE(f.dialog.passwordBox()->text(), QStringLiteral("abcdefghijklmnop"));
        QCOMPARE(f.ui.beeps, 1);
        f.dialog.confirmationBox()->setText(QStringLiteral("あいうえおかきく"));
        f.dialog.confirmationBox()->setText(QStringLiteral("あいうえおかきくけ"));
        QCOMPARE(f.dialog.confirmationBox()->text(), QStringLiteral("あいうえおかきく"));
        QCOMPARE(f.ui.beeps, 2);
        f.dialog.confirmationBox()->setText(QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ"));  // 16 bytes
        QCOMPARE(f.ui.beeps, 2);
    }

    void hideCheckBoxMasksBothBoxes() {
        Fixture f(false);
        f.dialog.SetNewPass(false);
        QVERIFY(f.dialog.hideCheckBox()->isChecked());
        QCOMPARE(f.dialog.passwordBox()->echoMode(), QLineEdit::Password);
        f.dialog.hideCheckBox()->click();
        QCOMPARE(f.dialog.passwordBox()->echoMode(), QLineEdit::Normal);
        QCOMPARE(f.dialog.confirmationBox()->echoMode(), QLineEdit::Normal);
    }

    void wipingATextClearsItsWholeBuffer() {
        // A text that lost characters at both ends keeps them in its buffer.
        QString text = QStringLiteral("0123456789").repeated(4);
        text.remove(0, 5);
        text.chop(5);
        const auto& d = text.data_ptr();
        const QChar* buffer = text.constData() - d.freeSpaceAtBegin();
        const qsizetype room = d.freeSpaceAtBegin() + text.size() + d.freeSpaceAtEnd();
        QVERIFY(room >= 40);
        WipeText(text);
        QVERIFY(text.isEmpty());
        QVERIFY(std::all_of(buffer, buffer + room, [](QChar c) { return c.isNull(); }));

        // A buffer shared with another text is not this one's to wipe.
        const QString kept = QStringLiteral("secret").repeated(2);
        QString shared = kept;
        WipeText(shared);
        QCOMPARE(kept, QStringLiteral("secretsecret"));
    }

    void backupModeChecksTheGivenValueAndIgnoresTheCommandLine() {
        Fixture f(true, SecretText("zorvan"));
        f.vault.session->vault.UseKeyOf("zorvan");
        const auto before = Probe(f);
        f.dialog.BackupPass(QString::fromStdString(CheckValue("old")), true);
        QVERIFY(!f.vault.session->blnPassOK);
        f.dialog.passwordBox()->setText(QStringLiteral("zorvan"));
        f.dialog.okButton()->click();
        QCOMPARE(f.ui.messages, QStringList{kWrong});
        f.dialog.reject();
        QVERIFY(!f.vault.session->blnPassOK);
        QVERIFY(f.vault.session->vault.IsKeyOf("zorvan"));
        QCOMPARE(Probe(f), before);
    }

    // Long passwords, the same message for a wrong password and an altered file,
    // and the command line's password for the protected format.
    void protectedVaultOpensWithItsLongPasswordOnly() {
        const QString longPassword = QStringLiteral("長いパスワード").repeated(30);
        test::UiTempVault vault(true);
        {
            Vault upgrading(vault.session->paths);
            QVERIFY(upgrading.Open("zorvan"));
            upgrading.Upgrade(FromQ(longPassword), kKdfFloor);
        }
        const QString altered = QString::fromUtf8(protection::kWrongOrAltered);
        for (const auto& [given, typed, opens] :
             {std::tuple{QString(), QStringLiteral("zorvan"), false},
              std::tuple{QString(), longPassword, true},
              std::tuple{longPassword, QString(), true}}) {
            Session session(vault.session->paths);
            test::FakeUi ui;
            std::optional<SecretText> commandLine;
            if (!given.isNull()) {
                commandLine = SecretFromQ(given);
            }
            frmPass dialog(session, ui, std::move(commandLine));
            dialog.CheckPass(false);
            if (!typed.isNull()) {
                dialog.passwordBox()->setText(typed);
                QCOMPARE(dialog.passwordBox()->text(), typed);  // not cut to 16 bytes
                dialog.okButton()->click();
            }
            QCOMPARE(session.blnPassOK, opens);
            QCOMPARE(session.vault.IsOpen(), opens);
            QCOMPARE(ui.messages, opens ? QStringList{} : QStringList{altered});
        }
    }

    void unwritableSettingsKeepTheDialogOpenWithAMessage() {
        Fixture f(false);
        f.vault.Break(f.vault.session->paths.strIniFile);
        f.dialog.SetNewPass(false);
        f.dialog.okButton()->click();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(!f.vault.session->blnPassOK);
        QCOMPARE(f.mainShown, 0);
    }
};

const QString frmPassTest::kWrong = QStringLiteral("パスワードが違います");

}  // namespace zorvan

QTEST_MAIN(zorvan::frmPassTest)
#include "frmPassTest.moc"
