#include "ui/main/Icons.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#ifdef ZORVAN_PNG_ICONS
#include <QImage>
#else
#include <QSvgRenderer>
#endif
#include <array>
#include <span>

// The images live in a static library, where nothing else would make the linker keep
// their data; the initialiser has to be named outside any namespace.
static void LoadIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace zorvan::icons {

namespace {

// The images are SVG compiled into the program. Each is drawn once per size, at the
// 16 pixels of the toolbar and the list and at that size times the usual device pixel
// ratios, so a screen gets a drawing of its own size rather than a scaled bitmap,
// and no icon engine plug-in has to be deployed beside the program.
constexpr std::array kSizes{16, 20, 24, 32, 40, 48, 64};
constexpr std::array kProgramSizes{16, 20, 24, 32, 40, 48, 64, 128, 256};

constexpr std::array<const char*, 10> kToolbarNames{
    "add-item",    "copy-id",   "copy-password", "open-url",     "properties",
    "stay-on-top", "add-group", "delete-group",  "rename-group", "auto-type"};
constexpr std::array<const char*, 3> kRowNames{"item", "item-expired", "item-expiring"};

#ifdef ZORVAN_PNG_ICONS
// A Qt without its SVG module (the mingw cross-build) gets the same images as PNG,
// drawn from the SVG files at build time at the largest size and scaled down here.
QIcon Draw(const QString& name, std::span<const int> sizes) {
    const QImage image(QStringLiteral(":/icons/%1.png").arg(name));
    QIcon icon;
    for (const int size : sizes) {
        icon.addPixmap(QPixmap::fromImage(
            image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    return icon;
}
#else
QIcon Draw(const QString& name, std::span<const int> sizes) {
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    QIcon icon;
    for (const int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
#endif

QHash<QString, QIcon>& Cache() {
    static QHash<QString, QIcon> cache;
    return cache;
}

// The list asks for a row's icon at every paint, so each image is drawn once. The
// pixmaps are released with the application, not after it.
QIcon Cached(const char* name, std::span<const int> sizes = kSizes) {
    QHash<QString, QIcon>& cache = Cache();
    if (cache.isEmpty()) {
        LoadIconResources();
        qAddPostRoutine([] { Cache().clear(); });
    }
    const QString key = QString::fromLatin1(name);
    auto found = cache.find(key);
    if (found == cache.end()) {
        found = cache.insert(key, Draw(key, sizes));
    }
    return *found;
}

}  // namespace

QIcon ToolbarImage(int number) {
    if (number < 1 || number > static_cast<int>(kToolbarNames.size())) {
        return {};
    }
    return Cached(kToolbarNames[number - 1]);
}

QIcon RowIcon(int number) {
    if (number < 1 || number > static_cast<int>(kRowNames.size())) {
        return {};
    }
    return Cached(kRowNames[number - 1]);
}

QIcon ProgramIcon() {
    return Cached("zorvan", kProgramSizes);
}

}  // namespace zorvan::icons
