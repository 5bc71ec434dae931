#pragma once

#include <QString>

class BoardLink;
class Dialogs;
class Transfers;
struct BasicFilesControls;
struct CommandLineControls;

// The "BASIC Files" panel: program upload ("Download") and download ("Save "), the board
// commands NEW and STATUS, continue (">>") and stop ("X"). The panel asks the operator and
// reads the program file; the session's transfers do the rest.
class BasicPanel {
public:
    static inline const QString Filter = QStringLiteral("BAS files (*.bas)|*.bas");

    BasicPanel(BasicFilesControls& basic, CommandLineControls& line, Transfers& transfers,
               const BoardLink& link, Dialogs& dialogs)
        : basic_(basic), line_(line), transfers_(transfers), link_(link), dialogs_(dialogs) {}
    void connectControls();

    void uploadProgram(); // upload a program file
    void saveProgram();   // save the board's program into a file
    void newProgram();    // NEW
    void askStatus();     // STATUS
    void nextLine();      // the next line without waiting for a reply
    void stop();          // stop the upload where it stands

private:
    bool linkUp() const;

    BasicFilesControls& basic_;
    CommandLineControls& line_;
    Transfers& transfers_;
    const BoardLink& link_;
    Dialogs& dialogs_;
};
