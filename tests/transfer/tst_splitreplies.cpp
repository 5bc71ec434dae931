// The client against a board whose every reply comes in two pieces 45 ms apart (after byte 1,
// or in the middle: inside a hex pair, between CR and LF), and the window and the client alike
// on the wire. The window alone under cut replies: tst_panels.
#include "BoardWindow.h"

#include "cli/CliProcess.h"

namespace {

const QByteArray Upload = "10 PRINT \"\xC0\xFF\"\r\n20 A=1\r\n30 END\r\n";

QStringList cliLink(const board::BoardSimulator& board, Link link) {
    if (link == Link::Udp)
        return {"--udp", QStringLiteral("127.0.0.1:%1").arg(board.udpPort())};
    return {"--serial", board.ptyPath() + QStringLiteral(":115200")};
}

QString here(const char* name) {
    return BoardWindow::path(QLatin1String(name));
}

} // namespace

class TestSplitReplies : public QObject {
    Q_OBJECT
private slots:
    void client_data() {
        addLinks();
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
        const auto run = [via = cliLink(*t.board, link)](const QStringList& command) {
            const CliResult r = runCli(via + command);
            if (r.exitCode != 0)
                qWarning("%s", r.err.constData());
            return r;
        };

        BoardWindow::write(QStringLiteral("prog.bas"), Upload);
        QCOMPARE(run({"upload", here("prog.bas")}).exitCode, 0);
        QCOMPARE(run({"download", here("saved.bas")}).exitCode, 0);
        QCOMPARE(readFile(here("saved.bas")), Upload);
        QCOMPARE(run({"new"}).exitCode, 0);
        const CliResult status = run({"status"});
        QCOMPARE(status.exitCode, 0);
        QVERIFY2(status.out.contains("Program lines: 0"), status.out.constData());

        for (const QByteArray& bytes : {stepped(40, 7), stepped(256, 7)}) {
            BoardWindow::write(QStringLiteral("out.bin"), bytes);
            QCOMPARE(run({"put", here("out.bin"), "F.BIN"}).exitCode, 0);
            QCOMPARE(run({"get", "F.BIN", here("back.bin")}).exitCode, 0);
            QCOMPARE(readFile(here("back.bin")), bytes);
        }
    }

    // One transfer code for both: against the same board, the window and the client put the
    // same bytes on the wire and write the same file.
    void windowAndClientAlike() {
        BoardWindow t;
        board::BoardOptions options;
        options.splitAt = board::BoardOptions::SplitMiddle;
        QVERIFY(t.start(Link::Udp, options));
        const QStringList via = cliLink(*t.board, Link::Udp);
        const QByteArray bytes = stepped(100, 7);
        BoardWindow::write(QStringLiteral("out.bin"), bytes);
        QCOMPARE(runCli(via + QStringList{"put", here("out.bin"), "DATA.BIN"}).exitCode, 0);

        t.board->takeHeard();
        t.upload(Upload);
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.transfers().basic().running(), 10000);
        QTRY_VERIFY(t.answered());
        const QByteArray windowUploadWire = t.board->takeHeard();
        QCOMPARE(runCli(via + QStringList{"upload", here("prog.bas")}).exitCode, 0);
        QCOMPARE(t.board->takeHeard(), windowUploadWire);

        t.w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
        t.receiveFile("window.bin");
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.transfers().flash().running(), 10000);
        QTRY_VERIFY(t.answered());
        const QByteArray windowGetWire = t.board->takeHeard();
        QCOMPARE(runCli(via + QStringList{"get", "DATA.BIN", here("client.bin")}).exitCode, 0);
        QCOMPARE(t.board->takeHeard(), windowGetWire);
        QCOMPARE(readFile(here("window.bin")), bytes);
        QCOMPARE(readFile(here("client.bin")), bytes);
    }
};

QTEST_MAIN(TestSplitReplies)
#include "tst_splitreplies.moc"
