#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/dialogs/frmGroup.h"
#include "ui/main/MainDialogs.h"
#include "vault/Settings.h"

namespace zorvan {

// The group dialog on a copy of the sample vault (Web, 銀行 write-protected, Empty,
// Imported), with Web shown unless said otherwise.
class frmGroupTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::MainFixture {
        explicit Fixture(const char* shown = "Web") {
            Open();
            Show(QString::fromUtf8(shown));
        }
        std::unique_ptr<frmGroup> Dialog(const QString& name, bool add) const {
            auto dialog = MainDialogs::Group(*main);
            dialog->PrepareGroupInfo(name, add);
            return dialog;
        }
        QComboBox* selector() const { return main->groupSelector(); }
        std::string Index() const { return vault.ReadFile("Zorvan.idx"); }
        std::string LastGroup() const {
            return ReadSetting(vault.session->paths.strIniFile, "Zorvan", "lastgroup", "");
        }
        QStringList MoveMenu() const { return Visible(main->menus().mnuMove->actions()); }
    };

    static const std::string kSampleIndex;
    static const QString kForbidden;
    static const QString kExists;
    static const QStringList kSampleGroups;

private slots:
    void newGroupIsAppendedAndShown() {
        Fixture f;
        const auto dialog = f.Dialog(QStringLiteral("新規グループ"), true);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("新規グループのプロパティ"));
        QCOMPARE(dialog->nameBox()->text(), QStringLiteral("新規グループ"));
        dialog->button(0)->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(f.ui.messages.isEmpty());
        // Code page 932 bytes of 新規グループ.
        QVERIFY(f.Index() ==
                kSampleIndex + "\r\n\x90\x56\x8b\x4b\x83\x4f\x83\x8b\x81\x5b\x83\x76#0");
        QCOMPARE(f.selector()->currentText(), QStringLiteral("新規グループ"));
        QCOMPARE(f.selector()->count(), 5);
        QCOMPARE(f.main->state().strCurrentGroup, QStringLiteral("新規グループ"));
        QCOMPARE(f.LastGroup(), std::string("新規グループ"));
        QCOMPARE(f.main->itemModel()->rowCount(), 0);
        QVERIFY(f.main->statusPanel(2)->text().isEmpty());
        QVERIFY(!f.main->state().blnReadOnlyGroup);
        QCOMPARE(f.MoveMenu(), (QStringList{"Web", "銀行", "Empty", "Imported", "-新規グループ"}));
    }

    // The write-protection flag as the index stores it and the main window shows it,
    // at once; a group that keeps its name is not reloaded.
    void theFlagIsStoredAndShownAtOnce_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("name");  // the group edited, or with add the new name
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("wasSet");
        QTest::addColumn<QByteArray>("stored");  // code page 932
        const auto row = [](const char* name, const char* shown, const char* group, bool add,
                            bool wasSet, const char* stored) {
            QTest::newRow(name) << QString::fromUtf8(shown) << QString::fromUtf8(group) << add
                                << wasSet << QByteArray(stored);
        };
        row("new group", "Web", "金庫", true, false, "\r\n\x8b\xe0\x8c\xc9#1");
        row("new group beside a protected one", "銀行", "金庫", true, false,
            "\r\n\x8b\xe0\x8c\xc9#1");
        row("set", "Web", "Web", false, false, "Web#1\t1\t7\r\n");
        row("cleared", "銀行", "銀行", false, true, "\r\n\x8b\xe2\x8d\x73#0\t11\r\n");
    }
    void theFlagIsStoredAndShownAtOnce() {
        QFETCH(QString, shown);
        QFETCH(QString, name);
        QFETCH(bool, add);
        QFETCH(bool, wasSet);
        QFETCH(QByteArray, stored);
        Fixture f(shown.toUtf8().constData());
        f.Set("lastgroup", "marker");
        const auto dialog = f.Dialog(name, add);
        QCOMPARE(dialog->readOnlyBox()->isChecked(), wasSet);
        dialog->readOnlyBox()->click();
        dialog->button(0)->click();
        QVERIFY(f.ui.messages.isEmpty());
        QVERIFY(f.Index().find(stored.toStdString()) != std::string::npos);
        QCOMPARE(f.main->state().blnReadOnlyGroup, !wasSet);
        QCOMPARE(f.main->statusPanel(2)->text(), wasSet ? QString() : QStringLiteral("書込禁止"));
        QCOMPARE(f.LastGroup(), add ? name.toStdString() : std::string("marker"));
    }

    void nameRulesAreCheckedInOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QString() << true << QStringLiteral("名前を入力してください");
        // Which characters are forbidden is IsValidGroupName's, tested with the index.
        QTest::newRow("forbidden character") << QStringLiteral("x}") << false << kForbidden;
        QTest::newRow("existing") << QStringLiteral("Empty") << true << kExists;
        QTest::newRow("another group") << QStringLiteral("銀行") << false << kExists;
        QTest::newRow("its own name, new") << QStringLiteral("Web") << true << kExists;
    }
    void nameRulesAreCheckedInOrder() {
        QFETCH(QString, name);
        QFETCH(bool, add);
        QFETCH(QString, message);
        Fixture f;
        const std::string index = f.Index();
        const auto dialog = f.Dialog(QStringLiteral("Web"), add);
        dialog->nameBox()->setText(name);
        dialog->button(0)->click();
        QCOMPARE(f.ui.messages, QStringList{message});
        QCOMPARE(dialog->result(), 0);
        QCOMPARE(dialog->nameBox()->text(), name);
        QCOMPARE(f.Index(), index);
        QCOMPARE(f.GroupEntries(), kSampleGroups);
    }

    // "EMPTY" differs from the group "Empty" in case only, so it is a new name.
    void renamingKeepsTheItemsAndThePlace() {
        Fixture f;
        const auto dialog = f.Dialog(QStringLiteral("Web"), false);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Webのプロパティ"));
        dialog->nameBox()->setText(QStringLiteral("EMPTY"));
        dialog->button(0)->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(f.Index().starts_with("EMPTY#0\t1\t7\r\n"));
        QCOMPARE(f.GroupEntries(), (QStringList{"EMPTY", "銀行", "Empty", "Imported"}));
        QCOMPARE(f.selector()->currentIndex(), 0);
        QCOMPARE(f.main->state().strCurrentGroup, QStringLiteral("EMPTY"));
        QCOMPARE(f.LastGroup(), std::string("EMPTY"));
        QCOMPARE(f.main->itemModel()->rowCount(), 2);
        QCOMPARE(f.MoveMenu(), (QStringList{"-EMPTY", "銀行", "Empty", "Imported"}));
    }

    // The stored form is what a later name is compared with, and a group just added
    // is among the names compared.
    void charactersOutsideTheCodePageAreStoredAsQuestionMarks() {
        Fixture f;
        const auto dialog = f.Dialog(QStringLiteral("新規グループ"), true);
        dialog->nameBox()->setText(QStringLiteral("G\u00bd"));
        dialog->button(0)->click();
        QVERIFY(f.Index().ends_with("\r\nG?#0"));
        QCOMPARE(f.selector()->currentText(), QStringLiteral("G?"));
        QCOMPARE(f.main->state().strCurrentGroup, QStringLiteral("G?"));
        const std::string index = f.Index();
        const auto again = f.Dialog(QStringLiteral("G\u00be"), true);
        again->button(0)->click();
        QCOMPARE(f.ui.messages, QStringList{kExists});
        QCOMPARE(again->result(), 0);
        QCOMPARE(f.Index(), index);
        QCOMPARE(f.selector()->count(), 5);
    }

    // Cancel, or OK when the index cannot be written: the selector and the shown
    // group stay as they were; after a failure the dialog keeps its input.
    void nothingChangesWithoutASave_data() {
        QTest::addColumn<bool>("unwritable");
        QTest::newRow("cancelled") << false;
        QTest::newRow("index unwritable") << true;
    }
    void nothingChangesWithoutASave() {
        QFETCH(bool, unwritable);
        Fixture f;
        const std::string index = f.Index();
        if (unwritable) {
            f.vault.Break(f.vault.session->paths.strIdxFile);
        }
        const auto dialog = f.Dialog(QStringLiteral("新規グループ"), true);
        dialog->nameBox()->setText(QStringLiteral("typed"));
        dialog->readOnlyBox()->click();
        dialog->button(unwritable ? 0 : 1)->click();
        QCOMPARE(f.ui.messages.size(), unwritable ? 1 : 0);
        QCOMPARE(dialog->result(), unwritable ? 0 : int(QDialog::Rejected));
        QCOMPARE(dialog->nameBox()->text(), QStringLiteral("typed"));
        if (!unwritable) {
            QCOMPARE(f.Index(), index);
        }
        QCOMPARE(f.GroupEntries(), kSampleGroups);
        QVERIFY(!f.main->state().blnReadOnlyGroup);
        QVERIFY(f.main->statusPanel(2)->text().isEmpty());
    }
};

const std::string frmGroupTest::kSampleIndex =
    "Web#0\t1\t7\r\n\x8b\xe2\x8d\x73#1\t11\r\nEmpty#0\r\nImported\t16";
const QString frmGroupTest::kForbidden =
    QStringLiteral("グループ名に以下の文字をを含むことはできません\r\n#, {, }, TAB");
const QString frmGroupTest::kExists = QStringLiteral("既に同名のグループが存在します");
const QStringList frmGroupTest::kSampleGroups{"Web", "銀行", "Empty", "Imported"};

}  // namespace zorvan

QTEST_MAIN(zorvan::frmGroupTest)
#include "frmGroupTest.moc"
