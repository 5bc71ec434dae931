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
    enum class Outcome { Run, Help, Version, Usage };
    // Lenient: options and arguments this parser does not know are left for Qt.
    enum class Mode { Lenient, Strict };

    StartOptions();

    // arguments[0] is the program, as argv or QCoreApplication::arguments() give it.
    Outcome read(const QStringList& arguments, Mode mode);
    // Prints what a non-Run outcome asks for (help or version to stdout, the error to stderr)
    // and returns the exit code. The help names the program through QCoreApplication, so one
    // must exist (a QCoreApplication is enough: it needs no display).
    int answer(Outcome outcome) const;

    // Where terminal.ini, command.ini and Terminal.log live; empty for the working folder.
    QString filesDir() const { return filesDir_; }

private:
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption helpAll_;
    QCommandLineOption version_;
    QCommandLineOption dir_;
    QCommandLineOption state_;
    QString filesDir_;
    QString error_;
};

// $XDG_STATE_HOME/brenmoor; ~/.local/state/brenmoor when that is unset, empty or relative (the
// XDG base directory rules ignore a relative one).
QString userStateDir();

// Creates dir and any missing parents (private to the user, 0700) and makes it the working
// folder, where the window looks for its files; the reason when it cannot.
std::optional<QString> enterFilesDir(const QString& dir);
