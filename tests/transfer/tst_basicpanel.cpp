// The "BASIC Files" panel in the window, against the board simulator on both links: the
// dialogs, the router's hand-over to the upload and download, the files and the board commands.
#include "BoardWindow.h"

#include "console/ConsoleModel.h"
#include "link/PtyPair.h"

#include <functional>

using Lines = QList<QByteArray>;

class TestBasicPanel : public QObject {
    Q_OBJECT
private slots:
    void uploadAndListBack_data();
    void uploadAndListBack();
    void refusedLine_data();
    void refusedLine();
    void loginRefusal();
    void listCommandPerLink_data();
    void listCommandPerLink();
    void newAndStatus_data();
    void newAndStatus();
    void unreadableProgram_data();
    void unreadableProgram();
    void megabyteLine();
    void cancelAndNoLink();
};

namespace {

const Lines Stored{"10 PRINT 1", "20 PRINT \"A\"", "30 END"};

void links() {
    addLinks();
    QTest::newRow("UDP") << Link::Udp;
    QTest::newRow("serial") << Link::Serial;
}

// Clicks "Download" with `program` as the chosen file.
void upload(BoardWindow& t, const QByteArray& program) {
    BoardWindow::write(QStringLiteral("prog.bas"), program);
    t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("prog.bas"));
    t.w.uploadProgramButton->click();
}

} // namespace

// Leading zeros go, an empty line needs ">>" (the board does not answer one), and what the
// board lists afterwards is what the file meant; "Save " writes that listing byte for byte.
void TestBasicPanel::uploadAndListBack_data() {
    addLinks();
    QTest::addColumn<QByteArray>("program");
    const QByteArray crlf("0010 PRINT 1\r\n\r\n020 PRINT \"A\"\r\n30 END\r\n");
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QTest::newRow("UDP, CR LF") << Link::Udp << crlf;
    QTest::newRow("UDP, LF") << Link::Udp << lf;
    QTest::newRow("serial, CR LF") << Link::Serial << crlf;
    QTest::newRow("serial, LF") << Link::Serial << lf;
}

void TestBasicPanel::uploadAndListBack() {
    QFETCH(Link, link);
    QFETCH(QByteArray, program);
    BoardWindow t;
    QVERIFY(t.start(link));
    upload(t, program);
    QCOMPARE(t.w.transfers().basic().uploading(), true);
    QCOMPARE(t.w.console().text(), QByteArray("10 PR\n"));
    // Line 1's OK sent the empty line 2, which earns no answer.
    QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
    QCOMPARE(t.w.console().text(), QByteArray("LOAD DATA = "));
    t.w.nextLineButton->click();
    QTRY_COMPARE(t.w.console().text(), QByteArray("SEND BASIC PROGRAM COMPLETED\r\nOK\r\n"));
    QCOMPARE(t.w.transfers().basic().uploading(), false);
    QCOMPARE(t.board->interpreter().program().listing(), Stored);
    QVERIFY(t.w.dialogs().messages.isEmpty());

    // On serial the poll gathers the last listing line and the closing OK into one chunk: the
    // listing still ends there, without the OK in the file.
    t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("saved.bas"));
    t.w.saveProgramButton->click();
    QTRY_COMPARE(t.w.console().text(), QByteArray("LOAD BASIC PROGRAM COMPLETED\r\n"));
    QCOMPARE(t.w.transfers().basic().downloading(), false);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("saved.bas"))),
             QByteArray("10 PRINT 1\r\n20 PRINT \"A\"\r\n30 END\r\n"));
    QVERIFY(t.w.dialogs().errors.isEmpty());
}

// A line the board refuses ends the upload there; the replies after it are console text.
void TestBasicPanel::refusedLine_data() {
    links();
}

void TestBasicPanel::refusedLine() {
    QFETCH(Link, link);
    BoardWindow t;
    QVERIFY(t.start(link));
    upload(t, "10 PRINT 1\r\n20 PRINT \"A\r\n30 END\r\n");
    QTRY_COMPARE(t.w.transfers().basic().uploading(), false);
    QCOMPARE(t.w.console().text(),
             QByteArray("LOAD DATA = 20 PRINT \"AError - see  source file \r\n"));
    QCOMPARE(t.board->interpreter().program().listing(), Lines{"10 PRINT 1"});
    typeLine(t.w.commandEdit, QStringLiteral("PRINT 7"));
    QTRY_VERIFY(t.w.console().text().endsWith("PRINT 7\r\n7\r\nOK\r\n"));
}

// A board that wants a login refuses the listing: the older file of that name stays as it was.
void TestBasicPanel::loginRefusal() {
    BoardWindow t;
    board::BoardOptions options;
    options.login = true;
    QVERIFY(t.start(Link::Udp, options));
    BoardWindow::write(QStringLiteral("old.bas"), "an older program\r\n");
    t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("old.bas"));
    t.w.saveProgramButton->click();
    QTRY_VERIFY(t.w.console().text().endsWith("ACCESS DENIED\r\n"));
    QCOMPARE(t.w.transfers().basic().downloading(), false);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("old.bas"))),
             QByteArray("an older program\r\n"));
    QVERIFY(!QFile::exists(BoardWindow::path(QStringLiteral("old.bas.part")))); // nothing came
    typeLine(t.w.commandEdit, QStringLiteral("PRINT 5"));
    QTRY_VERIFY(t.w.console().text().endsWith("5\r\nOK\r\n"));
}

// What "Save " puts on each link.
void TestBasicPanel::listCommandPerLink_data() {
    addLinks();
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("UDP") << Link::Udp << QByteArray("LIST\r\n");
    QTest::newRow("serial") << Link::Serial << QByteArray("LISt\r\n");
}

void TestBasicPanel::listCommandPerLink() {
    QFETCH(Link, link);
    QFETCH(QByteArray, command);
    Terminal w;
    UdpPeer peer;
    PtyPair pty;
    std::function<bool(const QByteArray&)> reply;
    if (link == Link::Udp) {
        QVERIFY(connectWindow(w, peer.port()));
        reply = [&](const QByteArray& b) {
            return peer.sendTo(w, b);
        };
    } else {
        QVERIFY(pty.ok());
        w.portEdit->setText(pty.slavePath());
        w.openPortButton->click();
        QCOMPARE(w.link().serialOpen(), true);
        reply = [&](const QByteArray& b) {
            return pty.send(b);
        };
    }
    w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("x.bas"));
    w.saveProgramButton->click();
    QByteArray got;
    if (link == Link::Udp)
        QVERIFY(peer.receive(&got));
    else
        got = pty.receive(command.size());
    QCOMPARE(got, command);
    QVERIFY(reply("10 A\r\n"));
    QVERIFY(reply("OK\r\n"));
    QTRY_COMPARE(w.transfers().basic().downloading(), false);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("x.bas"))), QByteArray("10 A\r\n"));
}

// "??" asks the board, "New " erases its program; neither writes the command line or the log.
void TestBasicPanel::newAndStatus_data() {
    links();
}

void TestBasicPanel::newAndStatus() {
    QFETCH(Link, link);
    BoardWindow t;
    QVERIFY(t.start(link));
    typeLine(t.w.commandEdit, QStringLiteral("10 PRINT 1"));
    QTRY_VERIFY(t.w.console().text().endsWith("OK\r\n"));
    const QByteArray logBefore = t.log();

    t.w.statusButton->click();
    QTRY_VERIFY(t.w.console().text().contains("Program lines: 1\r\n"));
    t.w.newProgramButton->click();
    QTRY_COMPARE(t.board->interpreter().program().lineCount(), 0);
    t.w.statusButton->click();
    QTRY_VERIFY(t.w.console().text().contains("Program lines: 0\r\n"));
    QCOMPARE(t.w.commandEdit->text(), QString());
    QVERIFY(!t.log().mid(logBefore.size()).contains("STATUS"));
    QVERIFY(!t.log().mid(logBefore.size()).contains("NEW"));
}

// A file that cannot be a program: one box, nothing sent, no upload left running.
void TestBasicPanel::unreadableProgram_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("missing") << "missing.bas" << int(ErrorNumber::FileNotFound);
    QTest::newRow("directory") << "dir.bas" << int(ErrorNumber::PathAccess);
}

void TestBasicPanel::unreadableProgram() {
    QFETCH(QString, name);
    QFETCH(int, error);
    BoardWindow t;
    QVERIFY(t.start(Link::Udp));
    QVERIFY(QDir::current().mkdir(QStringLiteral("dir.bas")));
    t.w.dialogs().openAnswers << BoardWindow::path(name);
    t.w.uploadProgramButton->click();
    QCOMPARE(t.w.dialogs().errors.size(), 1);
    QCOMPARE(t.w.dialogs().errors.front().number, error);
    QCOMPARE(t.w.transfers().basic().uploading(), false);
    typeLine(t.w.commandEdit, QStringLiteral("PRINT 3"));
    QTRY_VERIFY(t.w.console().text().endsWith("3\r\nOK\r\n"));
    QCOMPARE(t.board->interpreter().program().lineCount(), 0);
}

// A megabyte line does not fit a datagram and earns no answer; ">>" goes past it and "X"
// would stop it. NUL and high bytes travel as they are.
void TestBasicPanel::megabyteLine() {
    BoardWindow t;
    QVERIFY(t.start(Link::Udp));
    upload(t, QByteArray("10 A$=\"\0\xff\"\r\n20 ", 15) + QByteArray(1 << 20, 'x') +
                  "\n30 END\r\n40 STOP");
    QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
    t.w.nextLineButton->click();
    QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(0));
    QCOMPARE(t.board->interpreter().program().listing(),
             Lines({QByteArray("10 A$=\"\0\xff\"", 10), "30 END", "40 STOP"}));

    upload(t, "10 PRINT 1\r\n20 " + QByteArray(1 << 20, 'y') + "\r\n30 END\r\n");
    QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
    t.w.stopButton->click();
    QCOMPARE(t.w.transfers().basic().uploading(), false);
    typeLine(t.w.commandEdit, QStringLiteral("PRINT 9"));
    QTRY_VERIFY(t.w.console().text().endsWith("9\r\nOK\r\n"));
}

// No file chosen: "Cancel", nothing changes. No link open: no dialog at all.
void TestBasicPanel::cancelAndNoLink() {
    Terminal w;
    w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("never.bas"));
    w.uploadProgramButton->click();
    w.saveProgramButton->click();
    QCOMPARE(w.dialogs().openAnswers.size(), 1);
    QVERIFY(w.dialogs().messages.isEmpty());

    UdpPeer peer;
    QVERIFY(connectWindow(w, peer.port()));
    w.dialogs().openAnswers.clear();
    w.uploadProgramButton->click();
    w.saveProgramButton->click();
    QCOMPARE(w.dialogs().messages.size(), 2);
    QVERIFY(w.dialogs().messages.front().endsWith(QStringLiteral("|Cancel")));
    QCOMPARE(w.transfers().basic().running(), false);
    QByteArray got;
    QVERIFY(!peer.receive(&got, 200));
}

QTEST_MAIN(TestBasicPanel)
#include "tst_basicpanel.moc"
