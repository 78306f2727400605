#include "ui/main/Icons.h"

#include <QPainter>
#include <QPixmap>

namespace zorvan::icons {

namespace {

// A small badge: a coloured rounded square with a short glyph, drawn at run time so
// that the program ships no image files.
QIcon Badge(const QColor& colour, const QString& glyph) {
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(colour.darker(140));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(glyph.size() > 2 ? size * 5 / 16 : size * 9 / 16);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon ToolbarImage(int number) {
    const QColor item(0x2E, 0x7D, 0x32);
    const QColor group(0x15, 0x65, 0xC0);
    switch (number) {
        case 1:
            return Badge(item, QStringLiteral("+"));
        case 2:
            return Badge(item, QStringLiteral("ID"));
        case 3:
            return Badge(item, QStringLiteral("PW"));
        case 4:
            return Badge(item, QStringLiteral("URL"));
        case 5:
            return Badge(item, QStringLiteral("i"));
        case 6:
            return Badge(QColor(0x6A, 0x1B, 0x9A), QStringLiteral("▲"));
        case 7:
            return Badge(group, QStringLiteral("G+"));
        case 8:
            return Badge(group, QStringLiteral("G−"));
        case 9:
            return Badge(group, QStringLiteral("G"));
        case 10:
            return Badge(QColor(0xEF, 0x6C, 0x00), QStringLiteral("⌨"));
        default:
            return {};
    }
}

QIcon RowIcon(int number) {
    switch (number) {
        case 1:
            return Badge(QColor(0x54, 0x6E, 0x7A), QStringLiteral("•"));
        case 2:
            return Badge(QColor(0xC6, 0x28, 0x28), QStringLiteral("!"));
        case 3:
            return Badge(QColor(0x2E, 0x7D, 0x32), QStringLiteral("◷"));
        default:
            return {};
    }
}

}  // namespace zorvan::icons
