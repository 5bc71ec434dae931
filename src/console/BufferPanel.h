#pragma once

struct Controls;
struct TerminalState;

// The command buffer panel: 64 labels showing the slots, their delete buttons, Clear, ADD and
// the clear-line button beside the command line.
class BufferPanel {
public:
    static constexpr int CaptionChars = 15;

    BufferPanel(Controls& c, TerminalState& s) : c_(c), s_(s) {}
    void connectControls();

    void Update_Buffer();
    void Label13_Click(int n);
    void Command17_Click(int n);
    void Command20_Click();
    void Command21_Click();
    void Command22_Click();

private:
    void focusCommandLine();

    Controls& c_;
    TerminalState& s_;
};
