#include "app/StartOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Description =
    "A terminal for networked microcontroller boards running a BASIC interpreter,\n"
    "over UDP or a serial port, with MODBUS tools.\n"
    "\n"
    "The host list (terminal.ini), the command buffer (command.ini) and the traffic\n"
    "log (Terminal.log) live in the working folder, or where --dir or --state say.\n"
    "Qt's own options, such as -platform and -style, are accepted as well.";

QString systemReason(const QString& path, int error) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

// $XDG_STATE_HOME/brenmoor; ~/.local/state/brenmoor when that is unset, empty or relative (the
// XDG base directory rules ignore a relative one).
QString userStateDir() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/brenmoor");
}

// Creates dir and any missing parents and makes it the working folder; the reason when it
// cannot.
std::optional<QString> enterFilesDir(const QString& dir) {
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(dir));
    QStringList missing;
    for (QString at = path; !QFileInfo::exists(at); at = QFileInfo(at).path())
        missing.prepend(at);
    // The traffic log is the operator's business: folders made here are theirs alone.
    for (const QString& folder : missing) {
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            return systemReason(folder, errno);
    }
    if (::chdir(QFile::encodeName(path).constData()) != 0)
        return systemReason(path, errno);
    return std::nullopt;
}

} // namespace

StartOptions::StartOptions()
    : help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")),
      helpAll_(QStringLiteral("help-all")),
      version_({QStringLiteral("v"), QStringLiteral("version")},
               QStringLiteral("Show the version.")),
      dir_(QStringLiteral("dir"),
           QStringLiteral("Keep the three files in DIR (made when missing) instead of the "
                          "working folder."),
           QStringLiteral("DIR")),
      state_(QStringLiteral("state"),
             QStringLiteral("Keep them in $XDG_STATE_HOME/brenmoor (by default "
                            "~/.local/state/brenmoor), made when missing; the desktop menu "
                            "entry starts brenmoor so.")) {
    // Other Qt programs offer --help-all; here it is the same help, so it is not listed twice.
    helpAll_.setFlags(QCommandLineOption::HiddenFromHelp);
    parser_.setApplicationDescription(QString::fromLatin1(Description));
    // Qt's options are single-dash words (-platform, -stylesheet): never read them as a row of
    // one-letter options, which would turn -stylesheet's "h" into --help.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOptions({help_, helpAll_, version_, dir_, state_});
}

StartOptions::Outcome StartOptions::read(const QStringList& arguments, Mode mode) {
    filesDir_.clear();
    error_.clear();
    const bool parsed = parser_.parse(arguments);
    if (parser_.isSet(help_) || parser_.isSet(helpAll_))
        return Outcome::Help;
    if (parser_.isSet(version_))
        return Outcome::Version;
    // An option unknown here may be Qt's until QApplication has taken its own.
    const bool mayBeQts = mode == Mode::Lenient && !parser_.unknownOptionNames().isEmpty();
    if (!parsed && !mayBeQts) {
        error_ = parser_.errorText();
        return Outcome::Usage;
    }
    if (mode == Mode::Strict && !parser_.positionalArguments().isEmpty()) {
        error_ = QStringLiteral("Unexpected argument '%1'.")
                     .arg(parser_.positionalArguments().constFirst());
        return Outcome::Usage;
    }
    if (parser_.isSet(dir_) && parser_.isSet(state_)) {
        error_ = QStringLiteral("--dir and --state exclude each other.");
        return Outcome::Usage;
    }
    if (parser_.isSet(dir_) && parser_.value(dir_).isEmpty()) {
        error_ = QStringLiteral("--dir needs a folder.");
        return Outcome::Usage;
    }
    filesDir_ = parser_.isSet(dir_) ? parser_.value(dir_) : QString();
    if (parser_.isSet(state_))
        filesDir_ = userStateDir();
    return Outcome::Run;
}

int StartOptions::answer(Outcome outcome) const {
    switch (outcome) {
    case Outcome::Help:
        std::fputs(parser_.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case Outcome::Version:
        std::printf("brenmoor %s\n", BRENMOOR_VERSION);
        return 0;
    case Outcome::Usage:
        std::fprintf(stderr, "brenmoor: %s See brenmoor --help.\n",
                     error_.toLocal8Bit().constData());
        return 1;
    case Outcome::Run:
        break;
    }
    return 0;
}

std::optional<int> StartOptions::answerEarly(int& argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const Outcome outcome = read(arguments, Mode::Lenient);
    if (outcome == Outcome::Run)
        return std::nullopt;
    const QCoreApplication core(argc, argv); // names the program in the help; needs no display
    return answer(outcome);
}

std::optional<int> StartOptions::settle(const QStringList& arguments) {
    if (const Outcome outcome = read(arguments, Mode::Strict); outcome != Outcome::Run)
        return answer(outcome);
    if (filesDir_.isEmpty())
        return std::nullopt;
    if (const auto failed = enterFilesDir(filesDir_)) {
        std::fprintf(stderr, "brenmoor: cannot keep the files in %s\n",
                     failed->toLocal8Bit().constData());
        return 1;
    }
    return std::nullopt;
}
