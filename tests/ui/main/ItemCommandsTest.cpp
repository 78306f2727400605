#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QtTest>

#include <stdexcept>

#include "platform/FileSteps.h"
#include "support/MainFixture.h"
#include "ui/ClipboardClearer.h"
#include "ui/main/ItemList.h"

namespace zorvan {

// Deleting, using and moving items, and removing groups, through the main window's
// commands, checked against the vault files afterwards.
class ItemCommandsTest : public QObject {
    Q_OBJECT

private:
    using Rows = QList<int>;
    static const QString kErase;

private slots:
    void newItemNeedsASelectedGroup() {
        test::MainFixture f(false);
        auto& main = f.Open();
        main.commands().NewItem();
        QCOMPARE(f.ui.messages, QStringList{QStringLiteral(
                                    "グループの選択ができていないのでアイテムを追加できません")});
        QCOMPARE(f.itemDialogs, 0);
        main.commands().GroupProperties();
        main.commands().DeleteGroup();
        QVERIFY(f.groupDialogs.isEmpty());
        QCOMPARE(f.ui.messages.size(), 1);
        main.commands().NewGroup();
        QCOMPARE(f.groupDialogs, QStringList{QStringLiteral("+新規グループ")});
    }

    void newItemAndPropertiesHandTheRowToTheDialog() {
        test::MainFixture f;
        auto& main = f.Open();
        main.commands().ItemProperties();
        QCOMPARE(f.itemDialogs, 0);  // nothing selected
        main.commands().NewItem();
        QCOMPARE(f.itemDialogs, 1);
        QCOMPARE(main.state().intEditIndex, -1);
        QCOMPARE(main.state().intEditSlot, 0);
        f.SelectRows({1});
        main.commands().ItemProperties();
        QCOMPARE(f.itemDialogs, 2);
        QCOMPARE(main.state().intEditIndex, 2);
        QCOMPARE(main.state().intEditSlot, main.itemModel()->row(1).tag);
    }

    // Asked once, the rows and their records go, their blocks are the first to be
    // used again and the row after them takes the selection. Cancelled, or when
    // the index cannot be written, every row and block stays.
    void deletingRowsFreesThemAndSelectsTheFollowingRow_data() {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("outcome");  // empty, "cancel" or the failure's message
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<Rows>("selected");
        const auto row = [](const char* name, const Rows& rows, const char* outcome,
                            const char* asked, const char* kept, const Rows& selected) {
            QTest::newRow(name) << rows << QString::fromUtf8(outcome) << QString::fromUtf8(asked)
                                << QString::fromUtf8(kept) << selected;
        };
        row("two in a row", {1, 2}, "", "2個のアイテム", "ADE", {1});
        row("scattered", {0, 2, 3}, "", "3個のアイテム", "BE", {1});
        row("the last", {4}, "", "E", "ABCD", {3});
        row("all", {0, 1, 2, 3, 4}, "", "5個のアイテム", "", {});
        row("cancelled", {4}, "cancel", "E", "ABCDE", {4});
        row("index not written", {1, 3}, "disk full", "2個のアイテム", "ABCDE", {1});
    }

    void deletingRowsFreesThemAndSelectsTheFollowingRow() {
        QFETCH(Rows, rows);
        QFETCH(QString, outcome);
        QFETCH(QString, asked);
        QFETCH(QString, kept);
        QFETCH(Rows, selected);
        test::MainFixture f(false);
        f.FiveItems();
        auto& main = f.Open();
        const auto before = f.Line("G");  // A to E, E on the lowest blocks
        f.SelectRows(rows);
        QStringList messages{asked + kErase};
        if (outcome == QStringLiteral("cancel")) {
            f.ui.answers = {UiServices::Answer::kCancel};
        } else if (!outcome.isEmpty()) {
            messages << outcome;
            filesteps::SetHook([](std::string_view step, const std::filesystem::path&) {
                if (step == "rename") {
                    throw std::runtime_error("disk full");
                }
            });
        }
        main.commands().DeleteSelectedItems();
        filesteps::SetHook(nullptr);
        QCOMPARE(f.ui.messages, messages);
        QCOMPARE(f.Names().join(QString()), kept);
        QCOMPARE(f.SelectedRows(), selected);
        std::vector<std::string> line{"G#0"};
        for (const QChar name : kept) {
            line.push_back(before[name.unicode() - 'A' + 1]);
        }
        QCOMPARE(f.Line("G"), line);
        // The last deleted row had the lowest blocks; nothing deleted, nothing reused.
        const std::string next = std::to_string(f.AddItem("H", "new"));
        if (kept.size() < 5) {
            QCOMPARE(next, before[rows.back() + 1]);
        } else {
            QVERIFY(std::find(before.begin(), before.end(), next) == before.end());
        }
    }

    // Without a selection nothing is copied; a write-protected group refuses
    // deletion silently but opens and copies its URL as it is.
    void writeProtectedGroupRefusesDeletionButItsUrlOpens() {
        test::MainFixture f;
        f.Set("lastgroup", "銀行");
        auto& main = f.Open();
        main.commands().UseSelectedItem(ItemCommands::kCopyPassword);
        main.commands().CopySelectedUrl();
        QCOMPARE(f.ui.clipboard, QStringLiteral("<untouched>"));
        f.SelectRows({0});
        main.commands().DeleteSelectedItems();
        main.commands().DeleteGroup();
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(main.itemModel()->rowCount(), 1);
        QCOMPARE(main.groupSelector()->count(), 4);
        main.commands().UseSelectedItem(ItemCommands::kOpenUrl);
        QCOMPARE(f.ui.openedUrls, QStringList{QStringLiteral("https://bank.example.jp/")});
        main.commands().CopySelectedUrl();
        QCOMPARE(f.ui.clipboard, QStringLiteral("https://bank.example.jp/"));
    }

    // Each use moves the item first in its group; an empty URL opens nothing.
    void copyingThePasswordGivesThePlainTextAndMovesTheItemFirst() {
        test::MainFixture f(false);
        f.FiveItems();
        auto& main = f.Open();
        main.SetPassView(false, false);
        const auto before = f.Line("G");
        f.SelectRows({2});
        main.commands().UseSelectedItem(ItemCommands::kCopyPassword);
        QCOMPARE(f.ui.clipboard, QStringLiteral("pw-C"));
        QVERIFY(f.ui.clipboardSecret);
        QCOMPARE(f.Line("G")[1], before[3]);
        QCOMPARE(f.Names(), (QStringList{"A", "B", "C", "D", "E"}));  // the list keeps its order
        f.SelectRows({4});
        main.commands().UseSelectedItem(ItemCommands::kCopyId);
        QCOMPARE(f.ui.clipboard, QStringLiteral("id-E"));
        QVERIFY(f.ui.clipboardSecret);
        // Off by default: nothing waits to clear the copy.
        QVERIFY(!main.clipboard().timer().isActive());
        f.SelectRows({3});
        main.commands().UseSelectedItem(ItemCommands::kOpenUrl);
        QVERIFY(f.ui.openedUrls.isEmpty());
        QCOMPARE(f.Line("G")[1], before[4]);
    }

    void copiesAreClearedAfterTheSecondsSetInTheOptions_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("seconds");
        QTest::newRow("set") << "12" << 12;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("not a number") << "abc" << 0;
    }

    void copiesAreClearedAfterTheSecondsSetInTheOptions() {
        QFETCH(QString, stored);
        QFETCH(int, seconds);
        test::MainFixture f(false);
        f.FiveItems();
        f.Set("clipboardclear", stored.toStdString());
        auto& main = f.Open();
        f.SelectRows({0});
        main.commands().UseSelectedItem(ItemCommands::kCopyId);
        const QTimer& timer = main.clipboard().timer();
        QCOMPARE(timer.isActive(), seconds > 0);
        QVERIFY(timer.remainingTime() > (seconds - 1) * 1000);
        main.commands().CopySelectedUrl();  // a URL too
        QCOMPARE(timer.isActive(), seconds > 0);
        QVERIFY(!f.ui.clipboardSecret);  // the URL is no secret
    }

    void movedItemsArriveInReverseOrderAndLeaveTheCountAlone() {
        test::MainFixture f(false);
        f.FiveItems();
        auto& main = f.Open();
        const QString count = main.statusPanel(1)->text();
        const auto g = f.Line("G");
        f.SelectRows({0, 1, 2});
        main.commands().MoveSelectedItems(QStringLiteral("H"));
        QCOMPARE(f.Names(), (QStringList{"D", "E"}));
        QCOMPARE(f.Line("H")[1], g[3]);  // C first, then B, then A
        QCOMPARE(f.Line("H")[2], g[2]);
        QCOMPARE(f.Line("H")[3], g[1]);
        QCOMPARE(f.Line("G"), (std::vector<std::string>{"G#0", g[4], g[5]}));
        QCOMPARE(main.statusPanel(1)->text(), count);
        QVERIFY(f.SelectedRows().isEmpty());
    }

    // The move menu lists every group but the shown one; its placeholder for
    // none stays hidden.
    void moveMenuEntryMovesToItsGroup() {
        test::MainFixture f(false);
        f.FiveItems();
        auto& main = f.Open();
        f.SelectRows({0});
        const auto entries = main.menus().mnuMove->actions();
        QVERIFY(!entries[0]->isVisible());
        QCOMPARE(entries[2]->text(), QStringLiteral("H"));
        QVERIFY(!entries[1]->isEnabled());  // the shown group
        QVERIFY(entries[2]->isEnabled());
        entries[2]->trigger();
        QCOMPARE(f.Line("H").size(), 3u);
    }

    void removingAGroupFreesItsItemsAndLoadsTheFirstGroup() {
        test::MainFixture f;
        f.AddGroup("Extra#0");
        f.AddItem("Extra", "x");
        f.Set("lastgroup", "Extra");
        auto& main = f.Open();
        QCOMPARE(main.groupSelector()->currentText(), QStringLiteral("Extra"));
        const std::string bitmapBefore = f.vault.ReadFile("Zorvan.bmp");
        f.ui.answers = {UiServices::Answer::kNo};
        main.commands().DeleteGroup();
        QCOMPARE(f.ui.messages, QStringList{QStringLiteral("Extra") + kErase});
        QCOMPARE(main.groupSelector()->count(), 5);
        main.commands().DeleteGroup();
        QCOMPARE(main.groupSelector()->count(), 4);
        QCOMPARE(main.groupSelector()->currentText(), QStringLiteral("Web"));
        QCOMPARE(f.Names(), (QStringList{"Example", "メール"}));
        QCOMPARE(f.Line("Extra"), std::vector<std::string>{"Extra"});  // no such group any more
        QVERIFY(f.vault.ReadFile("Zorvan.bmp") != bitmapBefore);
        QCOMPARE(f.AddItem("Web", "reuse"), 18);  // the freed blocks come first again
    }

    void removingTheLastGroupEmptiesEverything() {
        test::MainFixture f(false);
        f.AddGroup("Only#0");
        f.AddItem("Only", "x");
        auto& main = f.Open();
        main.commands().RemoveGroup(QStringLiteral("Only"));
        QCOMPARE(main.groupSelector()->count(), 0);
        QCOMPARE(main.itemModel()->rowCount(), 0);
        const auto entries = main.menus().mnuMove->actions();
        QVERIFY(entries[0]->isVisible());
        QVERIFY(!entries[1]->isVisible());
        QCOMPARE(f.vault.ReadFile("Zorvan.idx"), std::string());
        QCOMPARE(f.vault.ReadFile("Zorvan.bmp"), std::string(1, '\0'));
    }

    void choosingTheShownGroupAgainDoesNotReload() {
        test::MainFixture f;
        auto& main = f.Open();
        f.Set("lastgroup", "changed");
        main.itemListHandler().cboMain_Click();
        QCOMPARE(f.Setting("lastgroup"), std::string("changed"));
    }
};

const QString ItemCommandsTest::kErase = QStringLiteral("を消去してもよろしいですか");

}  // namespace zorvan

QTEST_MAIN(zorvan::ItemCommandsTest)
#include "ItemCommandsTest.moc"
