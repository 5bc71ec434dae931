// The transfers without a window: replies no real board gives, a full disk, a clock we move.
#include "SimulatedTerminal.h"

#include <csignal>
#include <sys/resource.h>

using End = TransferAction::End;
using Lines = QList<QByteArray>;

class TestTransferCore : public QObject {
    Q_OBJECT
private slots:
    // A lone CR ends a line; up to three leading zeros go, a line that lost one keeps 100 bytes.
    void readProgram_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("CR only, no last end")
            << QByteArray("10 PRINT 1\r\r20 END") << Lines{"10 PRINT 1", "", "20 END"};
        QTest::newRow("zeros") << QByteArray("0010 X\n0000 A\n00007\n10 0\n")
                               << Lines{"10 X", "0 A", "07", "10 0"};
        QTest::newRow("zero then 150") << '0' + QByteArray(150, 'x') << Lines{QByteArray(100, 'x')};
        QTest::newRow("150, no zero") << QByteArray(150, 'x') << Lines{QByteArray(150, 'x')};
        QTest::newRow("2048 lines") << QByteArray(2047, '\n') + "X" << Lines(2047) + Lines{"X"};
    }
    void readProgram() {
        QFETCH(QByteArray, file);
        QFETCH(Lines, lines);
        const auto read = basic::readProgram(file);
        QVERIFY(read.ok());
        QCOMPARE(*read, lines);
    }
    // The first line goes after a pause; only a chunk holding "OK" and no "ERROR" releases the
    // next line, anything else is shown, a reply cut in two counts as neither half.
    void upload() {
        BasicTransfers m;
        QCOMPARE(m.startUpload(QByteArray("1 ABCDEF\n2 B\n3 C\n4 D\n")),
                 TransferActions({act::pause(100), act::sendUdp("1 ABCDEF\r\n"),
                                  act::sendSerial("1 ABCDEF\r\n"), act::consoleAppend("1 ABC\n")}));
        for (const char* other : {"1 ABCDEF", "O", "K", "ok"})
            QCOMPARE(m.onUploadReply(other), TransferActions{act::boardMessage(other)});
        QCOMPARE(m.onUploadReply("BOOK"),
                 TransferActions({act::sendUdp("2 B\r\n"), act::sendSerial("2 B\r\n"),
                                  act::consoleReplace("LOAD DATA = 2 B")}));
        QCOMPARE(m.onUploadReply("OK ERROR"),
                 TransferActions({act::consoleAppend("Error - see  source file \r\n"),
                                  act::finished(End::Refused)}));
        QCOMPARE(m.lineSent(), 2);
        QVERIFY(m.nextLine().isEmpty()); // a refused upload cannot be pushed on

        // A failed read or 2049 lines end a running upload; after "X" nothing does.
        const TransferActions completed{act::consoleReplace("SEND BASIC PROGRAM COMPLETED\r\n"),
                                        act::finished(End::Completed)};
        QCOMPARE(m.startUpload(QByteArray("0010 P\r\n")).mid(4), completed);
        QCOMPARE(m.startUpload(QByteArray()), completed);
        m.startUpload(QByteArray("1 A\n2 B\n"));
        const Failure notFound{53, QStringLiteral("File not found")};
        QCOMPARE(m.startUpload(notFound), TransferActions{act::errorBox(53, notFound.description)});
        QVERIFY(!m.running());
        m.startUpload(QByteArray("1 A\n2 B\n"));
        const TransferActions tooLong = m.startUpload(QByteArray(2048, '\n') + "X");
        QCOMPARE(tooLong.value(0).value, ErrorNumber::SubscriptOutOfRange);
        QVERIFY(!m.running());

        m.startUpload(QByteArray("1 A\n2 B\n"));
        QCOMPARE(m.stop(), TransferActions{act::finished(End::Stopped)});
        QVERIFY(m.onUploadReply("OK").isEmpty());
        QVERIFY(m.nextLine().isEmpty());
    }
    // Listings cut anywhere: only "OK" alone on its line closes one and names the file; a prompt
    // refuses even before its line ends.
    void download_data() {
        QTest::addColumn<Lines>("chunks");
        QTest::addColumn<QByteArray>("file"); // under its name: the listing came whole
        QTest::addColumn<QByteArray>("part"); // what a transfer that did not complete left
        QTest::addColumn<QByteArray>("console");
        const QByteArray done = "LOAD BASIC PROGRAM COMPLETED\r\n", none;
        QTest::newRow("split anywhere") << Lines{"10 PRI", "NT 1\r\n20", " END\r", "\nO", "K\r\n"}
                                        << QByteArray("10 PRINT 1\r\n20 END\r\n") << none << done;
        QTest::newRow("OK alone ends, OK in or at the start of a line is text")
            << Lines{"1 A\r\n5 OK=1\r\nOKAY\r\n", " OK \r\n"}
            << QByteArray("1 A\r\n5 OK=1\r\nOKAY\r\n") << none << done;
        QTest::newRow("password prompt without a line end")
            << Lines{"10 A\r\n", "Password:"} << none << QByteArray("10 A\r\n")
            << QByteArray("LOAD DATA = 10 A\r\n\r\nACCESS DENIED\r\n");
        QTest::newRow("ERROR refuses, a numbered line holding it is text")
            << Lines{"10 PRINT \"ERROR\"\r\n", "ERROR 12\r\n"} << none
            << QByteArray("10 PRINT \"ERROR\"\r\n")
            << QByteArray("LOAD DATA = 10 PRINT \"ERROR\"\r\n\r\nERROR 12\r\n\r\n");
        QTest::newRow("binary, lone CR") << Lines{QByteArray("\0\xff\r", 3), "OK\r\n"}
                                         << QByteArray("\0\xff\r", 3) << none << done;
        QTest::newRow("text after the closing OK")
            << Lines{"10 A\r\nOK\r\nREADY\r\n>", "more"} << QByteArray("10 A\r\n") << none
            << QByteArray("LOAD BASIC PROGRAM COMPLETED\r\nREADY\r\n>more");
        QTest::newRow("no line end yet: still running")
            << Lines{"10 A\r\nOK"} << none << QByteArray("10 A\r\n")
            << QByteArray("LOAD DATA = 10 A\r\n\r\n");
    }
    void download() {
        QFETCH(Lines, chunks);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, part);
        QFETCH(QByteArray, console);
        SimulatedTerminal t;
        t.transfers.startDownload(t.path("saved.bas"));
        QCOMPARE(t.pausedMs, 100);
        QCOMPARE(t.sent, Lines{"LIST\r\n"});
        for (const QByteArray& chunk : chunks)
            t.receive(chunk);
        QCOMPARE(t.programFile(), file);
        QCOMPARE(t.programPart(), part);
        QCOMPARE(t.console, console);
        const bool running = QByteArray(QTest::currentDataTag()).endsWith("still running");
        QCOMPARE(t.transfers.basic().downloading(), running);
        QCOMPARE(t.transfers.programFile().isOpen(), running);
    }
    // A download takes a waiting upload's replies and ends it; an upload pushed on ends the
    // download; a new click ends a download (what follows is console text, never file content).
    void transfersEndEachOther() {
        SimulatedTerminal t;
        t.dropEvery = 1;
        t.upload("10 A\n20 B\n");
        t.dropEvery = 0;
        t.transfers.startDownload(t.path("saved.bas"));
        t.run();
        QCOMPARE(t.programFile(), QByteArray("10 A\r\n"));
        QVERIFY(!t.transfers.basic().running());

        t.dropEvery = 1;
        t.upload("10 A\n20 B\n");
        t.transfers.startDownload(t.path("second.bas"));
        t.transfers.uploadNextLine();
        QVERIFY(!t.transfers.basic().running());
        QVERIFY(!t.transfers.programFile().isOpen());

        t.dropEvery = 0;
        t.transfers.startDownload(t.path("third.bas"));
        t.transfers.closeProgramFile();
        QCOMPARE(t.ended, End::Stopped);
        t.console.clear();
        t.run();
        QCOMPARE(t.programFile(), QByteArray());
        QCOMPARE(t.console, QByteArray("10 A\r\n20 B\r\nOK\r\n"));

        // An upload waiting on a lost reply takes the next one before a file send started after.
        t.dropEvery = 1;
        t.upload("10 A\n20 B\n30 C\n");
        t.dropEvery = 0;
        t.transfers.startSend("F.BIN", QByteArray("xyz"));
        t.sent.clear();
        t.receive("OK\r\n");
        QCOMPARE(t.sent, Lines{"20 B\r\n"});
        QVERIFY(t.transfers.flash().sending());
    }
    // One reply after the first READ 20, or (`first`) to FOPEN: only an exact answer writes the
    // file; anything else holding "OK" or "ND" ends the receive.
    void receiveReplies_data() {
        QTest::addColumn<bool>("first");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("bar");
        const QString reading = QStringLiteral("READ"), ok = QStringLiteral("OK"),
                      error = QStringLiteral("ERROR");
        const QByteArray none;
        QTest::newRow("piece") << false << QByteArray(40, 'F') + "OK" << QByteArray(20, '\xff')
                               << reading;
        QTest::newRow("38 digits then ND")
            << false << QByteArray(38, '1') + "ND" << QByteArray(19, '\x11') << ok;
        QTest::newRow("ND alone") << false << QByteArray("ND") << none << ok;
        QTest::newRow("no marker: shown, waited past")
            << false << QByteArray("FFFF") << none << reading;
        QTest::newRow("OK where a piece must come") << false << QByteArray("OK") << none << error;
        QTest::newRow("piece cut short") << false << QByteArray(38, 'F') + "OK" << none << error;
        QTest::newRow("lower case") << false << QByteArray(40, 'f') + "OK" << none << error;
        QTest::newRow("a whole piece's digits then ND")
            << false << QByteArray(40, '1') + "ND" << none << error;
        QTest::newRow("odd digits then ND") << false << QByteArray(41, '1') + "ND" << none << error;
        QTest::newRow("ND and OK") << false << QByteArray("FFNDOK") << none << error;
        QTest::newRow("ND and ERROR") << false << QByteArray("FFND ERROR") << none << error;
        QTest::newRow("FOPEN: bare OK") << true << QByteArray("OK") << none << reading;
        QTest::newRow("FOPEN: echo, then OK")
            << true << QByteArray("FOPEN \"F\",R\r\nOK") << none << reading;
        QTest::newRow("FOPEN: lower case") << true << QByteArray("ffOK") << none << error;
        QTest::newRow("FOPEN: piece")
            << true << QByteArray(40, 'F') + "OK" << QByteArray(20, '\xff') << reading;
    }
    void receiveReplies() {
        QFETCH(bool, first);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, written);
        QFETCH(QString, bar);
        for (const bool udp : {true, false}) {
            SimulatedTerminal t;
            t.udp = udp;
            t.receiveFile("F");
            if (!first)
                t.receive("OK\r\n");
            t.sent.clear();
            t.pausedMs = 0;
            t.receive(reply + "\r\n");
            QCOMPARE(bar == QLatin1String("OK") ? t.flashFile() : t.flashPart(), written);
            QCOMPARE(t.barText, bar);
            const bool reads = bar == QLatin1String("READ") && reply.contains("OK");
            QCOMPARE(t.sent.value(0), reads           ? QByteArray("READ 20\r\n")
                                      : bar == "READ" ? QByteArray()
                                                      : QByteArray("CLOSE\r\n"));
            QCOMPARE(t.pausedMs, reads && !udp ? 50 : 0);
            QCOMPARE(t.transfers.flash().receiving(), bar == QLatin1String("READ"));
        }
    }
    // A disk that fills up ends a receive: CLOSE goes out, the operator hears why, nothing says
    // the file came whole.
    void fullDiskEndsTheReceive() {
        SimulatedTerminal t;
        QByteArray bytes(100, 'z');
        t.sendFile("BIG.BIN", bytes);
        // The process may write 30 bytes into any file from here on; more fails as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit before = limit;
        limit.rlim_cur = 30;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        t.receiveFile("BIG.BIN");
        t.sent.clear();
        t.run();
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &before), 0);

        QCOMPARE(t.errors.size(), 1);
        QCOMPARE(t.ended, End::Stopped);
        QVERIFY(t.barText != QLatin1String("OK"));
        QVERIFY(!t.transfers.flash().running());
        QCOMPARE(t.sent.last(), QByteArray("CLOSE\r\n"));
        QCOMPARE(t.flashPart(), bytes.left(30)); // what fitted stays, under the partial name
        QVERIFY(!QFile::exists(t.transfers.flashFile().path()));
    }
    // A receive takes nothing from another sender, however like an answer: it is shown, and told
    // once. Then "X" mid-receive: a piece answering an earlier READ 20 goes nowhere.
    void strayRepliesAndACancelledReceive() {
        SimulatedTerminal t;
        const QByteArray bytes = allBytes().left(100);
        t.sendFile("C.BIN", bytes);
        t.receiveFile("C.BIN");
        const QByteArray answer = t.pending.takeFirst(); // the board's answer to FOPEN, held back
        t.console.clear();
        t.sent.clear();
        for (const QByteArray& junk : {QByteArray("OK\r\n"), QByteArray(40, 'A') + "OK\r\n",
                                       QByteArray("ND\r\n"), QByteArray("ERROR\r\n")})
            t.receive(junk, QStringLiteral("10.0.0.7:5000"));
        QVERIFY(t.sent.isEmpty());
        QVERIFY(t.transfers.flash().receiving());
        QVERIFY(t.console.startsWith("OK\r\n") && t.console.endsWith("ERROR\r\n"));
        QVERIFY(t.notices.size() == 1 && t.notices.first().contains("10.0.0.7:5000"));

        t.receive(answer);
        t.receive(t.pending.takeFirst()); // the first piece
        t.transfers.closeFlashDisk();
        QCOMPARE(t.ended, End::Stopped);
        QCOMPARE(t.barText, QStringLiteral("READ")); // the bar never says the file came whole
        QVERIFY(!t.transfers.flashFile().isOpen() && !t.transfers.flash().running());
        QVERIFY(t.logged.endsWith("READ 20\r\nCLOSE\r\n"));
        QVERIFY(t.console.endsWith("READ 20\r\n"));
        t.run(); // the answer to the second READ 20 comes late
        QCOMPARE(t.flashPart(), bytes.left(20));
        QVERIFY(!QFile::exists(t.transfers.flashFile().path()));
    }
    // A reply cut short and pending at "X" is console text. A listing that never closes ends on
    // "X", a typed line (its answer would land in the file) or past the longest program.
    void transfersWhoseEndNeverComes() {
        SimulatedTerminal t;
        t.dropEvery = 1;
        t.upload("10 A\n20 B\n");
        t.receive("ERR");
        QVERIFY(!t.console.endsWith("ERR"));
        t.transfers.stopUpload();
        QVERIFY(t.console.endsWith("ERR"));
        t.dropEvery = 0;
        const QString saved = t.path("saved.bas");
        QVERIFY(writeFile(saved, "older program\r\n"));
        const auto listing = [&](int lines) {
            t.transfers.startDownload(saved);
            t.receive(numberedLines("", lines, 1, " REM\r\n"));
        };

        listing(3);
        t.transfers.stopUpload(); // "X"
        QCOMPARE(t.ended, End::Stopped);
        QVERIFY(t.console.endsWith("LOAD BASIC PROGRAM STOPPED\r\n"));
        QCOMPARE(t.programPart(), numberedLines("", 3, 1, " REM\r\n"));
        QCOMPARE(t.programFile(), QByteArray("older program\r\n"));

        listing(2);
        t.transfers.commandLineTyped();
        QVERIFY(!t.transfers.basic().running());
        QCOMPARE(t.notices.size(), 1);
        QCOMPARE(t.programPart(), numberedLines("", 2, 1, " REM\r\n"));

        listing(basic::MaxProgramLines + 1);
        QCOMPARE(t.ended, End::Refused);
        QCOMPARE(t.programPart().count('\n'), basic::MaxProgramLines);
        QCOMPARE(t.programFile(), QByteArray("older program\r\n"));
    }
    // Two seconds of silence are told once, with what waits; nothing is sent again.
    void toldOnceWhenNoReplyCame_data() {
        QTest::addColumn<int>("request"); // a command line, an upload line, a READ
        QTest::addColumn<bool>("replied");
        QTest::addColumn<QString>("waits");
        const char* waits[] = {"",
                               "; upload line 1 waits for its answer: \">>\" sends the next line, "
                               "\"X\" stops the upload",
                               "; flash-disk piece 1 (READ) waits for its answer: \"X\" ends the "
                               "transfer"};
        for (int request = 0; request < 3; ++request) {
            QTest::addRow("%d, silent", request) << request << false << waits[request];
            QTest::addRow("%d, answered", request) << request << true << "";
        }
    }
    void toldOnceWhenNoReplyCame() {
        QFETCH(int, request);
        QFETCH(bool, replied);
        QFETCH(QString, waits);
        SimulatedTerminal t;
        qint64 now = 0;
        t.transfers.replyWatch().setClock([&now] { return now; });
        t.transfers.replyWatch().setLimitMs(2000);
        if (request == 2) {
            t.sendFile("F.BIN", QByteArray(50, 'x'));
            t.receiveFile("F.BIN"); // the answer to FOPEN waits in `pending`
        }
        t.dropEvery = replied ? 0 : 1; // every answer from here on is lost, or none
        if (request == 0)
            t.transfers.commandLineSent("PRINT 1");
        if (request == 0 && replied)
            t.receive("1\r\n");
        request == 1 ? t.upload("10 A\n20 B\n") : t.run();
        const qsizetype sentBefore = t.sent.size();
        for (const qint64 ms : {1999, 2000, 62000}) {
            now = ms;
            t.transfers.replyWatch().check();
            QCOMPARE(t.notices.size(), ms < 2000 || replied ? 0 : 1);
        }
        if (!replied)
            QCOMPARE(t.notices.first(), "no reply from 127.0.0.1:111 for 2 s" + waits);
        QCOMPARE(t.sent.size(), sentBefore);
    }
};

QTEST_GUILESS_MAIN(TestTransferCore)
#include "tst_core.moc"
