#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>
#include <deque>

#include "support/MainFixture.h"
#include "ui/ProtectionTexts.h"
#include "ui/Text.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/VaultUpgrade.h"
#include "vault/Vault.h"

namespace zorvan {

// The File menu's upgrade and legacy copy over the sample vault (password "zorvan"),
// with the password dialogs answered by the test in turn.
class VaultUpgradeTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Fixture() {
            f.Open();
            upgrade = std::make_unique<VaultUpgrade>(*f.main);
            upgrade->SetKdf(kKdfFloor);
            upgrade->SetPasswordDialogRunner([this](frmPass& dialog) {
                titles << dialog.windowTitle();
                if (typed.empty()) {
                    return;  // left without OK: cancelled
                }
                dialog.passwordBox()->setText(typed.front());
                dialog.confirmationBox()->setText(typed.front());
                typed.pop_front();
                dialog.okButton()->click();
            });
        }
        Vault& vault() const { return f.vault.session->vault; }
        QString Format() const { return f.main->findChild<QLabel*>("staFormat")->text(); }
        bool Offered(Command command) const { return f.main->menus().Find(command)->isEnabled(); }

        test::MainFixture f;
        std::unique_ptr<VaultUpgrade> upgrade;
        std::deque<QString> typed;
        QStringList titles;
    };

    static QString Long() { return QString(130, QChar(u'長')); }

private slots:
    void upgradeSealsTheVaultUnderTheNewPasswordAndLetsTheLegacyFilesGo() {
        Fixture x;
        QCOMPARE(x.Format(), QString::fromUtf8(protection::kStatusLegacy));
        QVERIFY(x.Offered(Command::kUpgradeVault) && !x.Offered(Command::kWriteLegacyCopy));
        const int rows = x.f.main->itemModel()->rowCount();
        x.typed = {QStringLiteral("zorvan"), Long()};
        x.upgrade->Upgrade();

        QCOMPARE(x.titles, (QStringList{QString::fromUtf8(protection::kCurrentPassword),
                                        QString::fromUtf8(protection::kNewPassword)}));
        QCOMPARE(x.vault().format(), VaultFormat::kProtected);
        QCOMPARE(x.Format(), QString::fromUtf8(protection::kStatusProtected));
        QVERIFY(!x.Offered(Command::kUpgradeVault) && x.Offered(Command::kWriteLegacyCopy));
        QCOMPARE(x.f.ui.messages.size(), 4);  // explanation, done, the offer, what was removed
        QVERIFY(x.f.ui.messages[2].contains(QStringLiteral("SSD")));
        const auto& paths = x.f.vault.session->paths;
        QVERIFY(!std::filesystem::exists(paths.strItmFile));
        Vault again(paths);
        QVERIFY(!again.Open("zorvan"));
        QVERIFY(again.Open(FromQ(Long())));
        x.f.Show(QStringLiteral("Web"));
        QVERIFY(x.f.main->itemModel()->rowCount() > 0);
        QCOMPARE(x.f.main->itemModel()->rowCount(), rows);
    }

    void aWrongCurrentPasswordOrACancelLeavesTheVaultLegacy() {
        for (const auto& typed :
             {std::deque<QString>{QStringLiteral("違う")},
              std::deque<QString>{QStringLiteral("zorvan")}, std::deque<QString>{}}) {
            Fixture x;
            x.typed = typed;
            const auto before = x.f.vault.ReadFile("Zorvan.itm");
            x.upgrade->Upgrade();
            QCOMPARE(x.vault().format(), VaultFormat::kLegacy);
            QVERIFY(!std::filesystem::exists(x.f.vault.session->paths.strSealedFile));
            QCOMPARE(x.f.vault.ReadFile("Zorvan.itm"), before);
            QVERIFY(x.vault().IsKeyOf("zorvan"));
        }
    }

    void declinedExplanationAsksForNothing() {
        Fixture x;
        x.f.ui.answers = {UiServices::Answer::kNo};
        x.upgrade->Upgrade();
        QVERIFY(x.titles.isEmpty());
        QCOMPARE(x.vault().format(), VaultFormat::kLegacy);
    }

    void legacyCopyOpensWithItsOwnPasswordInTheOlderFormat() {
        Fixture x;
        x.typed = {QStringLiteral("zorvan"), Long()};
        x.f.ui.answers = {UiServices::Answer::kYes, UiServices::Answer::kOk,
                          UiServices::Answer::kNo};  // the legacy files stay
        x.upgrade->Upgrade();
        QVERIFY(std::filesystem::exists(x.f.vault.session->paths.strItmFile));

        QTemporaryDir copyDir;
        x.f.ui.chosenFile = copyDir.path() + QStringLiteral("/copy");
        x.typed = {QStringLiteral("旧パス")};
        x.upgrade->WriteLegacyCopy();
        Vault copy(DataPaths::InFolder(Utf8ToPath(FromQ(x.f.ui.chosenFile))));
        QCOMPARE(copy.format(), VaultFormat::kLegacy);
        QVERIFY(copy.Open("旧パス"));
        // What the copy holds is ProtectedVaultTest's.
        QCOMPARE(copy.GroupNames(), x.vault().GroupNames());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::VaultUpgradeTest)
#include "VaultUpgradeTest.moc"
