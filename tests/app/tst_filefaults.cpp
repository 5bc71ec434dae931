// The terminal's files under faults: devices, FIFOs, a full disk or log, an ending signal.
#include "TestSupport.h"
#include "app/Startup.h"
#include "console/ConsoleModel.h"
#include "core/SignalPipe.h"
#include "link/SendPath.h"
#include "link/UdpPeer.h"

#include <QFileInfo>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

class TestFileFaults : public QObject {
    Q_OBJECT
private slots:
    void hostileFilesAtStart_data();
    void hostileFilesAtStart();
    void fullLog();
    void fullDiskKeepsCommandIni();
    void signalSavesTheBuffer();
};

// Each case would hang start-up (a FIFO) or read forever (/dev/zero) if opened as a file; a log
// that cannot be opened is told once and the window keeps running.
void TestFileFaults::hostileFilesAtStart_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind"); // "zero": a link to /dev/zero, "fifo": a FIFO, or "dir"
    for (const char* name : {"command.ini", "terminal.ini"})
        for (const char* kind : {"zero", "fifo"})
            QTest::addRow("%s %s", name, kind) << name << kind;
    for (const char* kind : {"fifo", "dir"})
        QTest::addRow("Terminal.log %s", kind) << "Terminal.log" << kind;
}

void TestFileFaults::hostileFilesAtStart() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    const int startBoxes = name == "Terminal.log" ? 1 : 0; // a log that cannot be opened
    WorkDir dir;
    if (kind == "zero")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), name));
    else if (kind == "dir")
        QVERIFY(QDir().mkdir(name));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    ScriptedDialogs dialogs;
    {
        TerminalWindow w(&dialogs);
        QCOMPARE(dialogs.errors.size(), startBoxes);
        QCOMPARE(w.state().commandLines[0], QByteArray());
        QCOMPARE(hostEntries(w), QStringList{Startup::DefaultBoardAddress});
        w.commandEdit->setText(QStringLiteral("PRINT 1")); // the closed log stops nothing
        w.sendPath().sendTypedLine();
        QVERIFY(w.console().text().endsWith("\r\nPRINT 1") && w.commandEdit->text().isEmpty());
        w.close();
    }
    // Nothing at that name is replaced by a file, and the device itself is untouched.
    QCOMPARE(QFileInfo(name).isSymLink(), kind == "zero");
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(name).constData(), &st), 0);
    QCOMPARE(st.st_mode & S_IFMT, kind == "zero" ? S_IFCHR : kind == "dir" ? S_IFDIR : S_IFIFO);
    // command.ini could not be saved over the device or FIFO: the operator is told once.
    QCOMPARE(dialogs.errors.size(), startBoxes + (name == "command.ini" ? 1 : 0));
}

// A log on /dev/full: every chunk reaches the console; a run of failing writes shows one box.
void TestFileFaults::fullLog() {
    WorkDir dir;
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), QStringLiteral("Terminal.log")));
    ScriptedDialogs dialogs;
    TerminalWindow w(&dialogs);
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    for (int i = 0; i < 20; ++i)
        QVERIFY(board.sendTo(w, numberedLines("reply ", 1, i)));
    WAIT_COMPARE(w.console().text(), numberedLines("reply ", 20));
    QCOMPARE(dialogs.errors.size(), 1);
    QCOMPARE(dialogs.errors.first().number, int(ErrorNumber::DeviceIo));
}

// A full disk at exit must not cost the buffer the operator had: the old command.ini stays.
void TestFileFaults::fullDiskKeepsCommandIni() {
    WorkDir dir;
    const QString diskPath = dir.file(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(diskPath));
    const SmallDisk disk(diskPath);
    if (!disk.mounted())
        QSKIP("mounting a small tmpfs needs root (as in CI) to check a full disk at exit");
    QDir::setCurrent(diskPath); // WorkDir goes back when it ends

    const QByteArray old = numberedLines("old ", 64);
    QVERIFY(writeFile(QStringLiteral("command.ini"), old));
    ScriptedDialogs dialogs;
    {
        TerminalWindow w(&dialogs);
        w.commandEdit->clear();
        typeLine(w.commandEdit, QStringLiteral("NEW LINE"));
        QCOMPARE(w.state().commandLines[0], QByteArray("NEW LINE"));
        QVERIFY(!writeFile(QStringLiteral("filler"), QByteArray(1 << 20, 'f'))); // the disk is full
        w.close();
    }
    QCOMPARE(readFile(QStringLiteral("command.ini")), old);
    QCOMPARE(dialogs.errors.size(), 1);
    QCOMPARE(dialogs.errors.first().number, int(ErrorNumber::DeviceIo));
}

// A signal saves the buffer as closing the window does, and never waits on a box.
void TestFileFaults::signalSavesTheBuffer() {
    Terminal w;
    SignalPipe shutdown({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&shutdown, &SignalPipe::raised, &w, &TerminalWindow::closeBySignal);
    w.commandEdit->clear();
    typeLine(w.commandEdit, QStringLiteral("TYPED BEFORE SIGTERM"));
    QCOMPARE(::kill(::getpid(), SIGTERM), 0);
    WAIT_VERIFY(readFile(QStringLiteral("command.ini")).startsWith("TYPED BEFORE SIGTERM\r\n"));
    QCOMPARE(readFile(QStringLiteral("command.ini")).count("\r\n"), 64);
    QVERIFY(w.dialogs().errors.isEmpty());
}

QTEST_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
