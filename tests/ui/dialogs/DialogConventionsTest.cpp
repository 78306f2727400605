#include <QtTest>
#include <memory>

#include "support/MainFixture.h"
#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmGroup.h"
#include "ui/dialogs/frmImport.h"
#include "ui/dialogs/frmItem.h"
#include "ui/dialogs/frmOption.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/MainDialogs.h"

namespace zorvan {

// What the six dialogs do alike: kept on top while the main window is, closed as
// Cancel would by a plain Esc from whichever control has the focus (Shift+Esc does
// nothing), and nothing in the vault changes either way.
class DialogConventionsTest : public QObject {
    Q_OBJECT

private:
    static std::unique_ptr<QDialog> Make(const QString& name, test::MainFixture& f) {
        frmMain& main = *f.main;
        if (name == "frmItem") {
            return MainDialogs::Item(main);
        }
        if (name == "frmGroup") {
            auto dialog = MainDialogs::Group(main);
            dialog->PrepareGroupInfo(QStringLiteral("Web"), false);
            return dialog;
        }
        if (name == "frmImport") {
            return MainDialogs::Import(main);
        }
        if (name == "frmBackUp") {
            return std::make_unique<frmBackUp>(*f.vault.session, f.ui, main.topMost(), &main);
        }
        if (name == "frmOption") {
            return MainDialogs::Options(main);
        }
        auto dialog =
            std::make_unique<frmPass>(*f.vault.session, f.ui, std::optional<SecretText>{}, &main);
        dialog->SetNewPass(main.topMost());
        return dialog;
    }

private slots:
    void everyDialogFollowsTheMainWindowOnTopAndClosesOnAPlainEscape_data() {
        QTest::addColumn<QString>("dialog");
        for (const char* name :
             {"frmItem", "frmGroup", "frmImport", "frmBackUp", "frmOption", "frmPass"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void everyDialogFollowsTheMainWindowOnTopAndClosesOnAPlainEscape() {
        QFETCH(QString, dialog);
        test::MainFixture f;
        f.Open();
        f.Show(QStringLiteral("Web"));
        QVERIFY(!Make(dialog, f)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        f.main->SetTopMost(true, false);
        const auto before = f.vault.Files();
        const auto shown = Make(dialog, f);
        QVERIFY(shown->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        shown->show();
        QWidget* focus = shown->focusWidget() != nullptr ? shown->focusWidget() : shown.get();
        QTest::keyClick(focus, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(shown->isVisible());
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(!shown->isVisible());
        QCOMPARE(shown->result(), int(QDialog::Rejected));
        QCOMPARE(f.vault.Files(), before);
        QVERIFY(f.ui.messages.isEmpty());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::DialogConventionsTest)
#include "DialogConventionsTest.moc"
