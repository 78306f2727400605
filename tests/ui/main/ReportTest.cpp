#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/Session.h"
#include "ui/dialogs/frmReport.h"
#include "ui/main/ItemList.h"

namespace zorvan {

// "パスワードの診断" and the expiry line after login, over the sample vault (its
// メール expired in 2003) with one more item that expires in five days.
class ReportTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::MainFixture {
        Fixture() {
            ItemRecord soon;
            soon.ItemName = "soon";
            soon.AccountPass = "p@ss{w}rd";  // the same as Example's
            soon.Expire = 1;
            soon.ExpireDate = ItemList::Today() + 5;
            soonBlock = vault.session->vault.SaveItem("Web", soon, kNoBlock);
            Open();
        }
        QString ExpiryLine() const { return main->findChild<QLabel*>("staExpiry")->text(); }
        BlockNumber soonBlock = kNoBlock;
    };

    // The section titles and, under each, its rows' names (a reused set's rows
    // joined by "+").
    static QStringList Sections(const QTreeWidget& tree) {
        QStringList lines;
        for (int i = 0; i < tree.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* section = tree.topLevelItem(i);
            QStringList names;
            for (int j = 0; j < section->childCount(); ++j) {
                const QTreeWidgetItem* row = section->child(j);
                QStringList set;
                for (int k = 0; k < row->childCount(); ++k) {
                    set << row->child(k)->text(0);
                }
                names << (set.isEmpty() ? row->text(0) : set.join(QLatin1Char('+')));
            }
            lines << section->text(0) + QLatin1Char(':') + names.join(QLatin1Char(','));
        }
        return lines;
    }

private slots:
    void loginShowsTheExpiryCountsAsALink() {
        Fixture f;
        QCOMPARE(f.ExpiryLine(),
                 QStringLiteral("<a href=\"report\">期限切れ 1件・期限間近 1件</a>"));
        f.Set("expirydays", "3");
        f.main->ShowExpiry();
        QCOMPARE(f.ExpiryLine(),
                 QStringLiteral("<a href=\"report\">期限切れ 1件・期限間近 0件</a>"));
    }

    void reportListsEachKindAndOpensTheChosenItem() {
        Fixture f;
        const VaultReport report(f.vault.session->vault, ItemList::Today(), 14);
        frmReport dialog(report, 14, f.main.get());
        const QStringList sections = Sections(*dialog.tree());
        QCOMPARE(sections.size(), 4);
        QVERIFY(sections[1].startsWith(QStringLiteral("使い回しのパスワード（1）:")));
        QVERIFY(sections[1].contains(QStringLiteral("soon+Example")));
        QCOMPARE(sections[2], QStringLiteral("期限切れ（1）:メール"));
        QCOMPARE(sections[3], QStringLiteral("期限間近（14日以内）（1）:soon"));

        QTreeWidgetItem* soonRow = dialog.tree()->topLevelItem(3)->child(0);
        emit dialog.tree()->itemActivated(soonRow, 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosen()->block, f.soonBlock);
        f.Show(QStringLiteral("銀行"));
        f.main->OpenItem(dialog.chosen()->group, dialog.chosen()->block);
        QCOMPARE(f.main->groupSelector()->currentText(), QStringLiteral("Web"));
        QCOMPARE(f.Names().at(f.SelectedRows().front()), QStringLiteral("soon"));
        QCOMPARE(f.itemDialogs, 1);
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::ReportTest)
#include "ReportTest.moc"
