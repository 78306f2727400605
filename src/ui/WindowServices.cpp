#include "ui/WindowServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace zorvan::window {

namespace {
constexpr double kTwipsPerInch = 1440.0;

QScreen* ScreenOf(const QWidget* widget) {
    QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}
}  // namespace

double TwipsPerPixelX(const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return kTwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

double TwipsPerPixelY(const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return kTwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

int TwipsToPixels(double twips, double twipsPerPixel) {
    // lrint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::lrint(twips / twipsPerPixel));
}

int PixelsToTwips(int pixels, double twipsPerPixel) {
    return static_cast<int>(std::lrint(pixels * twipsPerPixel));
}

void SetTopMost(QWidget* window, bool on) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) {
        return;
    }
    const bool visible = window->isVisible();
    // Changing the flag re-creates the native window; show it again without
    // activating it, so the focus stays where it was.
    const bool noActivate = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        window->show();
    }
    window->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
}

QRect WorkArea(const QWidget* window) {
    const QScreen* screen = ScreenOf(window);
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

}  // namespace zorvan::window
