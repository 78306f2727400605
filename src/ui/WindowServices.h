#pragma once

#include <QRect>

class QWidget;

// Window coordinates are kept in twips (1/1440 inch), as the settings store them;
// these turn them into pixels and back, and provide the window services the
// windows share.
namespace zorvan::window {

// Twips per pixel of the screen the widget is on (15 at 96 dpi).
double TwipsPerPixelX(const QWidget* widget);
double TwipsPerPixelY(const QWidget* widget);

// twips / twips-per-pixel rounded to the nearest integer, halves to even.
int TwipsToPixels(double twips, double twipsPerPixel);
int PixelsToTwips(int pixels, double twipsPerPixel);

// Keeps the window above all normal windows, or no longer, without taking the focus.
void SetTopMost(QWidget* window, bool on);

// The screen's work area (without task bars) in pixels.
QRect WorkArea(const QWidget* window);

}  // namespace zorvan::window
