#pragma once

#include <QFont>
#include <QRect>

// The window is laid out in twips (1/1440 inch), converted with the screen's logical DPI.
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
QRect rect(int left, int top, int width, int height);
} // namespace Twips

// Courier New where the window names it, else the platform's fixed-pitch font.
QFont courierFont(int pointSize = 9);
