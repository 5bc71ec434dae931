// The built programs as a shell starts them: answers without a display, the window's files.
#include "TestFiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>

namespace {

const QString Window = QStringLiteral(BRENMOOR_PATH);
const QString Board = QStringLiteral(BRENMOOR_BOARD_PATH);
const QString Cli = QStringLiteral(BRENMOOR_CLI_PATH);

// True once the process handles SIGTERM: sent earlier, it would skip the shut-down looked at.
bool catchesSigterm(qint64 pid) {
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray mask = status.mid(status.indexOf("SigCgt:") + 7).split('\n').first();
    return status.contains("SigCgt:") &&
           (mask.trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void filesFolder_data();
    void filesFolder();
};

void TestCommandLine::answersWithoutDisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on stdout after exit 0, on stderr otherwise
    for (const QString& program : {Window, Board, Cli}) {
        const QString name = QFileInfo(program).fileName(); // brenmoor, -board, -cli
        QTest::addRow("%s version", qPrintable(name))
            << program << QStringList{"--version"} << 0 << name + " " BRENMOOR_VERSION "\n";
    }
    QTest::newRow("window help") << Window << QStringList{"--help"} << 0 << "--state ";
    QTest::newRow("dir and state")
        << Window << QStringList{"--dir", "x", "--state"} << 1 << "exclude";
    // Qt's single-dash words are not rows of letters: -reverse holds no -v.
    QTest::newRow("window Qt word") << Window << QStringList{"-reverse", "--dir"} << 1 << "--dir";
    QTest::newRow("board help") << Board << QStringList{"--help"} << 0 << "--pty-link";
}

void TestCommandLine::answersWithoutDisplay() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir cwd;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd.path());
    p.start(program, arguments);
    QVERIFY(p.waitForFinished(60000));
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    QVERIFY2((exitCode == 0 ? out : err).contains(said.toUtf8()), (out + err).constData());
    // Nothing written where it was typed: no Terminal.log, command.ini or anything else.
    QCOMPARE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), {});
}

// The window started offscreen with the row's XDG_STATE_HOME ("@" stands for a fresh folder;
// unset when empty); SIGTERM runs the normal shut-down that writes command.ini.
void TestCommandLine::filesFolder_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("stateHome");
    QTest::addColumn<QString>("folder"); // under "@"
    const QStringList state{"--state"};
    const QString home = QStringLiteral("home/.local/state/brenmoor");
    const QString unset;
    QTest::newRow("working folder") << QStringList{} << unset << "cwd";
    QTest::newRow("dir made with parents")
        << QStringList{"--dir", "@/new/files"} << unset << "new/files";
    QTest::newRow("dir below cwd") << QStringList{"--dir", "files"} << unset << "cwd/files";
    QTest::newRow("state") << state << QString("@/state") << "state/brenmoor";
    QTest::newRow("state by default") << state << unset << home;
    QTest::newRow("state ignores a relative XDG_STATE_HOME") << state << QString("state") << home;
}

void TestCommandLine::filesFolder() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, stateHome);
    QFETCH(QString, folder);
    QTemporaryDir root;
    const QString cwd = root.filePath(QStringLiteral("cwd"));
    QVERIFY(QDir().mkpath(cwd));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    env.remove(QStringLiteral("XDG_STATE_HOME"));
    if (!stateHome.isEmpty())
        env.insert(QStringLiteral("XDG_STATE_HOME"), stateHome.replace(u'@', root.path()));
    for (QString& argument : arguments)
        argument.replace(u'@', root.path());

    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    p.start(Window, arguments);
    const QString files = root.filePath(folder);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(files + QStringLiteral("/Terminal.log")) &&
                                 catchesSigterm(p.processId()),
                             30000);
    QCOMPARE(::kill(pid_t(p.processId()), SIGTERM), 0);
    QVERIFY(p.waitForFinished(60000));
    QVERIFY(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0);
    QCOMPARE(readFile(files + QStringLiteral("/command.ini")), QByteArray("\r\n").repeated(64));
    for (const char* name : {"Terminal.log", "command.ini"}) // none left in the working folder
        QVERIFY2(files == cwd || !QFile::exists(cwd + u'/' + QLatin1String(name)), name);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
