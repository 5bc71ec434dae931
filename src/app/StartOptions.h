#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// The window's command line. It is read before Qt opens a display, so --help, --version and a
// wrong value answer on a machine without one, and once more after QApplication has taken
// its own options (-platform, -style, ...), which only then can be told from wrong ones.
class StartOptions {
public:
    StartOptions();

    // Before QApplication: the exit code when the command line is answered here (help,
    // version, a wrong value); nothing when the window is to start.
    std::optional<int> answerEarly(int& argc, char* argv[]);
    // After QApplication: refuses what is still unknown, then makes the folder for the files
    // (--dir, --state) the working folder, where the window looks for them. The exit code when
    // the window must not start.
    std::optional<int> settle(const QStringList& arguments);

private:
    enum class Outcome { Run, Help, Version, Usage };
    // Lenient: options and arguments this parser does not know are left for Qt.
    enum class Mode { Lenient, Strict };

    Outcome read(const QStringList& arguments, Mode mode);
    // Prints what a non-Run outcome asks for and returns the exit code.
    int answer(Outcome outcome) const;

    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption helpAll_;
    QCommandLineOption version_;
    QCommandLineOption dir_;
    QCommandLineOption state_;
    QString filesDir_; // empty: the working folder
    QString error_;
};
