#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/main/ListInteractions.h"
#include "ui/main/frmTooltip.h"

namespace zorvan {

// The item list's answers to the mouse, with real mouse events on its viewport.
class ListInteractionsTest : public QObject {
    Q_OBJECT

private:
    static QString Heading(frmMain& main, int column) {
        return main.itemModel()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    static QPoint RowCentre(frmMain& main, int row) {
        return main.itemList()->visualRect(main.itemModel()->index(row, 0)).center();
    }
    static QPoint Below(frmMain& main) {
        const int rows = main.itemModel()->rowCount();
        const QRect last = main.itemList()->visualRect(main.itemModel()->index(rows - 1, 0));
        return QPoint(last.center().x(), last.bottom() + 20);
    }
    static bool Enabled(frmMain& main, int button) {
        return main.menus().ToolButton(button)->isEnabled();
    }

    // Group "G" with items that differ in what they lack.
    static void Mixed(test::MainFixture& f) {
        f.AddGroup("G#0");
        f.AddItem("G", "b-no-url", "user", "pw", "", "line 1\r\nline 2");
        f.AddItem("G", "A-no-id", "", "pw", "https://a.example/", "");
        f.AddItem("G", "c-full", "id", "pw", "https://c.example/", "memo c");
    }

private slots:
    // A group load resets the headings but keeps the sort state.
    void headingClicksAlternateOrderStartingDescendingOnTheFirstColumn() {
        test::MainFixture f(false);
        Mixed(f);
        f.AddGroup("H#0");
        auto& main = f.Open();
        QCOMPARE(f.Names(), (QStringList{"c-full", "A-no-id", "b-no-url"}));
        main.listInteractions().lvwMain_ColumnClick(0);
        QCOMPARE(Heading(main, 0), QStringLiteral("名前 △"));
        QCOMPARE(f.Names(), (QStringList{"c-full", "b-no-url", "A-no-id"}));
        main.itemList()->horizontalHeader()->sectionClicked(0);
        QCOMPARE(Heading(main, 0), QStringLiteral("名前 ▽"));
        QCOMPARE(f.Names(), (QStringList{"A-no-id", "b-no-url", "c-full"}));
        main.listInteractions().lvwMain_ColumnClick(1);
        QCOMPARE(Heading(main, 0), QStringLiteral("名前"));
        QCOMPARE(Heading(main, 1), QStringLiteral("UserID ▽"));
        QCOMPARE(f.Names(), (QStringList{"A-no-id", "c-full", "b-no-url"}));
        f.Show(QStringLiteral("H"));
        QCOMPARE(Heading(main, 1), QStringLiteral("UserID"));
        main.listInteractions().lvwMain_ColumnClick(1);
        QCOMPARE(Heading(main, 1), QStringLiteral("UserID △"));
    }

    void sortingCarriesTheSelectionAndCurrentRowAlongAndKeepsTiesInOrder() {
        test::MainFixture f(false);
        Mixed(f);
        f.AddItem("G", "a-no-id", "", "pw");  // ties with "A-no-id" case-insensitively
        auto& main = f.Open();
        QCOMPARE(f.Names(), (QStringList{"a-no-id", "c-full", "A-no-id", "b-no-url"}));
        f.SelectRows({2, 3});
        main.itemList()->selectionModel()->setCurrentIndex(main.itemModel()->index(2, 0),
                                                           QItemSelectionModel::NoUpdate);
        main.listInteractions().lvwMain_ColumnClick(0);
        main.listInteractions().lvwMain_ColumnClick(0);
        QCOMPARE(f.Names(), (QStringList{"a-no-id", "A-no-id", "b-no-url", "c-full"}));
        QCOMPARE(f.SelectedRows(), (QList<int>{1, 2}));
        QCOMPARE(main.itemList()->currentIndex().row(), 1);
    }

    void rowClickEnablesExactlyTheCommandsThatApply() {
        test::MainFixture f(false);
        Mixed(f);
        auto& main = f.Open();
        QVERIFY(!Enabled(main, 3) && !Enabled(main, 6));  // nothing selected after a load
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, RowCentre(main, 1));
        QVERIFY(!Enabled(main, 3));  // no user ID
        QVERIFY(Enabled(main, 4));
        QVERIFY(Enabled(main, 5));
        QVERIFY(Enabled(main, 6));
        QVERIFY(!main.menus().mnuEditItem[6]->isEnabled());
        QVERIFY(main.menus().mnuPopupItem[7]->isEnabled());
        QVERIFY(main.menus().mnuPopupItem[0]->isEnabled());
        QCOMPARE(main.statusPanel(1)->text(), QStringLiteral("https://a.example/"));
        QCOMPARE(main.state().intEditIndex, 2);
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, RowCentre(main, 2));
        QVERIFY(Enabled(main, 3));
        QVERIFY(!Enabled(main, 5));  // no URL
        QVERIFY(main.statusPanel(1)->text().isEmpty());
        // The keyboard does the same: Up selects the row above and offers its commands.
        main.itemList()->setFocus();
        QTest::keyClick(main.itemList(), Qt::Key_Up);
        QCOMPARE(main.state().intEditIndex, 2);
        QVERIFY(!Enabled(main, 3));
        QVERIFY(Enabled(main, 5));
    }

    void clickOnEmptySpaceDisablesCommandsAndKeepsSelectionWithCtrl() {
        test::MainFixture f(false);
        Mixed(f);
        auto& main = f.Open();
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, RowCentre(main, 0));
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          Below(main));
        QCOMPARE(f.SelectedRows(), QList<int>{0});
        QVERIFY(!Enabled(main, 6));
        QVERIFY(!main.menus().mnuPopupItem[0]->isEnabled());
        main.itemModel()->RemoveRow(2);  // as a move would
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, Below(main));
        QVERIFY(f.SelectedRows().isEmpty());
        QCOMPARE(main.statusPanel(1)->text(), QStringLiteral("2個のアイテムがあります"));
    }

    void doubleClickOpensTheItemDialogForTheClickedRow() {
        test::MainFixture f;
        auto& main = f.Open();
        // A double click starts with a press, which selects the row.
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, RowCentre(main, 1));
        QTest::mouseDClick(main.itemList()->viewport(), Qt::LeftButton, {}, RowCentre(main, 1));
        QCOMPARE(f.itemDialogs, 1);
        QCOMPARE(main.state().intEditIndex, 2);
    }

    void rightButtonReleaseOpensTheContextMenu() {
        test::MainFixture f;
        auto& main = f.Open();
        QTest::mouseClick(main.itemList()->viewport(), Qt::RightButton, {}, Below(main));
        QVERIFY(main.menus().mnuPopup->isVisible());
        QVERIFY(main.menus().mnuPopupItem[2]->isEnabled());  // new item stays usable
        QVERIFY(!main.menus().mnuPopupItem[4]->isEnabled());
        main.menus().mnuPopup->hide();
    }

    void hoverShowsTheRowsMemoOnlyWhileTooltipsAreOn() {
        test::MainFixture f(false);
        Mixed(f);
        auto& main = f.Open();
        auto& list = main.listInteractions();
        list.lvwMain_MouseMove(RowCentre(main, 2));
        QVERIFY(main.tooltip()->isVisible());
        QCOMPARE(main.tooltip()->shownText(), QStringLiteral(" line 1 \r\n  line 2 "));
        QCOMPARE(main.tipIndex(), 2);
        list.lvwMain_MouseMove(RowCentre(main, 1));  // no memo
        QVERIFY(!main.tooltip()->isVisible());
        QCOMPARE(main.tipIndex(), 1);
        list.lvwMain_MouseMove(Below(main));
        QCOMPARE(main.tipIndex(), -1);
        main.SetToolTipEnabled(false, false);
        list.lvwMain_MouseMove(RowCentre(main, 0));
        QVERIFY(!main.tooltip()->isVisible());
        QCOMPARE(main.tipIndex(), -1);
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::ListInteractionsTest)
#include "ListInteractionsTest.moc"
