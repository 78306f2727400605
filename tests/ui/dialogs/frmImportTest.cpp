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
    struct Fixture : test::MainFixture {
        explicit Fixture(bool sample = true)
            : MainFixture(sample), owned(MainDialogs::Import(Open())), dialog(*owned) {}
        QString Path(const char* name) const {
            return QString::fromStdString(PathToUtf8(vault.folder() / name));
        }
        // A CSV file in code page 932.
        void WriteCsv(const char* name, const std::string& utf8) const {
            vault.Write(name, codepage::ToAnsi(utf8));
        }
        // Names the file and the group for the next export or import.
        void Use(const char* file, const QString& group) const {
            dialog.fileBox()->setText(Path(file));
            dialog.groupBox()->setText(group);
        }
        QStringList Menu() const { return Visible(dialog.groupMenu()->actions()); }

        std::unique_ptr<frmImport> owned;
        frmImport& dialog;
    };

    static const QString kExportFailed;
    static const QString kImportFailed;

private slots:
    void controlsStandTopToBottomAndImageButtonsAreNamed() {
        Fixture f;
        f.dialog.show();
        for (QPushButton* image : {f.dialog.fileButton(), f.dialog.groupButton()}) {
            QVERIFY(image->text().isEmpty() && !image->icon().isNull());
            QVERIFY(!image->accessibleName().isEmpty());
        }
        const auto top = [&](QWidget* w) { return w->mapTo(&f.dialog, QPoint(0, 0)).y(); };
        QVERIFY(top(f.dialog.fileBox()) < top(f.dialog.exportButton()));
        QCOMPARE(top(f.dialog.exportButton()), top(f.dialog.importButton()));
        QVERIFY(top(f.dialog.exportButton()) < top(f.dialog.groupBox()));
        QVERIFY(top(f.dialog.groupBox()) < top(f.dialog.appendBox()));
        QVERIFY(top(f.dialog.closeButton()) < top(f.dialog.statusBar()));
        QVERIFY(f.dialog.fileBox()->text().isEmpty());
        QVERIFY(!f.dialog.appendBox()->isChecked());
        QCOMPARE(f.dialog.groupBox()->text(), QStringLiteral("Web"));
        QVERIFY(f.dialog.statusPanel()->text().isEmpty());
        QVERIFY(!f.dialog.progressBar()->isVisible());
    }

    void groupMenuListsTheGroupsAndFillsTheGroupBox() {
        Fixture f;
        QCOMPARE(f.Menu(), (QStringList{QStringLiteral("Web"), QStringLiteral("銀行"),
                                        QStringLiteral("Empty"), QStringLiteral("Imported")}));
        f.dialog.show();
        f.dialog.groupButton()->click();
        QVERIFY(f.dialog.groupMenu()->isVisible());
        f.dialog.groupMenu()->hide();
        f.dialog.groupItems()[2]->trigger();
        QCOMPARE(f.dialog.groupBox()->text(), QStringLiteral("銀行"));
    }

    void withoutGroupsTheMenuHoldsOnlyTheDisabledPlaceholder() {
        Fixture f(false);
        QCOMPARE(f.Menu(), QStringList{QStringLiteral("-(no group)")});
        QVERIFY(f.dialog.groupBox()->text().isEmpty());
    }

    void fileDialogHasTheFilterAndTitleAndCancelKeepsTheName() {
        Fixture f;
        f.ui.chosenFile = QStringLiteral("/data/一覧.csv");
        f.dialog.fileButton()->click();
        QCOMPARE(f.ui.fileDialogs,
                 QStringList{QStringLiteral("インポート or エクスポートファイル|CSV (カンマ区切り) "
                                            "(*.csv)|*.csv|すべてのファイル(*.*)|*.*|")});
        QCOMPARE(f.dialog.fileBox()->text(), QStringLiteral("/data/一覧.csv"));
        f.dialog.fileBox()->setText(QStringLiteral("typed.csv"));
        f.ui.chosenFile.clear();
        f.dialog.fileButton()->click();
        QCOMPARE(f.dialog.fileBox()->text(), QStringLiteral("typed.csv"));
    }

    void exportWritesTheGroupAndReportsCompletion() {
        Fixture f;
        f.dialog.fileBox()->setText(f.Path("out.csv"));
        f.dialog.exportButton()->click();
        QCOMPARE(f.dialog.statusPanel()->text(), QStringLiteral("エクスポート完了"));
        QVERIFY(f.ui.messages.isEmpty());
        // The file's format is CsvEngineTest's; here that it holds the group shown.
        const std::string text = codepage::FromAnsi(f.vault.ReadFile("out.csv"));
        QVERIFY(text.starts_with("Example,") && text.find("\r\nメール,") != std::string::npos);
        QVERIFY(f.dialog.exportButton()->isEnabled() && f.dialog.importButton()->isEnabled());
    }

    void missingGroupOrDeclinedOverwriteShowTheFailureAndYesAppends() {
        Fixture f;
        f.Use("out.csv", QStringLiteral("web"));
        f.dialog.exportButton()->click();
        QCOMPARE(f.ui.messages, QStringList{kExportFailed});
        QCOMPARE(f.dialog.statusPanel()->text(), kExportFailed);
        QVERIFY(!std::filesystem::exists(f.vault.folder() / "out.csv"));
        QVERIFY(f.dialog.exportButton()->isEnabled() && f.dialog.importButton()->isEnabled());

        f.vault.Write("out.csv", "old\r\n");
        f.dialog.groupBox()->setText(QStringLiteral("Web"));
        const QString question =
            f.Path("out.csv") + QStringLiteral("は既に存在しています。\r\n上書きしますか？");
        f.ui.answers = {UiServices::Answer::kNo};
        f.dialog.exportButton()->click();
        QCOMPARE(f.ui.messages, (QStringList{kExportFailed, question, kExportFailed}));
        QCOMPARE(f.vault.ReadFile("out.csv"), std::string("old\r\n"));
        f.dialog.appendBox()->setChecked(true);
        f.ui.answers = {UiServices::Answer::kYes};
        f.dialog.exportButton()->click();
        QCOMPARE(f.ui.messages.size(), 4);
        QCOMPARE(f.ui.messages.back(), question);
        QCOMPARE(f.dialog.statusPanel()->text(), QStringLiteral("エクスポート完了"));
        QVERIFY(f.vault.ReadFile("out.csv").starts_with("old\r\nExample,"));
    }

    void importIntoANewGroupListsItInTheSelectorAndTheMenus() {
        Fixture f;
        f.WriteCsv("in.csv", "x,1\r\ny,2\r\n");
        f.Use("in.csv", QStringLiteral("新規"));
        f.dialog.importButton()->click();
        QCOMPARE(f.dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(f.GroupEntries().back(), QStringLiteral("新規"));
        QCOMPARE(f.main->groupSelector()->currentText(), QStringLiteral("Web"));
        QCOMPARE(f.main->state().strCurrentGroup, QStringLiteral("Web"));
        QCOMPARE(f.Names(), (QStringList{QStringLiteral("Example"), QStringLiteral("メール")}));
        QCOMPARE(f.Menu().back(), QStringLiteral("新規"));
        QCOMPARE(f.Visible(f.main->menus().mnuMove->actions()).back(), QStringLiteral("新規"));
        QCOMPARE(f.Line("新規").size(), std::size_t{3});
        // A second import into it adds no further entries anywhere.
        const int selectorCount = f.main->groupSelector()->count();
        const int menuCount = static_cast<int>(f.dialog.groupItems().size());
        f.dialog.importButton()->click();
        QCOMPARE(f.main->groupSelector()->count(), selectorCount);
        QCOMPARE(static_cast<int>(f.dialog.groupItems().size()), menuCount);
        QCOMPARE(f.Line("新規").size(), std::size_t{5});
    }

    void emptyFileIntoANewNameListsItOnlyOnce() {
        Fixture f;
        f.vault.Write("empty.csv", "");
        f.Use("empty.csv", QStringLiteral("空"));
        f.dialog.importButton()->click();
        f.dialog.importButton()->click();
        QCOMPARE(f.GroupEntries().count(QStringLiteral("空")), 1);
        QCOMPARE(f.Menu().count(QStringLiteral("空")), 1);
        QCOMPARE(f.dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
    }

    void failedImportStillListsTheTypedNameButAddsNoMenuEntry() {
        Fixture f;
        const std::string index = f.vault.ReadFile("Zorvan.idx");
        f.Use("missing.csv", QStringLiteral("新規"));
        f.dialog.importButton()->click();
        QCOMPARE(f.ui.messages, QStringList{kImportFailed});
        QCOMPARE(f.dialog.statusPanel()->text(), kImportFailed);
        QCOMPARE(f.GroupEntries().back(), QStringLiteral("新規"));
        QVERIFY(!f.Menu().contains(QStringLiteral("新規")));
        QCOMPARE(f.vault.ReadFile("Zorvan.idx"), index);
        QVERIFY(f.dialog.exportButton()->isEnabled() && f.dialog.importButton()->isEnabled());
    }

    void invalidGroupNameIsRefusedWithoutTouchingTheSelector() {
        Fixture f;
        f.WriteCsv("in.csv", "x\r\n");
        f.dialog.fileBox()->setText(f.Path("in.csv"));
        const QStringList before = f.GroupEntries();
        const std::string index = f.vault.ReadFile("Zorvan.idx");
        for (const char* bad : {"Web#1", "", "a\tb"}) {
            f.dialog.groupBox()->setText(QString::fromUtf8(bad));
            f.dialog.importButton()->click();
            QCOMPARE(f.ui.messages.back(), kImportFailed);
        }
        QCOMPARE(f.GroupEntries(), before);
        QCOMPARE(f.vault.ReadFile("Zorvan.idx"), index);
    }

    void slowRunShowsProgressAndRepaintsButCannotBeClosed() {
        Fixture f;
        f.dialog.show();
        f.dialog.SetProgressDelay(0);
        std::string lines;
        for (int i = 0; i < 2000; ++i) {
            lines += "item" + std::to_string(i) + ",id,pw\r\n";
        }
        f.WriteCsv("in.csv", lines);
        f.Use("in.csv", QStringLiteral("Big"));

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
        watcher.dialog = &f.dialog;
        f.dialog.progressBar()->installEventFilter(&watcher);
        f.dialog.importButton()->click();
        QVERIFY(watcher.paints > 0);
        QVERIFY(watcher.buttonsDisabled);
        QVERIFY(watcher.closeRefused);
        QVERIFY(f.dialog.isVisible());
        QVERIFY(!f.dialog.progressBar()->isVisible());
        QCOMPARE(f.dialog.statusPanel()->text(), QStringLiteral("インポート完了"));
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
