#pragma once

#include <QFont>
#include <QRect>

// The window is laid out in twips (1/1440 inch), converted with the screen's logical DPI.
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
QRect rect(int left, int top, int width, int height);
} // namespace Twips

// The font at a size given in twips and rounded to whole pixels as the layout is: a point size
// is rounded on its own (7 points are 9 pixels at 96 DPI, 19 at a logical 192), and captions drawn
// for their boxes at one DPI would outgrow them at another.
QFont twipsFont(QFont font, int sizeTwips);

// Courier New where the window names it, else the platform's fixed-pitch font.
QFont courierFont(int pointSize = 9);
