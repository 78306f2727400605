#include <QDialogButtonBox>
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
};

}  // namespace zorvan

QTEST_MAIN(zorvan::QtTranslationTest)
#include "QtTranslationTest.moc"
