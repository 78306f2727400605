#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include "platform/Codepage.h"
#include "support/MainFixture.h"
#include "ui/dialogs/frmImport.h"
#include "ui/main/MainDialogs.h"

namespace zorvan {

// The import/export dialog over a main window on a copy of the sample vault (Web
// shown, then 銀行, Empty, Imported) unless said otherwise.
class frmImportTest : public QObject {
    Q_OBJECT

private:
    static QString Path(const test::MainFixture& f, const char* name) {
        return QString::fromStdString(PathToUtf8(f.vault.folder() / name));
    }
    static void WriteCsv(const test::MainFixture& f, const char* name, const std::string& utf8) {
        f.vault.Write(name, codepage::ToAnsi(utf8));
    }
    static QStringList Visible(const QList<QAction*>& entries) {
        return test::MainFixture::Visible(entries);
    }
    static QStringList Menu(const frmImport& dialog) {
        return Visible(dialog.groupMenu()->actions());
    }

    static const QString kExportFailed;
    static const QString kImportFailed;

private slots:
    void controlsStandTopToBottomAndImageButtonsAreNamed() {
        test::MainFixture f;
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        dialog.show();
        QVERIFY(dialog.fileButton()->text().isEmpty() && !dialog.fileButton()->icon().isNull());
        QVERIFY(dialog.groupButton()->text().isEmpty() && !dialog.groupButton()->icon().isNull());
        QCOMPARE(dialog.fileButton()->accessibleName(), QStringLiteral("ファイルの選択"));
        QCOMPARE(dialog.groupButton()->accessibleName(), QStringLiteral("グループの選択"));
        const auto top = [&](QWidget* w) { return w->mapTo(&dialog, QPoint(0, 0)).y(); };
        QVERIFY(top(dialog.fileBox()) < top(dialog.exportButton()));
        QCOMPARE(top(dialog.exportButton()), top(dialog.importButton()));
        QVERIFY(top(dialog.exportButton()) < top(dialog.groupBox()));
        QVERIFY(top(dialog.groupBox()) < top(dialog.appendBox()));
        QVERIFY(top(dialog.closeButton()) < top(dialog.statusBar()));
        QVERIFY(dialog.fileBox()->text().isEmpty());
        QVERIFY(!dialog.appendBox()->isChecked());
        QCOMPARE(dialog.groupBox()->text(), QStringLiteral("Web"));
        QVERIFY(dialog.statusPanel()->text().isEmpty());
        QVERIFY(!dialog.progressBar()->isVisible());
    }

    void groupMenuListsTheGroupsAndFillsTheGroupBox() {
        test::MainFixture f;
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        QCOMPARE(Menu(dialog), (QStringList{QStringLiteral("Web"), QStringLiteral("銀行"),
                                            QStringLiteral("Empty"), QStringLiteral("Imported")}));
        dialog.show();
        dialog.groupButton()->click();
        QVERIFY(dialog.groupMenu()->isVisible());
        dialog.groupMenu()->hide();
        dialog.groupItems()[2]->trigger();
        QCOMPARE(dialog.groupBox()->text(), QStringLiteral("銀行"));
    }

    void withoutGroupsTheMenuHoldsOnlyTheDisabledPlaceholder() {
        test::MainFixture f(false);
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        QCOMPARE(Menu(dialog), QStringList{QStringLiteral("-(no group)")});
        QVERIFY(dialog.groupBox()->text().isEmpty());
    }

    void fileDialogHasTheFilterAndTitleAndCancelKeepsTheName() {
        test::MainFixture f;
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        f.ui.chosenFile = QStringLiteral("/data/一覧.csv");
        dialog.fileButton()->click();
        QCOMPARE(f.ui.fileDialogs,
                 QStringList{QStringLiteral("インポート or エクスポートファイル|CSV (カンマ区切り) "
                                            "(*.csv)|*.csv|すべてのファイル(*.*)|*.*|")});
        QCOMPARE(dialog.fileBox()->text(), QStringLiteral("/data/一覧.csv"));
        dialog.fileBox()->setText(QStringLiteral("typed.csv"));
        f.ui.chosenFile.clear();
        dialog.fileButton()->click();
        QCOMPARE(dialog.fileBox()->text(), QStringLiteral("typed.csv"));
    }

    void exportWritesTheGroupAndReportsCompletion() {
        test::MainFixture f;
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        dialog.fileBox()->setText(Path(f, "out.csv"));
        dialog.exportButton()->click();
        QCOMPARE(dialog.statusPanel()->text(), QStringLiteral("エクスポート完了"));
        QVERIFY(f.ui.messages.isEmpty());
        // The file's format is CsvEngineTest's; here that it holds the group shown.
        const std::string text = codepage::FromAnsi(f.vault.ReadFile("out.csv"));
        QVERIFY(text.starts_with("Example,") && text.find("\r\nメール,") != std::string::npos);
        QVERIFY(dialog.exportButton()->isEnabled() && dialog.importButton()->isEnabled());
    }

    void missingGroupOrDeclinedOverwriteShowTheFailureAndYesAppends() {
        test::MainFixture f;
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        dialog.fileBox()->setText(Path(f, "out.csv"));
        dialog.groupBox()->setText(QStringLiteral("web"));
        dialog.exportButton()->click();
        QCOMPARE(f.ui.messages, QStringList{kExportFailed});
        QCOMPARE(dialog.statusPanel()->text(), kExportFailed);
        QVERIFY(!std::filesystem::exists(f.vault.folder() / "out.csv"));
        QVERIFY(dialog.exportButton()->isEnabled() && dialog.importButton()->isEnabled());

        f.vault.Write("out.csv", "old\r\n");
        dialog.groupBox()->setText(QStringLiteral("Web"));
        const QString question =
            Path(f, "out.csv") + QStringLiteral("は既に存在しています。\r\n上書きしますか？");
        f.ui.answers = {UiServices::Answer::kNo};
        dialog.exportButton()->click();
        QCOMPARE(f.ui.messages, (QStringList{kExportFailed, question, kExportFailed}));
        QCOMPARE(f.vault.ReadFile("out.csv"), std::string("old\r\n"));
        dialog.appendBox()->setChecked(true);
        f.ui.answers = {UiServices::Answer::kYes};
        dialog.exportButton()->click();
        QCOMPARE(f.ui.messages.size(), 4);
        QCOMPARE(f.ui.messages.back(), question);
        QCOMPARE(dialog.statusPanel()->text(), QStringLiteral("エクスポート完了"));
        QVERIFY(f.vault.ReadFile("out.csv").starts_with("old\r\nExample,"));
    }

    void importIntoANewGroupListsItInTheSelectorAndTheMenus() {
        test::MainFixture f;
        frmMain& main = f.Open();
        const auto owned = MainDialogs::Import(main);
        frmImport& dialog = *owned;
        WriteCsv(f, "in.csv", "x,1\r\ny,2\r\n");
        dialog.fileBox()->setText(Path(f, "in.csv"));
        dialog.groupBox()->setText(QStringLiteral("新規"));
        dialog.importButton()->click();
        QCOMPARE(dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(f.GroupEntries().back(), QStringLiteral("新規"));
        QCOMPARE(main.groupSelector()->currentText(), QStringLiteral("Web"));
        QCOMPARE(main.state().strCurrentGroup, QStringLiteral("Web"));
        QCOMPARE(f.Names(), (QStringList{QStringLiteral("Example"), QStringLiteral("メール")}));
        QCOMPARE(Menu(dialog).back(), QStringLiteral("新規"));
        QCOMPARE(Visible(main.menus().mnuMove->actions()).back(), QStringLiteral("新規"));
        QCOMPARE(f.Line("新規").size(), std::size_t{3});
        // A second import into it adds no further entries anywhere.
        const int selectorCount = main.groupSelector()->count();
        const int menuCount = static_cast<int>(dialog.groupItems().size());
        dialog.importButton()->click();
        QCOMPARE(main.groupSelector()->count(), selectorCount);
        QCOMPARE(static_cast<int>(dialog.groupItems().size()), menuCount);
        QCOMPARE(f.Line("新規").size(), std::size_t{5});
    }

    void emptyFileIntoANewNameListsItOnlyOnce() {
        test::MainFixture f;
        frmMain& main = f.Open();
        const auto owned = MainDialogs::Import(main);
        frmImport& dialog = *owned;
        f.vault.Write("empty.csv", "");
        dialog.fileBox()->setText(Path(f, "empty.csv"));
        dialog.groupBox()->setText(QStringLiteral("空"));
        dialog.importButton()->click();
        dialog.importButton()->click();
        QCOMPARE(f.GroupEntries().count(QStringLiteral("空")), 1);
        QCOMPARE(Menu(dialog).count(QStringLiteral("空")), 1);
        QCOMPARE(dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
    }

    void failedImportStillListsTheTypedNameButAddsNoMenuEntry() {
        test::MainFixture f;
        frmMain& main = f.Open();
        const auto owned = MainDialogs::Import(main);
        frmImport& dialog = *owned;
        const std::string index = f.vault.ReadFile("Zorvan.idx");
        dialog.fileBox()->setText(Path(f, "missing.csv"));
        dialog.groupBox()->setText(QStringLiteral("新規"));
        dialog.importButton()->click();
        QCOMPARE(f.ui.messages, QStringList{kImportFailed});
        QCOMPARE(dialog.statusPanel()->text(), kImportFailed);
        QCOMPARE(f.GroupEntries().back(), QStringLiteral("新規"));
        QVERIFY(!Menu(dialog).contains(QStringLiteral("新規")));
        QCOMPARE(f.vault.ReadFile("Zorvan.idx"), index);
        QVERIFY(dialog.exportButton()->isEnabled() && dialog.importButton()->isEnabled());
    }

    void invalidGroupNameIsRefusedWithoutTouchingTheSelector() {
        test::MainFixture f;
        frmMain& main = f.Open();
        const auto owned = MainDialogs::Import(main);
        frmImport& dialog = *owned;
        WriteCsv(f, "in.csv", "x\r\n");
        dialog.fileBox()->setText(Path(f, "in.csv"));
        const QStringList before = f.GroupEntries();
        const std::string index = f.vault.ReadFile("Zorvan.idx");
        for (const char* bad : {"Web#1", "", "a\tb"}) {
            dialog.groupBox()->setText(QString::fromUtf8(bad));
            dialog.importButton()->click();
            QCOMPARE(f.ui.messages.back(), kImportFailed);
        }
        QCOMPARE(f.GroupEntries(), before);
        QCOMPARE(f.vault.ReadFile("Zorvan.idx"), index);
    }

    void slowRunShowsProgressAndRepaintsButCannotBeClosed() {
        test::MainFixture f;
        const auto owned = MainDialogs::Import(f.Open());
        frmImport& dialog = *owned;
        dialog.show();
        dialog.SetProgressDelay(0);
        std::string lines;
        for (int i = 0; i < 2000; ++i) {
            lines += "item" + std::to_string(i) + ",id,pw\r\n";
        }
        WriteCsv(f, "in.csv", lines);
        dialog.fileBox()->setText(Path(f, "in.csv"));
        dialog.groupBox()->setText(QStringLiteral("Big"));

        struct Watcher : QObject {
            frmImport* dialog = nullptr;
            int paints = 0;
            bool buttonsDisabled = true;
            bool closeRefused = true;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Paint) {
                    ++paints;
                    buttonsDisabled = buttonsDisabled && !dialog->importButton()->isEnabled() &&
                                      !dialog->exportButton()->isEnabled();
                    QCloseEvent close;
                    QApplication::sendEvent(dialog, &close);
                    closeRefused = closeRefused && !close.isAccepted();
                }
                return false;
            }
        } watcher;
        watcher.dialog = &dialog;
        dialog.progressBar()->installEventFilter(&watcher);
        dialog.importButton()->click();
        QVERIFY(watcher.paints > 0);
        QVERIFY(watcher.buttonsDisabled);
        QVERIFY(watcher.closeRefused);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.progressBar()->isVisible());
        QCOMPARE(dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
        QCOMPARE(f.Line("Big").size(), std::size_t{2001});
    }
};

const QString frmImportTest::kExportFailed =
    QStringLiteral("エラーが発生したのでエクスポートを中断しました");
const QString frmImportTest::kImportFailed =
    QStringLiteral("エラーが発生したのでインポートを中断しました");

}  // namespace zorvan

QTEST_MAIN(zorvan::frmImportTest)
#include "frmImportTest.moc"
