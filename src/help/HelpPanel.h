#pragma once

#include <QObject>
#include <QString>
#include <span>
#include <string_view>

struct CommandLineControls;
struct HelpControls;

// The help panel: the 15 entries helpLabels(0..14) list the keyword group of the letter just typed
// into the command line, and a click on an entry puts that keyword into the command line. Each
// entry is named by the keyword it shows, so a screen reader reads the list.
class HelpPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int Entries = 15;

    HelpPanel(HelpControls& help, CommandLineControls& line, QObject* parent = nullptr);

    // Wires the entries' clicks to insertKeyword and keeps the entries from taking the focus,
    // so a click leaves the caret in the command line.
    void connectControls();

    void clearHelp();
    // key is the character code of the key being typed; it is read, never changed.
    void showStatements(qint16& key);
    void showFunctions(qint16& key);
    void insertKeyword(qint16 index);

    // For the command line's key-press handler, for every key but Enter, before the key changes
    // the text: shows statements, functions or leaves the panel alone, as the text calls for.
    void onCommandLineKey(const QString& textBefore, qint16& key);

private:
    void show(std::span<const std::string_view> group);

    HelpControls& help_;
    CommandLineControls& line_;
};
