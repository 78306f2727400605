#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "ui/QtTranslation.h"

namespace zorvan {

// Texts that Qt supplies itself come out in Japanese, from Qt's own translations.
class QtTranslationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InstallQtTranslation(*QCoreApplication::instance())); }

    // One caption is enough to see Qt's own catalogue installed.
    void standardButtonsAreJapanese() {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        // Mnemonic marks aside, the caption is Qt's Japanese one.
        QCOMPARE(box.button(QDialogButtonBox::Cancel)
                     ->text()
                     .remove(QRegularExpression(QStringLiteral("\\(&.\\)|&"))),
                 QStringLiteral("キャンセル"));
    }

    void aTextBoxContextMenuIsJapanese() {
        QLineEdit edit(QStringLiteral("text"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList entries;
        for (const QAction* action : menu->actions()) {
            entries << action->text();
        }
        const QString all = entries.join(QLatin1Char('|'));
        for (const char* word : {"元に戻す", "切り取り", "コピー", "貼り付け"}) {
            QVERIFY2(all.contains(QString::fromUtf8(word)), qPrintable(all));
        }
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::QtTranslationTest)
#include "QtTranslationTest.moc"
