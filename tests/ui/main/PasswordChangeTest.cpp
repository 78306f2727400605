#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "platform/FileSteps.h"
#include "support/MainFixture.h"
#include "ui/Text.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/PasswordChange.h"
#include "vault/Cipher.h"
#include "vault/DurableFiles.h"
#include "vault/ItemReader.h"
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
        // Every item of every group, read from the files with the given password.
        QStringList Items(const std::string& password) const {
            const Cipher cipher(KeyBytes(password).span());
            const auto& paths = f.vault.session->paths;
            GroupIndex index(paths.strIdxFile);
            ItemReader reader(paths.strItmFile, cipher);
            QStringList items;
            for (const auto& name : index.GetGroupNames()) {
                const auto line = index.GetGroupItems(name);
                for (std::size_t i = 1; i < line.size(); ++i) {
                    const ItemRecord item = reader.Load(*ParseBlockNumber(line[i]));
                    items << ToQ(name + "/" + item.ItemName + "/" + item.AccountID + "/" +
                                 item.AccountPass + "/" + item.RelatedURL + "/" + item.AccountMemo);
                }
            }
            return items;
        }
        QString Status() const { return f.main->statusPanel(PasswordChange::kStatusPanel)->text(); }

        test::MainFixture f;
        std::unique_ptr<PasswordChange> change;
        QString typed;
        QString confirmed;
        int dialogs = 0;
        bool settingMode = false;
        std::vector<std::string> before;
    };

    static QStringList SampleItems() {
        return {"Web/Example/taro/p@ss{w}rd/https://example.com//first line\r\nsecond line",
                "Web/メール/hanako@example.jp/日本語パス//",
                "銀行/口座/12345678/0000/https://bank.example.jp//暗証番号", "Imported/abc////"};
    }

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
        QCOMPARE(x.Items("新しいパス"), SampleItems());  // the write-protected 銀行 too
        QVERIFY(x.Items("zorvan") != SampleItems());
        const auto after = x.Files();
        QCOMPARE(after[1], x.before[1]);  // index
        QCOMPARE(after[3], x.before[3]);  // bitmap
        QVERIFY(x.f.ui.messages.isEmpty());
        QVERIFY(!std::filesystem::exists(
            VaultJournal::StagedPath(x.f.vault.session->paths.strIniFile)));
    }

    void theRunningPasswordAgainChangesNothingAndShowsNoStatus() {
        Fixture x;
        const QString status = x.Status();
        x.typed = x.confirmed = QStringLiteral("zorvan");
        int steps = 0;
        Fixture::OnChangeSteps([&] { ++steps; });
        x.change->Run();
        QCOMPARE(x.dialogs, 1);
        QCOMPARE(steps, 0);
        QCOMPARE(x.Files(), x.before);
        QCOMPARE(x.Status(), status);
        QCOMPARE(x.Items("zorvan"), SampleItems());
    }

    void cancellingChangesNothingNotEvenTheSettingsFile() {
        Fixture x;  // nothing typed: the dialog is left without OK
        const QString status = x.Status();
        x.change->Run();
        QCOMPARE(x.Files(), x.before);
        QCOMPARE(x.Status(), status);
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
