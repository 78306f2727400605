#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/Transparency.h"
#include "ui/WindowServices.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/Cipher.h"
#include "vault/Settings.h"

namespace zorvan {

// The main window frame: its load sequence, view switches, layout and closing, on
// the sample vault unless said otherwise. The countdown is AutoTypeTest's.
class frmMainTest : public QObject {
    Q_OBJECT

private:
    using Fixture = test::MainFixture;

private slots:
    void firstStartShowsTheBuiltInView() {
        Fixture f(false);
        auto& main = f.Open();
        QCOMPARE(main.windowTitle(), QStringLiteral("Zorvan 0.0.5"));
        QCOMPARE(main.pos(), QPoint(0, 0));
        const auto& view = main.menus().mnuViewItem;
        for (const int i : {0, 1, 2, 3, 4}) {
            QVERIFY2(view[i]->isChecked(), qPrintable(QString::number(i)));
        }
        QVERIFY(!view[6]->isChecked());
        QVERIFY(main.menus().tlbMain->isVisible());
        QVERIFY(main.statusBar()->isVisible());
        QVERIFY(main.itemList()->showGrid());
        QCOMPARE(main.windowOpacity(), 1.0);
        QCOMPARE(main.groupSelector()->count(), 0);
        QCOMPARE(main.itemModel()->rowCount(), 0);
        QCOMPARE(main.itemModel()->columnCount(), 3);
        QCOMPARE(main.itemList()->columnWidth(0), main.width() * 2 / 5);
        QCOMPARE(main.itemList()->columnWidth(1), main.width() / 4);
    }

    void loadShowsTheLastGroup_data() {
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("protection");
        QTest::newRow("write-protected") << "銀行"
                                         << "銀行" << QStringList{"口座"} << "書込禁止";
        QTest::newRow("none stored: the first") << ""
                                                << "Web" << QStringList{"Example", "メール"} << "";
        // Names compare case-sensitively.
        QTest::newRow("vanished: none") << "web"
                                        << "" << QStringList{} << "";
    }
    void loadShowsTheLastGroup() {
        QFETCH(QString, last);
        QFETCH(QString, shown);
        QFETCH(QStringList, names);
        QFETCH(QString, protection);
        Fixture f;
        f.Set("lastgroup", last.toStdString());
        auto& main = f.Open();
        QCOMPARE(main.groupSelector()->count(), 4);
        QCOMPARE(main.groupSelector()->currentText(), shown);
        QCOMPARE(main.state().strCurrentGroup, shown);
        QCOMPARE(f.Names(), names);
        QCOMPARE(main.statusPanel(2)->text(), protection);
        QCOMPARE(main.state().blnReadOnlyGroup, !protection.isEmpty());
        QVERIFY(main.itemList()->selectionModel()->selectedRows().isEmpty());
        if (!shown.isEmpty()) {
            QCOMPARE(f.Setting("lastgroup"), shown.toStdString());
            QCOMPARE(main.statusPanel(1)->text(),
                     QString::number(names.size()) + QStringLiteral("個のアイテムがあります"));
        }
    }

    // Closing stores the view switches, changed or not, but never the geometry.
    void viewSwitchesPersistAcrossARestart() {
        Fixture f;
        {
            auto& main = f.Open();
            main.move(30, 40);
            auto& view = main.menus().mnuViewItem;
            view[0]->trigger();                     // toolbar off
            view[2]->trigger();                     // grid off
            view[3]->trigger();                     // tooltips off
            view[4]->trigger();                     // passwords masked, written at once
            main.menus().ToolButton(8)->trigger();  // topmost on, written at once
            QVERIFY(view[6]->isChecked());
            QCOMPARE(f.Setting("passview"), std::string("False"));
            QCOMPARE(f.Setting("topmost"), std::string("True"));
            QCOMPARE(f.Setting("toolbar"), std::string("<absent>"));
            QVERIFY(!main.menus().tlbMain->isVisible());
            QCOMPARE(f.Names(2).front(), QString(18, QLatin1Char('*')));
            main.close();
        }
        QCOMPARE(f.Setting("left"), std::string("<absent>"));
        QCOMPARE(f.Setting("width"), std::string("<absent>"));
        QCOMPARE(f.Setting("toolbar"), std::string("False"));
        QCOMPARE(f.Setting("statusbar"), std::string("True"));
        QCOMPARE(f.Setting("glidline"), std::string("False"));
        QCOMPARE(f.Setting("tooltip"), std::string("False"));
        auto& again = f.Open();
        const auto& view = again.menus().mnuViewItem;
        QVERIFY(!view[0]->isChecked());
        QVERIFY(!again.menus().tlbMain->isVisible());
        QVERIFY(!again.itemList()->showGrid());
        QVERIFY(!again.toolTipsEnabled());
        QVERIFY(!view[4]->isChecked());
        QVERIFY(view[6]->isChecked() && again.menus().ToolButton(8)->isChecked());
        QVERIFY(again.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        again.menus().ToolButton(8)->trigger();
        QVERIFY(!view[6]->isChecked());
        QCOMPARE(f.Setting("topmost"), std::string("False"));
        QCOMPARE(f.Names(2).front(), QString(18, QLatin1Char('*')));
    }

    void showingPasswordsAgainReadsThemFromTheVault() {
        Fixture f;
        auto& main = f.Open();
        main.SetPassView(false, false);
        QCOMPARE(f.Names(2).back(), QString(10, QLatin1Char('*')));
        main.SetPassView(true, false);
        QCOMPARE(f.Names(2).back(), QStringLiteral("日本語パス"));
    }

    void storedGeometryIsRestoredInPixels() {
        Fixture f;
        f.Set("left", "1500");
        f.Set("top", "750");
        f.Set("width", "9000");
        f.Set("height", "6000");
        auto& main = f.Open();
        const double tppX = window::TwipsPerPixelX(&main);
        const double tppY = window::TwipsPerPixelY(&main);
        QCOMPARE(main.pos(),
                 QPoint(window::TwipsToPixels(1500, tppX), window::TwipsToPixels(750, tppY)));
        QCOMPARE(main.size(),
                 QSize(window::TwipsToPixels(9000, tppX), window::TwipsToPixels(6000, tppY)));
    }

    void badStoredValuesFallBackAndTheWindowStillOpens() {
        Fixture f;
        f.Set("width", "wide");
        f.Set("toolbar", "maybe");
        f.Set("transparency", "999");
        // A record beyond the item file, first on the line: left out, the rest loads.
        GroupIndex(f.vault.session->paths.strIdxFile).UpdateGroupLine("Web", kNoBlock, 999);
        auto& main = f.Open();
        QVERIFY(main.isVisible());
        QVERIFY(main.menus().tlbMain->isVisible());
        QCOMPARE(main.windowOpacity(), 1.0);
        QCOMPARE(main.groupSelector()->count(), 4);
        QCOMPARE(f.Names(), (QStringList{"Example", "メール"}));
        QCOMPARE(main.statusPanel(1)->text(), QStringLiteral("3個のアイテムがあります"));
    }

    void listNeverGetsANegativeHeight() {
        Fixture f;
        auto& main = f.Open();
        main.resize(120, 10);
        QCoreApplication::processEvents();
        QVERIFY(main.itemList()->height() >= 0);
        main.SetStatusBarVisible(false, false);
        main.resize(400, 300);
        QCoreApplication::processEvents();
        QVERIFY(main.itemList()->height() > 0);
        QVERIFY(main.itemList()->geometry().top() >= main.groupSelector()->geometry().bottom());
    }

    void transparencyAcceptsOnlyByteLevels() {
        QWidget window;
        QVERIFY(SetTransparency(&window, 128));
        QVERIFY(qAbs(window.windowOpacity() - 128 / 255.0) < 0.01);
        QVERIFY(!SetTransparency(&window, 300));
        QVERIFY(!SetTransparency(&window, -1));
        QVERIFY(qAbs(window.windowOpacity() - 128 / 255.0) < 0.01);
        QVERIFY(SetTransparency(&window, 255));
        QCOMPARE(window.windowOpacity(), 1.0);
    }

    void rowsMaskPasswordsAndMarkExpiry() {
        QCOMPARE(ItemList::Mask(QStringLiteral("abc")), QStringLiteral("******"));
        QCOMPARE(ItemList::Mask(QString()), QString());
        QCOMPARE(ItemList::ExpiryIcon(false, 0, 40000), 1);
        QCOMPARE(ItemList::ExpiryIcon(true, 40000, 40000), 2);  // expires today
        QCOMPARE(ItemList::ExpiryIcon(true, 40001, 40000), 3);
        QCOMPARE(ItemList::ExpiryIcon(true, 39999, 40000), 2);
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::frmMainTest)
#include "frmMainTest.moc"
