// Round trips through the window's panels, then the client, on both links, the board's replies
// whole or cut in two 45 ms apart (after byte 1, or mid: inside a hex pair, between CR and LF).
#include "BoardWindow.h"

#include "cli/CliProcess.h"

class TestSplitReplies : public QObject {
    Q_OBJECT
private slots:
    void roundTrips_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<int>("splitAt");
        for (const Link link : {Link::Udp, Link::Serial}) {
            const char* name = link == Link::Udp ? "UDP" : "serial";
            QTest::addRow("%s, whole", name) << link << 0;
            QTest::addRow("%s, cut after byte 1", name) << link << 1;
            QTest::addRow("%s, cut in the middle", name)
                << link << int(board::BoardOptions::SplitMiddle);
        }
    }
    // An empty line needs ">>" (no answer comes); "New " and "??" bypass the command line and
    // the log; files go out in pieces of 21 and come back in pieces of 20.
    void roundTrips() {
        QFETCH(Link, link);
        QFETCH(int, splitAt);
        BoardWindow t;
        board::BoardOptions options;
        options.splitAt = splitAt;
        options.diskDir = BoardWindow::path("disk");
        QVERIFY(t.start(link, options));
        t.upload("0010 PRINT \"\xC0\xFF\"\r\n\n020 A=1\n30 END\r\n");
        WAIT_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        t.w.nextLineButton->click();
        WAIT_COMPARE(t.w.console().text(), QByteArray("SEND BASIC PROGRAM COMPLETED\r\nOK\r\n"));
        QCOMPARE(t.board->interpreter().program().listing(),
                 Lines({"10 PRINT \"\xC0\xFF\"", "20 A=1", "30 END"}));

        // On serial the poll may gather the last line and the closing OK into one chunk.
        t.board->takeHeard();
        t.save("saved.bas");
        WAIT_COMPARE(t.w.console().text(), QByteArray("LOAD BASIC PROGRAM COMPLETED\r\n"));
        QCOMPARE(BoardWindow::read("saved.bas"),
                 QByteArray("10 PRINT \"\xC0\xFF\"\r\n20 A=1\r\n30 END\r\n"));
        QCOMPARE(t.board->takeHeard(), link == Link::Udp ? "LIST\r\n" : "LISt\r\n");

        t.w.newProgramButton->click();
        WAIT_VERIFY(t.w.console().text().endsWith("COMPLETED\r\nOK\r\n"));
        t.w.statusButton->click();
        WAIT_VERIFY(t.w.console().text().endsWith("Disk free: 1048576\r\nOK\r\n"));
        QVERIFY(t.w.console().text().contains("Program lines: 0\r\n"));
        QCOMPARE(t.w.commandEdit->text(), QString());
        QVERIFY(!t.log().contains("STATUS") && !t.log().contains("NEW"));

        // Past 32767 bytes (whole UDP only: long), every byte value with an odd end, two whole
        // READ pieces with an empty end; each comes back over the one before.
        QList<QByteArray> files{stepped(256), stepped(40, 11)};
        if (link == Link::Udp && splitAt == 0)
            files.prepend(stepped(32767 + 233));
        TextProgressBar* bar = t.w.fileProgressBar;
        const int ceilingMs = 120000; // the long file makes over 3000 round trips
        t.w.boardFileEdit->setText(QStringLiteral("F.BIN"));
        for (const QByteArray& bytes : files) {
            const qsizetype logged = t.log().size();
            t.sendFile(bytes);
            QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), ceilingMs);
            QCOMPARE(BoardWindow::read("disk/F.BIN"), bytes);
            QCOMPARE(t.log().mid(logged).count("WRITE \""), (bytes.size() + 20) / 21);
            // A transfer started before the answer to CLOSE would take it for its FOPEN's.
            WAIT_VERIFY(t.answered());
            QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));

            t.receiveFile("back.bin");
            QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), ceilingMs);
            QCOMPARE(BoardWindow::read("back.bin"), bytes);
            // READ 20 follows the OK; a reply cut between CR and LF is done at its CR.
            const QByteArray opened = "FOPEN \"F.BIN\",R\r\nOK\r";
            QVERIFY(t.log().contains(opened + "\nREAD 20\r\n") ||
                    t.log().contains(opened + "READ 20"));
            WAIT_VERIFY(t.answered());
        }
        QVERIFY(t.w.dialogs().messages.isEmpty() && t.w.dialogs().errors.isEmpty());

        // The client on the same board, the window's serial port closed first (one reader).
        if (link == Link::Serial)
            t.w.openPortButton->click();
        const QStringList via =
            link == Link::Udp
                ? QStringList{"--udp", QStringLiteral("127.0.0.1:%1").arg(t.board->udpPort())}
                : QStringList{"--serial", t.board->ptyPath() + QStringLiteral(":115200")};
        const auto cli = [&](const QStringList& command) {
            const CliResult r = runCli(via + command);
            return r.exitCode == 0 ? QByteArray("0")
                                   : QByteArray::number(r.exitCode) + ": " + r.err;
        };
        QCOMPARE(cli({"upload", BoardWindow::path("saved.bas")}), QByteArray("0"));
        QCOMPARE(cli({"download", BoardWindow::path("again.bas")}), QByteArray("0"));
        QCOMPARE(BoardWindow::read("again.bas"), BoardWindow::read("saved.bas"));
        for (const QByteArray& bytes : files) {
            QVERIFY(writeFile(BoardWindow::path("out.bin"), bytes));
            QCOMPARE(cli({"put", BoardWindow::path("out.bin"), "G.BIN"}), QByteArray("0"));
            QCOMPARE(cli({"get", "G.BIN", BoardWindow::path("back.bin")}), QByteArray("0"));
            QCOMPARE(BoardWindow::read("back.bin"), bytes);
        }
    }
};

QTEST_MAIN(TestSplitReplies)
#include "tst_splitreplies.moc"
