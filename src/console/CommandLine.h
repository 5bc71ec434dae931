#pragma once

#include <QObject>
#include <functional>

class ConsoleModel;
class QKeyEvent;
struct BufferState;
struct CommandLineControls;

// The command line's keys: recall from the buffer with Up and Down, Enter to store and send,
// and the keyword help hook for every other key. Keys are judged before they change the text.
class CommandLine : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxTypedChars = 70;
    static constexpr qint16 EnterKey = 13; // the character code of Enter
    // Windows virtual key codes, the codes the key-down rules are written in.
    enum VirtualKey : qint16 {
        Backspace = 8,
        Left = 37,
        Up = 38,
        Right = 39,
        Down = 40,
        Delete = 46
    };

    CommandLine(CommandLineControls& line, BufferState& s, ConsoleModel& console,
                QObject* parent = nullptr);

    // Called for every key other than Enter with the text before the key.
    std::function<void(const QString& textBefore, qint16& key)> helpHook;
    std::function<void()> sendTypedLine;
    std::function<void()> showBuffer;

    void onKeyDown(qint16& keyCode);
    void onKeyPress(qint16& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QKeyEvent* key);
    bool pasteWithinLimit();
    void showRecalled();

    CommandLineControls& line_;
    BufferState& s_;
    ConsoleModel& console_;
};
