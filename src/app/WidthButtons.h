#pragma once

#include <QString>

class QWidget;
struct CommandLineControls;
struct ConsoleControls;
struct WindowControls;

// The width buttons, the case buttons and the web address label.
class WidthButtons {
public:
    static constexpr int Narrow = 8700;
    static constexpr int WithBuffer = 12840;
    static constexpr int Full = 18330;
    static constexpr int NarrowAtMost = 9000;

    WidthButtons(QWidget* window, ConsoleControls& console, CommandLineControls& line,
                 WindowControls& windowControls)
        : window_(window), console_(console), line_(line), c_(windowControls) {}
    void connectControls();

    // The window's width. The narrow and middle widths show a client area that ends exactly
    // where the next column begins (8640 and 12780), so no sliver of a hidden column shows;
    // they still read as 8700 and 12840.
    int widthTwips() const;
    void setWidthTwips(int twips);

    void widen();
    void narrow();
    void toUpperCase();
    void toLowerCase();
    void openWebAddress();

private:
    QWidget* window_;
    ConsoleControls& console_;
    CommandLineControls& line_;
    WindowControls& c_;
};

// Opens an address with the desktop's default handler.
void openSite(const QString& url);
