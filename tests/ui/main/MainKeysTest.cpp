#include <QAction>
#include <QLabel>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/WindowServices.h"
#include "ui/main/MainKeys.h"

namespace zorvan {

// The main window's key map, with real key events sent to the window, which hands
// them to the control with the focus, as the keyboard's do.
class MainKeysTest : public QObject {
    Q_OBJECT

private slots:
    // Each key runs its command once, and only with exactly its modifiers. While a
    // command's dialog is up, the desktop may take the activation away and give it
    // back later; the press must not come back as a second command when the dialog
    // closes, wherever the focus was.
    void eachCommandRunsOncePerPressWhateverTheFocus_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("rowSelected");
        QTest::addColumn<int>("focus");  // 0 list, 1 selector, 2 nothing
        QTest::addColumn<QString>("ran");
        const struct {
            const char* name;
            int key;
            Qt::KeyboardModifiers modifiers;
            bool rowSelected;
            const char* ran;  // the dialog, question or copy; empty for nothing
        } presses[] = {
            {"Insert", Qt::Key_Insert, Qt::NoModifier, true, "item"},
            {"Insert without a row", Qt::Key_Insert, Qt::NoModifier, false, "item"},
            {"Delete", Qt::Key_Delete, Qt::NoModifier, true, "Exampleを消去してもよろしいですか"},
            {"Enter", Qt::Key_Return, Qt::NoModifier, true, "item"},
            {"Enter without a row", Qt::Key_Return, Qt::NoModifier, false, ""},
            {"Ctrl+Insert", Qt::Key_Insert, Qt::ControlModifier, true, "+新規グループ"},
            {"Ctrl+Delete", Qt::Key_Delete, Qt::ControlModifier, true,
             "Webを消去してもよろしいですか"},
            {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier, true, "=Web"},
            {"Ctrl+E", Qt::Key_E, Qt::ControlModifier, true, "https://example.com/"},
            {"Ctrl+E without a row", Qt::Key_E, Qt::ControlModifier, false, ""},
            {"Alt+Enter", Qt::Key_Return, Qt::AltModifier, true, "options"},
            {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier, true, ""},
            {"Ctrl+Alt+Insert", Qt::Key_Insert, Qt::ControlModifier | Qt::AltModifier, true, ""},
            {"Ctrl+Shift+Delete", Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier, true,
             ""},
        };
        const char* focuses[] = {"list", "selector", "nothing"};
        for (const auto& press : presses) {
            for (int focus = 0; focus < 3; ++focus) {
                QTest::addRow("%s from %s", press.name, focuses[focus])
                    << press.key << static_cast<int>(press.modifiers) << press.rowSelected << focus
                    << QString::fromUtf8(press.ran);
            }
        }
    }
    void eachCommandRunsOncePerPressWhateverTheFocus() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, rowSelected);
        QFETCH(int, focus);
        QFETCH(QString, ran);
        test::MainFixture f;
        auto& main = f.Open();
        const auto before = f.Line("Web");
        if (rowSelected) {
            f.SelectRows({0});
        }
        QStringList commands;
        const auto leaveWindow = [&](const QString& command) {
            commands << command;
            QApplication::setActiveWindow(nullptr);
        };
        main.commands().dialogs().item = [&] { leaveWindow(QStringLiteral("item")); };
        main.commands().dialogs().group = [&](const QString& name, bool add) {
            leaveWindow((add ? QStringLiteral("+") : QStringLiteral("=")) + name);
        };
        main.commands().dialogs().options = [&] { leaveWindow(QStringLiteral("options")); };
        f.ui.duringMessage = [&] { leaveWindow(f.ui.messages.back()); };
        f.ui.answers = {UiServices::Answer::kCancel};
        if (key == Qt::Key_Delete && modifiers == Qt::ControlModifier) {
            f.ui.answers = {UiServices::Answer::kNo};
        }
        QWidget* target = focus == 0 ? static_cast<QWidget*>(main.itemList())
                                     : static_cast<QWidget*>(main.groupSelector());
        target->setFocus();
        if (focus == 2) {
            target->clearFocus();
        }
        QTest::keyClick(main.windowHandle(), static_cast<Qt::Key>(key),
                        static_cast<Qt::KeyboardModifiers>(modifiers));
        if (f.ui.clipboardWrites > 0) {
            commands << f.ui.clipboard;
        }
        QCOMPARE(commands, ran.isEmpty() ? QStringList() : QStringList{ran});
        // No and Cancel keep everything, and copying the URL moves no item.
        QCOMPARE(main.groupSelector()->count(), 4);
        QCOMPARE(f.Line("Web"), before);
    }

    void f6MovesTheFocusToTheGroupSelectorFromAnyControl() {
        test::MainFixture f;
        auto& main = f.Open();
        main.itemList()->setFocus();
        QVERIFY(main.keys().Form_KeyDown(Qt::Key_F6, Qt::NoModifier) == false);
        QVERIFY(main.groupSelector()->hasFocus() ||
                QApplication::focusWidget() == main.groupSelector());
    }

    void ctrlShiftArrowsMoveTheWindowToTheWorkAreaEdges() {
        test::MainFixture f;
        auto& main = f.Open();
        const QRect work = window::WorkArea(&main);
        QVERIFY(!work.isNull());
        main.move(200, 150);
        QVERIFY(main.keys().Form_KeyDown(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier));
        QCOMPARE(main.frameGeometry().left(), work.left());
        QCOMPARE(main.frameGeometry().top(), 150);
        main.keys().Form_KeyDown(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(main.frameGeometry().bottom(), work.bottom());
        main.resize(work.width() + 300, main.height());
        main.keys().Form_KeyDown(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(main.frameGeometry().left() < work.left());  // wider than the work area
        QCOMPARE(main.frameGeometry().right(), work.right());
        QVERIFY(!main.keys().Form_KeyDown(Qt::Key_Right, Qt::ControlModifier));
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::MainKeysTest)
#include "MainKeysTest.moc"
