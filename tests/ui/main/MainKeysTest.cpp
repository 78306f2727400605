#include <QAction>
#include <QLabel>
#include <QtTest>

#include "support/MainFixture.h"
#include "ui/WindowServices.h"
#include "ui/main/MainKeys.h"

namespace zorvan {

// The main window's key map, with real key events sent to the focused control.
class MainKeysTest : public QObject {
    Q_OBJECT

private:
    // Key events come from the window system to the window, which hands them to the
    // control with the focus, as the keyboard's do.
    static void Press(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        to->setFocus();
        QTest::keyClick(to->window()->windowHandle(), static_cast<Qt::Key>(key), modifiers);
    }

private slots:
    // Each key runs its command once. While a command's dialog is up, the desktop
    // may take the activation away and give it back later; the press must not
    // come back as a second command when the dialog closes, wherever the focus was.
    void eachCommandRunsOncePerPressWhateverTheFocus_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("focus");  // 0 list, 1 selector, 2 nothing
        QTest::addColumn<QString>("ran");
        const struct {
            const char* name;
            int key;
            Qt::KeyboardModifiers modifiers;
            const char* ran;  // the dialog, question or copy
        } presses[] = {
            {"Insert", Qt::Key_Insert, Qt::NoModifier, "item"},
            {"Delete", Qt::Key_Delete, Qt::NoModifier, "Exampleを消去してもよろしいですか"},
            {"Enter", Qt::Key_Return, Qt::NoModifier, "item"},
            {"Ctrl+Insert", Qt::Key_Insert, Qt::ControlModifier, "+新規グループ"},
            {"Ctrl+Delete", Qt::Key_Delete, Qt::ControlModifier, "Webを消去してもよろしいですか"},
            {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier, "=Web"},
            {"Ctrl+E", Qt::Key_E, Qt::ControlModifier, "https://example.com/"},
            {"Alt+Enter", Qt::Key_Return, Qt::AltModifier, "options"},
        };
        const char* focuses[] = {"list", "selector", "nothing"};
        for (const auto& press : presses) {
            for (int focus = 0; focus < 3; ++focus) {
                QTest::addRow("%s from %s", press.name, focuses[focus])
                    << press.key << static_cast<int>(press.modifiers) << focus
                    << QString::fromUtf8(press.ran);
            }
        }
    }
    void eachCommandRunsOncePerPressWhateverTheFocus() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, focus);
        QFETCH(QString, ran);
        test::MainFixture f;
        auto& main = f.Open();
        f.SelectRows({0});
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
        QCOMPARE(commands, QStringList{ran});
        QCOMPARE(main.groupSelector()->count(), 4);  // No and Cancel keep everything
    }

    void f6MovesTheFocusToTheGroupSelectorFromAnyControl() {
        test::MainFixture f;
        auto& main = f.Open();
        main.itemList()->setFocus();
        QVERIFY(main.keys().Form_KeyDown(Qt::Key_F6, Qt::NoModifier) == false);
        QVERIFY(main.groupSelector()->hasFocus() ||
                QApplication::focusWidget() == main.groupSelector());
    }

    void onlyExactModifiersMatch() {
        test::MainFixture f;
        auto& main = f.Open();
        Press(main.itemList(), Qt::Key_Insert, Qt::ShiftModifier);
        Press(main.itemList(), Qt::Key_Insert, Qt::ControlModifier | Qt::AltModifier);
        Press(main.itemList(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.itemDialogs, 0);
        QVERIFY(f.groupDialogs.isEmpty());
        QVERIFY(f.ui.messages.isEmpty());
    }

    void enterActsOnTheSelectedRowEvenFromTheSelector() {
        test::MainFixture f;
        auto& main = f.Open();
        main.groupSelector()->setFocus();
        Press(main.groupSelector(), Qt::Key_Return);
        QCOMPARE(f.itemDialogs, 0);  // no row selected
        f.SelectRows({1});
        Press(main.groupSelector(), Qt::Key_Return);
        QCOMPARE(f.itemDialogs, 1);
        QCOMPARE(main.state().intEditIndex, 2);
    }

    void ctrlECopiesTheUrlWithoutMovingTheItem() {
        test::MainFixture f;
        auto& main = f.Open();
        const auto before = f.Line("Web");
        Press(main.itemList(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.ui.clipboard, QStringLiteral("<untouched>"));
        f.SelectRows({0});
        Press(main.itemList(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.ui.clipboard, QStringLiteral("https://example.com/"));
        QCOMPARE(f.Line("Web"), before);
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
