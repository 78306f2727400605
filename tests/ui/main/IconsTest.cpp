#include <QIcon>
#include <QImage>
#include <QtTest>

#include "ui/main/Icons.h"

namespace zorvan {

// The images compiled into the program: the toolbar's, the list rows' and its own.
class IconsTest : public QObject {
    Q_OBJECT

private:
    // Share of the pixels that are not fully transparent.
    static double Coverage(const QImage& image) {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        int drawn = 0;
        for (int y = 0; y < argb.height(); ++y) {
            for (int x = 0; x < argb.width(); ++x) {
                drawn += qAlpha(argb.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        return static_cast<double>(drawn) / (argb.width() * argb.height());
    }

    // Pixels where one image is solid and the other is not: the outlines differ there,
    // whatever the colours.
    static int ShapeDifference(const QIcon& a, const QIcon& b, int size) {
        const QImage first = a.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage second = b.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        int differing = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const bool solidA = qAlpha(first.pixel(x, y)) >= 128;
                const bool solidB = qAlpha(second.pixel(x, y)) >= 128;
                differing += solidA != solidB ? 1 : 0;
            }
        }
        return differing;
    }

private slots:
    void everyImageIsDrawnAtEachSizeAndPixelRatio_data() {
        QTest::addColumn<QIcon>("icon");
        for (int number = 1; number <= 10; ++number) {
            QTest::addRow("toolbar %d", number) << icons::ToolbarImage(number);
        }
        for (int number = 1; number <= 3; ++number) {
            QTest::addRow("row %d", number) << icons::RowIcon(number);
        }
        QTest::addRow("program") << icons::ProgramIcon();
    }

    void everyImageIsDrawnAtEachSizeAndPixelRatio() {
        QFETCH(QIcon, icon);
        for (const int size : {16, 24, 32}) {
            for (const qreal ratio : {1.0, 2.0}) {
                const QPixmap pixmap = icon.pixmap(QSize(size, size), ratio);
                const QString where = QStringLiteral("%1 px at ratio %2").arg(size).arg(ratio);
                QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(size, size));
                QCOMPARE(pixmap.size(), QSize(size, size) * ratio);
                // A missing resource or a drawing that failed leaves the pixmap clear.
                QVERIFY2(Coverage(pixmap.toImage()) > 0.3, qPrintable(where));
            }
        }
    }

    void rowIconsAreToldApartByShape() {
        const QIcon rows[] = {icons::RowIcon(1), icons::RowIcon(2), icons::RowIcon(3)};
        for (const int size : {16, 32}) {
            for (int a = 0; a < 3; ++a) {
                for (int b = a + 1; b < 3; ++b) {
                    // Recolouring cannot move an outline; demand more than a stray edge pixel.
                    QVERIFY2(ShapeDifference(rows[a], rows[b], size) >= size / 2,
                             qPrintable(QStringLiteral("rows %1 and %2 at %3 px")
                                            .arg(a + 1)
                                            .arg(b + 1)
                                            .arg(size)));
                }
            }
        }
    }

    void numbersOutsideEachSetGiveNoImage() {
        QVERIFY(icons::ToolbarImage(0).isNull());
        QVERIFY(icons::ToolbarImage(11).isNull());
        QVERIFY(icons::RowIcon(0).isNull());
        QVERIFY(icons::RowIcon(4).isNull());
    }
};

}  // namespace zorvan

QTEST_MAIN(zorvan::IconsTest)
#include "IconsTest.moc"
