#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/Session.h"
#include "ui/main/ItemSearch.h"

namespace zorvan {

// Find as you type over the sample vault (Web: Example, メール; 銀行, write-protected:
// 口座; Imported: abc), through the window's own box and commands.
class ItemSearchTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::MainFixture {
        Fixture() {
            Open();
            Show(QStringLiteral("Web"));
        }
        void Type(const QString& text) const { main->searchBox()->setText(text); }
        int Row(const QString& name) const { return static_cast<int>(Names().indexOf(name)); }
    };

private slots:
    // Which fields match and how texts fold is SearchIndexTest's; here the box's
    // text reaches it, and the hits of every group show with their group.
    void matchesAcrossGroupsButNeverPasswords_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("folded user ID")
            << QStringLiteral("ｔａｒｏ") << QStringList{"Example"} << QStringList{"Web"};
        QTest::newRow("memo in another group")
            << QStringLiteral("暗証") << QStringList{"口座"} << QStringList{"銀行"};
        QTest::newRow("a password")
            << QStringLiteral("日本語パス") << QStringList{} << QStringList{};
    }

    void matchesAcrossGroupsButNeverPasswords() {
        QFETCH(QString, query);
        QFETCH(QStringList, names);
        QFETCH(QStringList, groups);
        Fixture f;
        f.Type(query);
        QCOMPARE(f.main->itemModel()->columnCount(), 4);
        QCOMPARE(f.Names(), names);
        QCOMPARE(f.Names(3), groups);
    }

    void ctrlFFocusesTheBoxAndEscGoesBackToTheGroup() {
        Fixture f;
        const QStringList group = f.Names();
        QTest::keyClick(f.main->itemList(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.main->searchBox()->hasFocus());
        QTest::keyClicks(f.main->searchBox(), QStringLiteral("abc"));
        QCOMPARE(f.Names(), QStringList{"abc"});
        QTest::keyClick(f.main->searchBox(), Qt::Key_Escape);
        QVERIFY(f.main->searchBox()->text().isEmpty());
        QCOMPARE(f.main->itemModel()->columnCount(), 3);
        QCOMPARE(f.Names(), group);
    }

    // Each command acts on the result's own group, and a change shows in the next search.
    void commandsWorkOnResultsInTheirOwnGroups() {
        Fixture f;
        f.Type(QStringLiteral("a"));  // Example, 口座 (by its URL), abc
        f.SelectRows({f.Row(QStringLiteral("口座"))});
        f.main->commands().DeleteSelectedItems();
        QCOMPARE(f.Line("銀行").size(), 2u);  // a write-protected group keeps its items

        f.SelectRows({f.Row(QStringLiteral("abc"))});
        f.main->commands().MoveSelectedItems(QStringLiteral("Web"));
        QCOMPARE(f.Line("Imported").size(), 1u);
        QCOMPARE(f.Line("Web").size(), 4u);

        f.Type(QStringLiteral("exa"));
        f.SelectRows({f.Row(QStringLiteral("Example"))});
        f.main->commands().UseSelectedItem(ItemCommands::kCopyPassword);
        QCOMPARE(f.ui.clipboard, QStringLiteral("p@ss{w}rd"));

        f.main->commands().DeleteSelectedItems();
        f.Type(QStringLiteral("exam"));
        QVERIFY(!f.Names().contains(QStringLiteral("Example")));
        QCOMPARE(f.Line("Web").size(), 3u);
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::ItemSearchTest)
#include "ItemSearchTest.moc"
