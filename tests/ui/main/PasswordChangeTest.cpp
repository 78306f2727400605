#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "platform/FileSteps.h"
#include "support/MainFixture.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/PasswordChange.h"
#include "vault/Cipher.h"
#include "vault/DurableFiles.h"
#include "vault/VaultJournal.h"

namespace zorvan {

// The File menu's master password change over the sample vault (password
// "zorvan"), with the password dialog answered by the test.
class PasswordChangeTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Fixture() {
            f.vault.session->vault.UseKeyOf("zorvan");
            f.Open();
            change = std::make_unique<PasswordChange>(*f.main);
            change->SetPasswordDialogRunner([this](frmPass& dialog) {
                ++dialogs;
                settingMode = dialog.confirmationBox()->isEnabled();
                dialog.passwordBox()->setText(typed);
                dialog.confirmationBox()->setText(confirmed);
                if (!typed.isNull()) {
                    dialog.okButton()->click();
                }
            });
            before = Files();
        }
        ~Fixture() { durable::SetStepHook(nullptr); }

        // Calls step for each file step of the change itself: the steps on the
        // vault's files, the staged ones and the journal, not those of the password
        // dialog's scratch settings file.
        static void OnChangeSteps(std::function<void()> step) {
            filesteps::SetHook(
                [step = std::move(step)](std::string_view, const std::filesystem::path& file) {
                    const std::string name = file.filename().string();
                    if (name.starts_with("Zorvan.") && !name.starts_with("Zorvan.ini.pwd")) {
                        step();
                    }
                });
        }

        std::vector<std::string> Files() const { return f.vault.Files(); }
        QString Status() const { return f.main->statusPanel(PasswordChange::kStatusPanel)->text(); }

        test::MainFixture f;
        std::unique_ptr<PasswordChange> change;
        QString typed;
        QString confirmed;
        int dialogs = 0;
        bool settingMode = false;
        std::vector<std::string> before;
    };

private slots:
    void newPasswordReenciphersEveryGroup() {
        Fixture x;
        x.typed = x.confirmed = QStringLiteral("新しいパス");
        x.change->Run();
        QVERIFY(x.settingMode);
        // The status text while it runs is LongOperationTest's.
        QCOMPARE(x.Status(), QStringLiteral("パスワード変更処理完了"));
        QVERIFY(x.f.vault.session->vault.IsKeyOf("新しいパス"));
        QCOMPARE(x.f.Setting("pass"), CheckValue("新しいパス"));
        // How each record is enciphered anew is MasterPasswordChangeTest's; here the
        // window reads them with the key now in force, in a write-protected group too.
        x.f.Show(QStringLiteral("銀行"));
        QCOMPARE(x.f.main->itemModel()->row(0).password, QStringLiteral("0000"));
        const auto after = x.Files();
        QCOMPARE(after[1], x.before[1]);  // index
        QCOMPARE(after[3], x.before[3]);  // bitmap
        QVERIFY(x.f.ui.messages.isEmpty());
        QVERIFY(!std::filesystem::exists(
            VaultJournal::StagedPath(x.f.vault.session->paths.strIniFile)));
    }

    // Not even the settings file is written, and nothing is told.
    void cancelOrThePasswordInForceChangesNothing_data() {
        QTest::addColumn<QString>("typed");  // empty: the dialog is left without OK
        QTest::newRow("cancelled") << QString();
        QTest::newRow("the password in force") << QStringLiteral("zorvan");
    }
    void cancelOrThePasswordInForceChangesNothing() {
        QFETCH(QString, typed);
        Fixture x;
        const QString status = x.Status();
        x.typed = x.confirmed = typed.isEmpty() ? QString() : typed;
        int steps = 0;
        Fixture::OnChangeSteps([&] { ++steps; });
        x.change->Run();
        QCOMPARE(x.dialogs, 1);
        QCOMPARE(steps, 0);
        QCOMPARE(x.Files(), x.before);
        QCOMPARE(x.Status(), status);
        QVERIFY(x.f.ui.messages.isEmpty());
        QVERIFY(x.f.vault.session->vault.IsKeyOf("zorvan"));
        QVERIFY(!std::filesystem::exists(
            VaultJournal::StagedPath(x.f.vault.session->paths.strIniFile)));
    }

    void failedChangeIsReportedAndTheOldPasswordStaysInForce() {
        Fixture x;
        x.typed = x.confirmed = QStringLiteral("new");
        durable::SetStepHook([](std::string_view step) {
            if (step == "settings") {
                throw std::runtime_error("disk full");
            }
        });
        x.change->Run();
        durable::SetStepHook(nullptr);
        QCOMPARE(x.f.ui.messages, QStringList{QStringLiteral("disk full")});
        QVERIFY(x.Status().isEmpty());
        QCOMPARE(x.Files(), x.before);
        QVERIFY(x.f.vault.session->vault.IsKeyOf("zorvan"));
        // The key in force is still the old one: the shown list reloads correctly.
        x.f.Show(QStringLiteral("銀行"));
        QCOMPARE(x.f.main->itemModel()->row(0).password, QStringLiteral("0000"));
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::PasswordChangeTest)
#include "PasswordChangeTest.moc"
