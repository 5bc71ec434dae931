// The client against a board whose every reply comes in two pieces 45 ms apart (after byte 1,
// or in the middle: inside a hex pair, between CR and LF), and the window and the client alike
// on the wire. The window alone under cut replies: tst_panels.
#include "BoardWindow.h"

#include "cli/CliProcess.h"

namespace {

const QByteArray Upload = "10 PRINT \"\xC0\xFF\"\r\n20 A=1\r\n30 END\r\n";

// Runs the client against the board over `link`.
CliResult run(const board::BoardSimulator& board, Link link, const QStringList& command) {
    const QStringList via =
        link == Link::Udp
            ? QStringList{"--udp", QStringLiteral("127.0.0.1:%1").arg(board.udpPort())}
            : QStringList{"--serial", board.ptyPath() + QStringLiteral(":115200")};
    const CliResult r = runCli(via + command);
    if (r.exitCode != 0)
        qWarning("%s", r.err.constData());
    return r;
}

} // namespace

class TestSplitReplies : public QObject {
    Q_OBJECT
private slots:
    void client_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<int>("splitAt");
        for (const Link link : {Link::Udp, Link::Serial}) {
            const char* name = link == Link::Udp ? "UDP" : "serial";
            QTest::addRow("%s, cut after byte 1", name) << link << 1;
            QTest::addRow("%s, cut in the middle", name)
                << link << int(board::BoardOptions::SplitMiddle);
        }
    }
    void client() {
        QFETCH(Link, link);
        QFETCH(int, splitAt);
        BoardWindow t; // its board only: the client is the terminal here
        board::BoardOptions options;
        options.splitAt = splitAt;
        options.udpEnabled = link == Link::Udp;
        options.ptyEnabled = link == Link::Serial;
        QVERIFY(t.boot(options));
        const auto cli = [&](const QStringList& command) {
            return run(*t.board, link, command);
        };

        QVERIFY(writeFile(BoardWindow::path("prog.bas"), Upload));
        QCOMPARE(cli({"upload", BoardWindow::path("prog.bas")}).exitCode, 0);
        QCOMPARE(cli({"download", BoardWindow::path("saved.bas")}).exitCode, 0);
        QCOMPARE(BoardWindow::read("saved.bas"), Upload);
        QCOMPARE(cli({"new"}).exitCode, 0);
        const CliResult status = cli({"status"});
        QCOMPARE(status.exitCode, 0);
        QVERIFY2(status.out.contains("Program lines: 0"), status.out.constData());

        for (const QByteArray& bytes : {stepped(40), stepped(256)}) {
            QVERIFY(writeFile(BoardWindow::path("out.bin"), bytes));
            QCOMPARE(cli({"put", BoardWindow::path("out.bin"), "F.BIN"}).exitCode, 0);
            QCOMPARE(cli({"get", "F.BIN", BoardWindow::path("back.bin")}).exitCode, 0);
            QCOMPARE(BoardWindow::read("back.bin"), bytes);
        }
    }

    // One transfer code for both: against the same board, the window and the client put the
    // same bytes on the wire and write the same file.
    void windowAndClientAlike() {
        BoardWindow t;
        board::BoardOptions options;
        options.splitAt = board::BoardOptions::SplitMiddle;
        QVERIFY(t.start(Link::Udp, options));
        const auto cli = [&](const QStringList& command) {
            return run(*t.board, Link::Udp, command).exitCode;
        };
        const QByteArray bytes = stepped(100);
        QVERIFY(writeFile(BoardWindow::path("out.bin"), bytes));
        QCOMPARE(cli({"put", BoardWindow::path("out.bin"), "DATA.BIN"}), 0);

        t.board->takeHeard();
        t.upload(Upload);
        WAIT_VERIFY(!t.w.transfers().basic().running());
        WAIT_VERIFY(t.answered());
        const QByteArray windowUploadWire = t.board->takeHeard();
        QCOMPARE(cli({"upload", BoardWindow::path("prog.bas")}), 0);
        QCOMPARE(t.board->takeHeard(), windowUploadWire);

        t.w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
        t.receiveFile("window.bin");
        WAIT_VERIFY(!t.w.transfers().flash().running());
        WAIT_VERIFY(t.answered());
        const QByteArray windowGetWire = t.board->takeHeard();
        QCOMPARE(cli({"get", "DATA.BIN", BoardWindow::path("client.bin")}), 0);
        QCOMPARE(t.board->takeHeard(), windowGetWire);
        QCOMPARE(BoardWindow::read("window.bin"), bytes);
        QCOMPARE(BoardWindow::read("client.bin"), bytes);
    }
};

QTEST_MAIN(TestSplitReplies)
#include "tst_splitreplies.moc"
