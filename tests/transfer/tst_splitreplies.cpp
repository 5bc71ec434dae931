// Transfers against a board whose every reply comes in two pieces 45 ms apart, as a board at
// 9600 baud spreads a reply over several of the terminal's reads, or a UDP board sends it in
// two datagrams: cut after byte 1, or in the middle (inside a hex pair, between CR and LF).
// The window and the client must move programs and files exactly, and alike.
#include "BoardWindow.h"

#include "cli/CliProcess.h"
#include "console/ConsoleModel.h"
#include "form/TextProgressBar.h"

#include <QLineEdit>

namespace {

const QByteArray Program = "10 PRINT \"\xC0\xFF\"\r\n20 A=1\r\n30 END\r\n";
const QList<QByteArray> Stored{"10 PRINT \"\xC0\xFF\"", "20 A=1", "30 END"};

// 40 bytes: two whole READ pieces and an empty end; 256: every byte value, an odd end.
QList<QByteArray> files() {
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < all.size(); ++i)
        all[i] = char(i * 7);
    return {all.left(40), all};
}

void splitRows() {
    addLinks();
    QTest::addColumn<int>("splitAt");
    for (const Link link : {Link::Udp, Link::Serial}) {
        const char* name = link == Link::Udp ? "UDP" : "serial";
        QTest::addRow("%s, cut after byte 1", name) << link << 1;
        QTest::addRow("%s, cut in the middle", name) << link << board::BoardOptions::SplitMiddle;
    }
}

board::BoardOptions splitting(int splitAt) {
    board::BoardOptions options;
    options.splitAt = splitAt;
    return options;
}

QStringList cliLink(const board::BoardSimulator& board, Link link) {
    if (link == Link::Udp)
        return {"--udp", QStringLiteral("127.0.0.1:%1").arg(board.udpPort())};
    return {"--serial", board.ptyPath() + QStringLiteral(":115200")};
}

// The board's answer to the window's last command has come whole.
bool answered(const BoardWindow& t) {
    return t.log().endsWith("OK\r\n");
}

void windowUpload(BoardWindow& t, const QByteArray& program) {
    BoardWindow::write(QStringLiteral("prog.bas"), program);
    t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("prog.bas"));
    t.w.uploadProgramButton->click();
}

} // namespace

class TestSplitReplies : public QObject {
    Q_OBJECT
private slots:
    void window_data() { splitRows(); }
    void window();
    void client_data() { splitRows(); }
    void client();
    void windowAndClientAlike();
};

void TestSplitReplies::window() {
    QFETCH(Link, link);
    QFETCH(int, splitAt);
    BoardWindow t;
    QVERIFY(t.start(link, splitting(splitAt)));
    const Transfers& transfers = t.w.transfers();

    windowUpload(t, Program);
    QTRY_COMPARE_WITH_TIMEOUT(t.board->interpreter().program().listing(), Stored, 10000);
    QVERIFY(!transfers.basic().running());
    QTRY_VERIFY(answered(t));

    t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("saved.bas"));
    t.w.saveProgramButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!transfers.basic().running(), 10000);
    QCOMPARE(t.w.console().text(), QByteArray("LOAD BASIC PROGRAM COMPLETED\r\n"));
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("saved.bas"))), Program);

    t.w.newProgramButton->click();
    QTRY_VERIFY(t.w.console().text().endsWith("COMPLETED\r\nOK\r\n"));
    t.w.statusButton->click();
    QTRY_VERIFY(t.w.console().text().endsWith("Disk free: 1048576\r\nOK\r\n"));
    QVERIFY(t.w.console().text().contains("Program lines: 0\r\n"));

    for (const QByteArray& bytes : files()) {
        BoardWindow::write(QStringLiteral("out.bin"), bytes);
        t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("out.bin"));
        t.w.sendFileButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!transfers.flash().running(), 20000);
        QCOMPARE(t.w.fileProgressBar->text(), QStringLiteral("OK"));
        QTRY_VERIFY(answered(t)); // to CLOSE

        t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("back.bin"));
        t.w.receiveFileButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!transfers.flash().running(), 20000);
        QCOMPARE(t.w.fileProgressBar->text(), QStringLiteral("OK"));
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("back.bin"))), bytes);
        QTRY_VERIFY(answered(t));
    }
    QVERIFY(t.w.dialogs().errors.isEmpty());
}

void TestSplitReplies::client() {
    QFETCH(Link, link);
    QFETCH(int, splitAt);
    WorkDir dir;
    board::BoardOptions options = splitting(splitAt);
    options.udpPort = 0;
    options.udpEnabled = link == Link::Udp;
    options.ptyEnabled = link == Link::Serial;
    board::BoardSimulator board(options);
    QString why;
    QVERIFY2(board.start(&why), qPrintable(why));
    const QStringList via = cliLink(board, link);
    const auto run = [&](const QStringList& command) {
        const CliResult r = runCli(via + command);
        if (r.exitCode != 0)
            qWarning("%s", r.err.constData());
        return r;
    };

    BoardWindow::write(QStringLiteral("prog.bas"), Program);
    QCOMPARE(run({"upload", BoardWindow::path(QStringLiteral("prog.bas"))}).exitCode, 0);
    QCOMPARE(run({"download", BoardWindow::path(QStringLiteral("saved.bas"))}).exitCode, 0);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("saved.bas"))), Program);
    QCOMPARE(run({"new"}).exitCode, 0);
    const CliResult status = run({"status"});
    QCOMPARE(status.exitCode, 0);
    QVERIFY2(status.out.contains("Program lines: 0"), status.out.constData());

    for (const QByteArray& bytes : files()) {
        BoardWindow::write(QStringLiteral("out.bin"), bytes);
        QCOMPARE(run({"put", BoardWindow::path(QStringLiteral("out.bin")), "F.BIN"}).exitCode, 0);
        QCOMPARE(run({"get", "F.BIN", BoardWindow::path(QStringLiteral("back.bin"))}).exitCode, 0);
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("back.bin"))), bytes);
    }
}

// One transfer code for both: against the same board, the window and the client put the same
// bytes on the wire and write the same file.
void TestSplitReplies::windowAndClientAlike() {
    BoardWindow t;
    QVERIFY(t.start(Link::Udp, splitting(board::BoardOptions::SplitMiddle)));
    const QStringList via = cliLink(*t.board, Link::Udp);
    const QByteArray bytes = files().last().left(100);
    BoardWindow::write(QStringLiteral("out.bin"), bytes);
    BoardWindow::write(QStringLiteral("prog.bas"), Program);
    QCOMPARE(
        runCli(via + QStringList{"put", BoardWindow::path(QStringLiteral("out.bin")), "DATA.BIN"})
            .exitCode,
        0);

    t.board->takeHeard();
    windowUpload(t, Program);
    QTRY_VERIFY_WITH_TIMEOUT(!t.w.transfers().basic().running(), 10000);
    QTRY_VERIFY(answered(t));
    const QByteArray windowUploadWire = t.board->takeHeard();
    QCOMPARE(
        runCli(via + QStringList{"upload", BoardWindow::path(QStringLiteral("prog.bas"))}).exitCode,
        0);
    QCOMPARE(t.board->takeHeard(), windowUploadWire);

    t.w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
    t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("window.bin"));
    t.w.receiveFileButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!t.w.transfers().flash().running(), 10000);
    QTRY_VERIFY(answered(t));
    const QByteArray windowGetWire = t.board->takeHeard();
    QCOMPARE(runCli(via +
                    QStringList{"get", "DATA.BIN", BoardWindow::path(QStringLiteral("client.bin"))})
                 .exitCode,
             0);
    QCOMPARE(t.board->takeHeard(), windowGetWire);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("window.bin"))), bytes);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("client.bin"))), bytes);
}

QTEST_MAIN(TestSplitReplies)
#include "tst_splitreplies.moc"
