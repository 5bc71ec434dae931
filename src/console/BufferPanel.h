#pragma once

struct BufferControls;
struct BufferState;
struct CommandLineControls;

// The command buffer panel: 64 labels showing the slots, their delete buttons, Clear, ADD and
// the clear-line button beside the command line. A buffer label is named by what it shows; its
// description tells the line number and the whole line.
class BufferPanel {
public:
    static constexpr int CaptionChars = 15;

    BufferPanel(BufferControls& buffer, CommandLineControls& line, BufferState& s)
        : buffer_(buffer), line_(line), s_(s) {}
    void connectControls();

    void showBuffer();
    void insertBufferLine(int n);
    void deleteBufferLine(int n);
    void clearBuffer();
    void addToBuffer();
    void clearCommandLine();

private:
    void focusCommandLine();

    BufferControls& buffer_;
    CommandLineControls& line_;
    BufferState& s_;
};
