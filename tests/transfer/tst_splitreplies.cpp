// The client against a board whose every reply comes in two pieces 45 ms apart (after byte 1, or
// in the middle: inside a hex pair, between CR and LF). The window under cut replies: tst_panels.
#include "BoardWindow.h"

#include "cli/CliProcess.h"

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
        const QStringList via =
            link == Link::Udp
                ? QStringList{"--udp", QStringLiteral("127.0.0.1:%1").arg(t.board->udpPort())}
                : QStringList{"--serial", t.board->ptyPath() + QStringLiteral(":115200")};
        const auto cli = [&](const QStringList& command) {
            const CliResult r = runCli(via + command);
            return r.exitCode == 0 ? QByteArray("0")
                                   : QByteArray::number(r.exitCode) + ": " + r.err;
        };
        const QByteArray program = "10 PRINT \"\xC0\xFF\"\r\n20 A=1\r\n30 END\r\n";
        QVERIFY(writeFile(BoardWindow::path("prog.bas"), program));
        QCOMPARE(cli({"upload", BoardWindow::path("prog.bas")}), QByteArray("0"));
        QCOMPARE(cli({"download", BoardWindow::path("saved.bas")}), QByteArray("0"));
        QCOMPARE(BoardWindow::read("saved.bas"), program);
        // Two whole READ pieces with an empty end, and every byte value with an odd end.
        for (const QByteArray& bytes : {stepped(40), stepped(256)}) {
            QVERIFY(writeFile(BoardWindow::path("out.bin"), bytes));
            QCOMPARE(cli({"put", BoardWindow::path("out.bin"), "F.BIN"}), QByteArray("0"));
            QCOMPARE(cli({"get", "F.BIN", BoardWindow::path("back.bin")}), QByteArray("0"));
            QCOMPARE(BoardWindow::read("back.bin"), bytes);
        }
    }
};

QTEST_MAIN(TestSplitReplies)
#include "tst_splitreplies.moc"
