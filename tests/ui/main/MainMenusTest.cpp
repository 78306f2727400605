#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

#include "support/FakeKeyInjector.h"
#include "support/MainFixture.h"
#include "ui/main/AutoType.h"
#include "ui/main/frmTooltip.h"

namespace zorvan {

// The menus and the toolbar exactly as the user sees them, and what each entry runs.
class MainMenusTest : public QObject {
    Q_OBJECT

private:
    // "caption|shortcut" per entry; "-" for a separator.
    static QStringList Describe(const std::vector<QAction*>& actions) {
        QStringList entries;
        for (const QAction* action : actions) {
            entries << (action->isSeparator()
                            ? QStringLiteral("-")
                            : action->text() + QLatin1Char('|') +
                                  action->shortcut().toString(QKeySequence::PortableText));
        }
        return entries;
    }

private slots:
    void menuBarHoldsFileEditViewAndAutoTypeInOrder() {
        test::MainFixture f;
        auto& main = f.Open();
        QStringList titles;
        for (const QAction* action : main.menuBar()->actions()) {
            titles << action->text();
        }
        QCOMPARE(titles, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "定型貼付(&S)",
                                      "ヘルプ(&H)"}));
    }

    void aboutBoxNamesTheVersionTheDataFolderAndTheFormat() {
        test::MainFixture f;
        auto& main = f.Open();
        main.menus().mnuHelpItem[0]->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        const QString about = f.ui.messages.front();
        const QString folder = QDir::toNativeSeparators(
            QString::fromStdU16String(f.vault.session->paths.strIniFile.parent_path().u16string()));
        for (const QString& part : {QStringLiteral("Zorvan 0.0.5"), folder,
                                    QStringLiteral("従来形式"), QStringLiteral("Qt ")}) {
            QVERIFY2(about.contains(part), qPrintable(about));
        }
    }

    void menuEntriesHaveTheirCaptionsAndShortcuts() {
        test::MainFixture f;
        auto& main = f.Open();
        const auto& m = main.menus();
        QCOMPARE(Describe(m.mnuFileItem),
                 (QStringList{"インポート/エクスポート|Ctrl+I", "-", "起動パスワードの変更|Ctrl+P",
                              "-", "バックアップ|Ctrl+B", "-", "終了(&E)|"}));
        QCOMPARE(
            Describe(m.mnuEditItem),
            (QStringList{"グループの追加|Ctrl+Ins", "グループの削除|", "グループ名変更|", "-",
                         "新規アイテム作成|", "-", "IDのコピー|Ctrl+Q", "パスワードのコピー|Ctrl+W",
                         "URLのオープン|Ctrl+R", "アイテムのプロパティ|"}));
        QCOMPARE(Describe(m.mnuViewItem),
                 (QStringList{"ツールバー(&B)|", "ステータスバー(&S)|", "グリッド(&G)|Ctrl+G",
                              "ツールチップ(&T)|Ctrl+O", "パスワード(&P)|Ctrl+H", "-",
                              "最前面に表示(&M)|Ctrl+T", "-", "オプション(&O)|"}));
        QCOMPARE(Describe(m.mnuSendkeysItem),
                 (QStringList{"ID + TAB + PASS|Ctrl+D", "ID|", "PASS|", "PASS(- を無視)|",
                              "PASS(- をTABに置換)|"}));
        QCOMPARE(Describe(m.mnuPopupItem),
                 (QStringList{"移動|", "-", "新規アイテム|", "-", "IDのコピー|", "PASSのコピー|",
                              "URLを開く|", "アイテムのプロパティ|"}));
        QVERIFY(m.mnuPopupItem[0]->menu() == m.mnuMove);
        QVERIFY(!main.menuBar()->actions().contains(m.mnuPopup->menuAction()));
    }

    void toolbarHasFourteenButtonsWithTooltipsAndSeparators() {
        test::MainFixture f;
        auto& main = f.Open();
        QStringList buttons;
        for (QAction* action : main.menus().tlbButtons) {
            buttons << (action->isSeparator() ? QStringLiteral("-") : action->toolTip());
            QVERIFY(action->isSeparator() || action->text().isEmpty());  // no captions
            QVERIFY(action->isSeparator() || !action->icon().isNull());
            // An image-only button is named for screen readers by its tooltip.
            QVERIFY(action->isSeparator() ||
                    main.menus().tlbMain->widgetForAction(action)->accessibleName() ==
                        action->toolTip());
        }
        QCOMPARE(buttons,
                 (QStringList{"アイテムの追加", "-", "IDのコピー", "Passwordのコピー", "URLを開く",
                              "プロパティ", "-", "最前面に表示", "-", "グループの追加",
                              "グループの削除", "グループ名の変更", "-", "定型貼付け"}));
    }

    void entriesDispatchByIndex() {
        test::MainFixture f;
        auto& main = f.Open();
        const auto& m = main.menus();
        m.mnuEditItem[0]->trigger();
        m.ToolButton(10)->trigger();
        m.ToolButton(12)->trigger();
        m.mnuEditItem[2]->trigger();
        QCOMPARE(f.groupDialogs, (QStringList{"+新規グループ", "+新規グループ", "=Web", "=Web"}));
        m.mnuEditItem[4]->trigger();
        m.mnuPopupItem[2]->trigger();
        m.ToolButton(1)->trigger();
        QCOMPARE(f.itemDialogs, 3);
        m.mnuPopupItem[5]->trigger();  // disabled until a row is clicked
        QCOMPARE(f.ui.clipboard, QStringLiteral("<untouched>"));
        const QPoint row = main.itemList()->visualRect(main.itemModel()->index(0, 0)).center();
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, row);
        m.mnuPopupItem[5]->trigger();
        QCOMPARE(f.ui.clipboard, QStringLiteral("p@ss{w}rd"));
        m.ToolButton(3)->trigger();
        QCOMPARE(f.ui.clipboard, QStringLiteral("taro"));
        m.mnuEditItem[8]->trigger();
        QCOMPARE(f.ui.openedUrls, QStringList{QStringLiteral("https://example.com/")});
        m.mnuViewItem[8]->trigger();
        QCOMPARE(f.optionDialogs, 1);
        m.mnuFileItem[6]->trigger();
        QVERIFY(!main.isVisible());
    }

    void autoTypeEntriesTypeTheSelectedItem() {
        test::MainFixture f;
        WriteSetting(f.vault.session->paths.strIniFile, "Zorvan", "wait", "0");
        auto& main = f.Open();
        test::FakeKeyInjector injector;
        main.autoType().UseInjector(injector);
        const QPoint row = main.itemList()->visualRect(main.itemModel()->index(0, 0)).center();
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, row);
        main.menus().mnuSendkeysItem[0]->trigger();
        main.menus().mnuSendkeysItem[2]->trigger();
        QCOMPARE(injector.typed, (QStringList{"taro\tp@ss{w}rd", "p@ss{w}rd"}));
    }

    void tooltipSitsBelowThePointerAndAClickHidesIt() {
        QWidget owner;
        frmTooltip tip(&owner);
        QCursor::setPos(300, 200);
        tip.ShowToolTip(QString(), QStringLiteral("memo"));
        QCOMPARE(tip.pos(), QCursor::pos() + QPoint(0, 24));
        QVERIFY(tip.testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(tip.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QTest::mouseClick(&tip, Qt::LeftButton);
        QVERIFY(!tip.isVisible());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::MainMenusTest)
#include "MainMenusTest.moc"
