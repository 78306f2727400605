#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/dialogs/PassGenPage.h"
#include "ui/dialogs/PassLenBoxes.h"
#include "ui/dialogs/StrengthMeter.h"
#include "ui/dialogs/frmItem.h"
#include "ui/main/MainDialogs.h"

namespace zorvan {

// The item dialog on a copy of the sample vault: what each save leaves in the item
// file, bitmap, index and list, and what the keys and the generator do.
class frmItemTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::MainFixture {
        explicit Fixture(const char* group = "Empty", int row = -1, bool sample = true)
            : MainFixture(sample) {
            Open();
            if (group != nullptr) {
                Show(QString::fromUtf8(group));
            }
            EditRow(row);
        }
        // As the main window hands over a row (1-based), or -1 for a new item.
        void EditRow(int row) const {
            main->state().intEditIndex = row;
            main->state().intEditSlot = row < 0 ? 0 : main->itemModel()->row(row - 1).tag;
        }
        BlockNumber FirstBlock(const char* group = "Empty") const {
            return std::stoi(Line(group).at(1));
        }
        ItemStore Store() const {
            return ItemStore(vault.session->paths.strItmFile, vault.session->paths.strBmpFile,
                             vault.session->vault.cipher());
        }
        bool Used(BlockNumber block) const {
            const std::string bmp = vault.ReadFile("Zorvan.bmp");
            const auto at = static_cast<std::size_t>(block - 1);
            return at / 8 < bmp.size() && ((bmp[at / 8] >> (at % 8)) & 1) != 0;
        }
    };

    static bool Bold(const frmItem& dialog, int index) {
        return dialog.label(index)->font().bold();
    }

private slots:
    void newItemOffersItsNameAndTodayWithNothingToApply() {
        Fixture f;
        f.main->SetPassView(false, false);
        const auto dialog = MainDialogs::Item(*f.main);
        QCOMPARE(dialog->textBox(0)->text(), QStringLiteral("新規アイテム"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("新規アイテムのプロパティ"));
        QCOMPARE(dialog->calendar()->selectedDate(), QDate::currentDate());
        QVERIFY(!dialog->button(2)->isEnabled());
        QVERIFY(!Bold(*dialog, 0));
        dialog->textBox(0)->setText(QStringLiteral("x"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("新規アイテムのプロパティ"));
        QVERIFY(Bold(*dialog, 0) && !Bold(*dialog, 1));
        QVERIFY(dialog->button(2)->isEnabled());
        // The password is masked unless the list shows passwords.
        QCOMPARE(dialog->textBox(2)->echoMode(), QLineEdit::Password);
        dialog->hidePassBox()->click();
        QCOMPARE(dialog->textBox(2)->echoMode(), QLineEdit::Normal);
    }

    void secondApplyReplacesTheRecordJustWritten() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->textBox(0)->setText(QStringLiteral("first"));
        dialog->button(2)->click();
        QVERIFY(!dialog->button(2)->isEnabled());
        const BlockNumber first = f.FirstBlock();
        QVERIFY(f.Used(first));
        QCOMPARE(f.main->itemModel()->rowCount(), 1);

        dialog->textBox(0)->setText(QStringLiteral("second"));
        dialog->button(2)->click();
        QCOMPARE(f.main->itemModel()->rowCount(), 1);
        QCOMPARE(f.main->itemModel()->ColumnText(0, 0), QStringLiteral("second"));
        QCOMPARE(f.Line("Empty").size(), 2u);
        const BlockNumber second = f.FirstBlock();
        QVERIFY(second != first && f.Used(second));
        QVERIFY2(!f.Used(first) && !f.Used(first + 1), "the first record is freed");
        QCOMPARE(f.Store().LoadItem(second).ItemName, std::string("second"));
        QVERIFY(Bold(*dialog, 0));  // the marks stay after a save
        QCOMPARE(dialog->result(), 0);
    }

    void okOnAnExistingItemReplacesItInPlace() {
        Fixture f("Web", 2);
        const auto before = f.Line("Web");  // Web#0, 1, 7
        const auto dialog = MainDialogs::Item(*f.main);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("メールのプロパティ"));
        QCOMPARE(dialog->calendar()->selectedDate(), QDate(2003, 4, 5));
        dialog->textBox(2)->setText(QStringLiteral("新しいパス"));
        dialog->button(0)->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        const auto after = f.Line("Web");
        QCOMPARE(after.size(), 3u);
        QCOMPARE(after[2], before[1]);
        const ItemRecord stored = f.Store().LoadItem(std::stoi(after[1]));
        QCOMPARE(stored.AccountPass, std::string("新しいパス"));
        QCOMPARE(stored.AccountID, std::string("hanako@example.jp"));
        QVERIFY(stored.HasExpiry());
        QVERIFY(!f.Used(std::stoi(before[2])));
        QCOMPARE(f.main->itemModel()->rowCount(), 2);
        QCOMPARE(f.main->itemModel()->ColumnText(1, 2), QStringLiteral("新しいパス"));
    }

    void writeProtectedGroupStoresNothing() {
        Fixture f("銀行", 1);
        const auto before = f.vault.Files();
        const auto dialog = MainDialogs::Item(*f.main);
        QVERIFY(!dialog->button(0)->isEnabled());
        dialog->textBox(0)->setText(QStringLiteral("changed"));
        dialog->expireBox()->click();
        dialog->lblItem_DblClick(2);
        QVERIFY(!dialog->button(2)->isEnabled());
        dialog->cmdItem_Click(0);
        dialog->cmdItem_Click(2);
        QCOMPARE(f.vault.Files(), before);
        QCOMPARE(f.main->itemModel()->ColumnText(0, 0), QStringLiteral("口座"));
    }

    void savedItemReadsBackBitExactly() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->textBox(0)->setText(QStringLiteral("銀行\r\nA"));
        dialog->textBox(1)->setText(QStringLiteral("taro\r\n"));
        dialog->textBox(2)->setText(QStringLiteral("p@ss{w}rd ½"));
        dialog->textBox(3)->setText(QStringLiteral("https://example.jp/?q=日本"));
        dialog->memoBox()->setPlainText(QStringLiteral("一行目\n\n三行目 "));
        dialog->expireBox()->click();
        dialog->calendar()->setSelectedDate(QDate(2030, 1, 31));
        dialog->button(0)->click();

        ItemRecord expected;
        expected.ItemName = "銀行A";  // CR LF dropped from the first four fields
        expected.AccountID = "taro";
        expected.AccountPass = "p@ss{w}rd ?";  // ½ is not in code page 932
        expected.RelatedURL = "https://example.jp/?q=日本";
        expected.AccountMemo = "一行目\r\n\r\n三行目 ";
        expected.Expire = 1;
        expected.ExpireDate = QDate(1899, 12, 30).daysTo(QDate(2030, 1, 31));
        QVERIFY(f.Store().LoadItem(f.FirstBlock()) == expected);
        QCOMPARE(f.main->itemModel()->ColumnText(0, 0), QStringLiteral("銀行A"));

        // Opened again and saved unchanged: new blocks, the same record.
        const BlockNumber first = f.FirstBlock();
        f.EditRow(1);
        const auto again = MainDialogs::Item(*f.main);
        QCOMPARE(again->memoBox()->toPlainText(), QStringLiteral("一行目\n\n三行目 "));
        again->button(0)->click();
        QVERIFY(f.FirstBlock() != first);
        QVERIFY(f.Store().LoadItem(f.FirstBlock()) == expected);
    }

    void expiryBoxShowsTheCalendarAndADateClickCounts() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        dialog->ShowTab(2);
        QVERIFY(!dialog->calendar()->isVisible());
        dialog->expireBox()->click();
        QVERIFY(dialog->calendar()->isVisible() && dialog->button(2)->isEnabled());
        dialog->button(2)->click();
        emit dialog->calendar()->clicked(QDate(2025, 5, 5));
        QVERIFY(dialog->button(2)->isEnabled());
        QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->expireBox()));
    }

    void fieldLimitsCountCharacters() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        QLineEdit* name = dialog->textBox(0);
        name->setText(QString(255, QLatin1Char('x')));
        QTest::keyClicks(name, QStringLiteral("yz"));
        QCOMPARE(name->text(), QString(255, QLatin1Char('x')) + QLatin1Char('y'));
        QCOMPARE(f.ui.beeps, 1);
        // Double-byte characters count one each: 127 of the ID's 128, then one more.
        QLineEdit* id = dialog->textBox(1);
        id->setText(QString(127, QChar(0x3042)));
        id->insert(QStringLiteral("いう"));
        QCOMPARE(id->text(), QString(127, QChar(0x3042)) + QStringLiteral("い"));
        // Text put in by the program (a stored item) is never cut.
        dialog->textBox(3)->setText(QString(600, QLatin1Char('u')));
        QCOMPARE(dialog->textBox(3)->text().size(), 600);
        // In the memo each line break counts two, as CR LF.
        dialog->memoBox()->setPlainText(QString(8190, QLatin1Char('m')) + QStringLiteral("\nab"));
        QCOMPARE(dialog->memoBox()->toPlainText().size(), 8191);
        QCOMPARE(f.ui.beeps, 3);
    }

    void controlTabWrapsAroundThePages() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        QWidget* box = dialog->textBox(0);
        QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(dialog->currentPage(), 1);
        QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(dialog->currentPage(), 0);
        QTest::keyClick(box, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dialog->currentPage(), 2);
        QTest::keyClick(dialog->memoBox(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dialog->currentPage(), 1);
    }

    void arrowKeysRingTheBoxesButStayInTheMemo() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        const std::pair<int, Qt::Key> moves[] = {
            {3, Qt::Key_Down}, {0, Qt::Key_Up}, {1, Qt::Key_Up}, {0, Qt::Key_Down}};
        const int targets[] = {4, 4, 0, 1};
        for (std::size_t i = 0; i < std::size(moves); ++i) {
            dialog->field(moves[i].first)->setFocus();
            QTest::keyClick(dialog->field(moves[i].first), moves[i].second);
            QCOMPARE(dialog->focusWidget(), dialog->field(targets[i]));
        }
        dialog->memoBox()->setPlainText(QStringLiteral("a\nb"));
        dialog->memoBox()->setFocus();
        dialog->memoBox()->moveCursor(QTextCursor::End);
        QTest::keyClick(dialog->memoBox(), Qt::Key_Down);
        QTest::keyClick(dialog->memoBox(), Qt::Key_Up);
        QCOMPARE(dialog->focusWidget(), dialog->field(4));
        QCOMPARE(dialog->memoBox()->textCursor().blockNumber(), 0);
    }

    void theMemoTakesEnterAndOtherBoxesSave() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        dialog->memoBox()->setFocus();
        QTest::keyClick(dialog->memoBox(), Qt::Key_Return);
        QCOMPARE(dialog->memoBox()->toPlainText(), QStringLiteral("\n"));
        QVERIFY(dialog->isVisible());
        dialog->textBox(1)->setFocus();
        QTest::keyClick(dialog->textBox(1), Qt::Key_Return);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(f.Store().LoadItem(f.FirstBlock()).AccountMemo, std::string("\r\n"));
    }

    // Nothing is listed, the dialog keeps the input, and the blocks taken are free again.
    void failedSaveKeepsTheDialogAndTheInput_data() {
        QTest::addColumn<QString>("broken");
        QTest::newRow("item file") << "Zorvan.itm";
        QTest::newRow("index") << "Zorvan.idx";
    }
    void failedSaveKeepsTheDialogAndTheInput() {
        QFETCH(QString, broken);
        Fixture f;
        const auto before = f.vault.Files();
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        dialog->textBox(0)->setText(QStringLiteral("kept"));
        f.vault.Break(f.vault.folder() / broken.toStdString());
        dialog->button(0)->click();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(dialog->isVisible() && dialog->button(2)->isEnabled());
        QCOMPARE(dialog->textBox(0)->text(), QStringLiteral("kept"));
        QCOMPARE(f.main->itemModel()->rowCount(), 0);
        if (broken != "Zorvan.idx") {
            QCOMPARE(f.vault.ReadFile("Zorvan.idx"), before[1]);
        }
        const std::string bitmap = f.vault.ReadFile("Zorvan.bmp");
        QCOMPARE(bitmap.substr(0, before[3].size()), before[3]);
        QVERIFY(bitmap.find_first_not_of('\0', before[3].size()) == std::string::npos);
    }

    void unreadableItemIsNotOpened() {
        Fixture f("Web", 1);
        f.main->itemModel()->FindTag(f.main->state().intEditSlot)->block = 99999;
        const auto before = f.vault.Files();
        const auto dialog = MainDialogs::Item(*f.main);
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QCOMPARE(f.vault.Files(), before);
    }

    void noShownGroupRefusesToStore() {
        Fixture f(nullptr, -1, false);
        const auto before = f.vault.Files();
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->textBox(0)->setText(QStringLiteral("orphan"));
        dialog->button(2)->click();
        QCOMPARE(f.ui.messages, QStringList{QStringLiteral(
                                    "グループの選択ができていないのでアイテムを追加できません")});
        QCOMPARE(f.vault.Files(), before);
    }

    void generatorReadsTheSettingsAndCorrectsTheLengths() {
        Fixture f;
        f.Set("upper", "0");
        f.Set("number", "7");
        f.Set("symbol", "1");
        f.Set("symbols", "!?");
        f.Set("minpasslen", "abc");
        f.Set("maxpasslen", "4");
        const auto dialog = MainDialogs::Item(*f.main);
        PassGenPage* gen = dialog->generator();
        QCOMPARE(gen->lengths().text(0), QStringLiteral("abc"));  // shown as stored
        for (int run = 0; run < 50; ++run) {
            QVERIFY(gen->Generate());
            const QString password = gen->resultBox()->text();
            QCOMPARE(password.size(), 6);  // "abc" becomes 6, and the maximum follows
            for (const QChar c : password) {
                // 7 is no switch value, so digits keep their default: on.
                QVERIFY2(
                    c.isLower() || c.isDigit() || c == QLatin1Char('!') || c == QLatin1Char('?'),
                    qPrintable(password));
            }
        }
        QCOMPARE(gen->lengths().text(1), QStringLiteral("6"));
    }

    void generatedPasswordIsAppliedByButtonOrLabelDoubleClick() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        PassGenPage* gen = dialog->generator();
        QVERIFY(!gen->button(1)->isEnabled());
        dialog->ShowTab(1);
        gen->button(0)->click();
        const QString password = gen->resultBox()->text();
        QVERIFY(password.size() >= 6 && password.size() <= 8);
        QVERIFY(gen->button(1)->isEnabled() && !dialog->button(2)->isEnabled());
        gen->button(1)->click();
        QCOMPARE(dialog->textBox(2)->text(), password);
        QCOMPARE(dialog->currentPage(), 0);
        QVERIFY(Bold(*dialog, 2) && dialog->button(2)->isEnabled());
        QVERIFY(!gen->button(1)->isEnabled());

        // A double click on the password's label generates and applies a new one;
        // on another label it does nothing.
        QTest::mouseDClick(dialog->label(2), Qt::LeftButton);
        QVERIFY(dialog->textBox(2)->text() != password);
        QCOMPARE(dialog->textBox(2)->text(), gen->resultBox()->text());
        QTest::mouseDClick(dialog->label(1), Qt::LeftButton);
        QVERIFY(dialog->textBox(1)->text().isEmpty());
    }

    void noClassCheckedGivesTheMessageAndKeepsThePassword() {
        Fixture f("Web", 1);
        const auto dialog = MainDialogs::Item(*f.main);
        PassGenPage* gen = dialog->generator();
        QVERIFY(gen->Generate());
        const QString previous = gen->resultBox()->text();
        for (int i = 0; i < 4; ++i) {
            gen->classBox(i)->setChecked(false);
        }
        gen->button(0)->click();
        dialog->lblItem_DblClick(2);
        const QString message = QStringLiteral("文字種を最低一つはチェックしてください");
        QCOMPARE(f.ui.messages, (QStringList{message, message}));
        QCOMPARE(gen->resultBox()->text(), previous);
        QVERIFY(gen->button(1)->isEnabled());
        QCOMPARE(dialog->textBox(2)->text(), QStringLiteral("p@ss{w}rd"));
        QVERIFY(!dialog->button(2)->isEnabled());
    }

    // How a password measures is PasswordStrengthTest's; here the meters follow the
    // typed, the generated and the applied password.
    void strengthMeterFollowsTheTypedOrGeneratedPassword() {
        Fixture f;
        const auto dialog = MainDialogs::Item(*f.main);
        dialog->show();
        QLineEdit* box = dialog->textBox(2);
        PassGenPage* gen = dialog->generator();
        const auto* meter = dialog->findChild<StrengthMeter*>(QStringLiteral("strengthMeter"));
        const auto* genMeter = gen->findChild<StrengthMeter*>(QStringLiteral("genStrengthMeter"));
        QVERIFY(meter != nullptr && genMeter != nullptr);
        QCOMPARE(meter->value(), 0);
        // Even a guessable password fills a little of the bar; an empty one none.
        const std::pair<const char*, const char*> steps[] = {
            {"a", "弱い"}, {"password", nullptr}, {"q7#Vd9!mZ2@pL4$wX8&k", "とても強い"}, {"", ""}};
        for (const auto& [typed, word] : steps) {
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Delete);
            QTest::keyClicks(box, QString::fromUtf8(typed));
            if (word != nullptr) {
                QCOMPARE(meter->word(), QString::fromUtf8(word));
            }
            QVERIFY2(*typed == '\0' ? meter->value() == 0 : meter->value() >= StrengthMeter::kLeast,
                     typed);
        }
        dialog->ShowTab(1);
        gen->button(0)->click();
        QVERIFY(genMeter->value() >= StrengthMeter::kLeast && !genMeter->word().isEmpty());
        gen->button(1)->click();
        QCOMPARE(box->text(), gen->resultBox()->text());
        QCOMPARE(meter->word(), genMeter->word());
        QCOMPARE(meter->value(), genMeter->value());
        // The meter sits between the password and the URL without taking a tab stop.
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->textBox(3)));
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::frmItemTest)
#include "frmItemTest.moc"
