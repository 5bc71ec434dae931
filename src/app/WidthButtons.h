#pragma once

#include <QString>

class QWidget;
struct Controls;
struct TerminalState;

// The width buttons, the case buttons, the upload stop button and the web address label.
class WidthButtons {
public:
    static constexpr int Narrow = 8700;
    static constexpr int WithBuffer = 12840;
    static constexpr int Full = 18330;
    static constexpr int NarrowAtMost = 9000;

    WidthButtons(QWidget* window, Controls& c, TerminalState& s) : window_(window), c_(c), s_(s) {}
    void connectControls();

    int widthTwips() const;
    void setWidthTwips(int twips);

    void Command18_Click();
    void Command19_Click();
    void Command15_Click();
    void Command16_Click();
    void Command14_Click();
    void Label15_Click();

private:
    QWidget* window_;
    Controls& c_;
    TerminalState& s_;
};

// Opens an address with the desktop's default handler.
void OpenSite(const QString& OpenURL);
