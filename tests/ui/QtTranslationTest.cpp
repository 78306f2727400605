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

    void standardButtonsAreJapanese() {
        QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                             QDialogButtonBox::No);
        // Mnemonic marks aside, the captions are Qt's Japanese ones.
        const auto caption = [&](QDialogButtonBox::StandardButton which) {
            return box.button(which)->text().remove(
                QRegularExpression(QStringLiteral("\\(&.\\)|&")));
        };
        QCOMPARE(caption(QDialogButtonBox::Cancel), QStringLiteral("キャンセル"));
        QCOMPARE(caption(QDialogButtonBox::Yes), QStringLiteral("はい"));
        QCOMPARE(caption(QDialogButtonBox::No), QStringLiteral("いいえ"));
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
