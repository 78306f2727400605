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

// What the menu entries and toolbar buttons run; their captions come from
// MenuTables.h as they are.
class MainMenusTest : public QObject {
    Q_OBJECT

private slots:
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

    void toolbarButtonsShowOnlyAnImageNamedByTheirTooltip() {
        test::MainFixture f;
        auto& main = f.Open();
        for (QAction* action : main.menus().tlbButtons) {
            QVERIFY(action->isSeparator() || action->text().isEmpty());  // no captions
            QVERIFY(action->isSeparator() || !action->icon().isNull());
            // An image-only button is named for screen readers by its tooltip.
            QVERIFY(action->isSeparator() ||
                    main.menus().tlbMain->widgetForAction(action)->accessibleName() ==
                        action->toolTip());
        }
    }

    // Every entry or button of a command runs it, in the Edit menu, the context menu
    // and the toolbar alike.
    static void TriggerAll(const MainMenus& m, Command command) {
        for (QAction* action : m.Actions(command)) {
            action->trigger();
        }
    }

    void entriesRunTheirCommands() {
        test::MainFixture f;
        auto& main = f.Open();
        const auto& m = main.menus();
        TriggerAll(m, Command::kNewGroup);
        TriggerAll(m, Command::kRenameGroup);
        QCOMPARE(f.groupDialogs, (QStringList{"+新規グループ", "+新規グループ", "=Web", "=Web"}));
        TriggerAll(m, Command::kNewItem);
        QCOMPARE(f.itemDialogs, 3);
        TriggerAll(m, Command::kCopyPassword);  // disabled until a row is clicked
        QCOMPARE(f.ui.clipboard, QStringLiteral("<untouched>"));
        const QPoint row = main.itemList()->visualRect(main.itemModel()->index(0, 0)).center();
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, row);
        m.mnuPopupItem[5]->trigger();
        QCOMPARE(f.ui.clipboard, QStringLiteral("p@ss{w}rd"));
        m.ToolButton(3)->trigger();
        QCOMPARE(f.ui.clipboard, QStringLiteral("taro"));
        m.Find(Command::kOpenUrl)->trigger();
        QCOMPARE(f.ui.openedUrls, QStringList{QStringLiteral("https://example.com/")});
        m.Find(Command::kOptions)->trigger();
        QCOMPARE(f.optionDialogs, 1);
        m.Find(Command::kExit)->trigger();
        QVERIFY(!main.isVisible());
    }

    // Example's password holds braces, which the keystroke syntax would eat if the
    // window sent the text unquoted.
    void autoTypeEntriesTypeTheSelectedItem() {
        test::MainFixture f;
        f.Set("wait", "0");
        auto& main = f.Open();
        test::FakeKeyInjector injector;
        main.autoType().UseInjector(injector);
        const QPoint row = main.itemList()->visualRect(main.itemModel()->index(0, 0)).center();
        QTest::mouseClick(main.itemList()->viewport(), Qt::LeftButton, {}, row);
        main.menus().mnuSendkeysItem[0]->trigger();
        main.menus().mnuSendkeysItem[2]->trigger();
        QCOMPARE(injector.typed, (QStringList{"taro\tp@ss{w}rd", "p@ss{w}rd"}));
    }

    // How texts are laid out is seen in the list's hover and auto-type's countdown.
    void tooltipSitsBelowThePointerAndHidesOnAClickOrAfterFiveSeconds() {
        QWidget owner;
        frmTooltip tip(&owner);
        QCursor::setPos(300, 200);
        tip.ShowToolTip(QString(), QStringLiteral("memo"));
        QCOMPARE(tip.pos(), QCursor::pos() + QPoint(0, 24));
        QVERIFY(tip.hideTimer().isActive());
        QCOMPARE(tip.hideTimer().interval(), 5000);
        QVERIFY(tip.testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(tip.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QTest::mouseClick(&tip, Qt::LeftButton);
        QVERIFY(!tip.isVisible());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::MainMenusTest)
#include "MainMenusTest.moc"
