#include "SimulatedTerminal.h"

#include <QTest>

using End = TransferAction::End;
using Lines = QList<QByteArray>;

class TestBasicTransfers : public QObject {
    Q_OBJECT
private slots:
    void readProgram_data();
    void readProgram();
    void uploadToBoard_data();
    void uploadToBoard();
    void uploadReplies();
    void uploadEnds();
    void download_data();
    void download();
    void downloadRoundTrip();
    void transfersEndEachOther();
};

// What reaches the board from a file: every line end ends a line, empty lines count, up to
// three leading zeros go and a line that lost one keeps 100 characters.
void TestBasicTransfers::readProgram_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Lines>("lines");
    const Lines program{"10 PRINT 1", "", "20 END"};
    QTest::newRow("CR LF") << QByteArray("10 PRINT 1\r\n\r\n20 END\r\n") << program;
    QTest::newRow("LF only") << QByteArray("10 PRINT 1\n\n20 END\n") << program;
    QTest::newRow("CR only, no last end") << QByteArray("10 PRINT 1\r\r20 END") << program;
    QTest::newRow("zeros") << QByteArray("0010 X\n0000 A\n00007\n10 0\n")
                           << Lines{"10 X", "0 A", "07", "10 0"};
    QTest::newRow("zero then 150") << '0' + QByteArray(150, 'x') << Lines{QByteArray(100, 'x')};
    QTest::newRow("150, no zero") << QByteArray(150, 'x') << Lines{QByteArray(150, 'x')};
    QTest::newRow("NUL and high bytes")
        << QByteArray("1 \0\xff\r\n", 6) << Lines{QByteArray("1 \0\xff", 4)};
    QTest::newRow("empty file") << QByteArray() << Lines{};
}

void TestBasicTransfers::readProgram() {
    QFETCH(QByteArray, file);
    QFETCH(Lines, lines);
    const auto read = basic::readProgram(file);
    QVERIFY(read.ok());
    QCOMPARE(*read, lines);
}

// The board stores the program whatever the file's line ends. It does not answer an empty
// line, so ">>" pushes the upload on, as an operator would.
void TestBasicTransfers::uploadToBoard_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("udp");
    QTest::newRow("CR LF, UDP") << QByteArray("0010 PRINT 1\r\n\r\n020 PRINT 2\r\n30 END\r\n")
                                << true;
    QTest::newRow("LF, serial") << QByteArray("0010 PRINT 1\n\n020 PRINT 2\n30 END\n") << false;
}

void TestBasicTransfers::uploadToBoard() {
    QFETCH(QByteArray, file);
    QFETCH(bool, udp);
    SimulatedTerminal t;
    t.udp = udp;
    t.upload(file);
    QCOMPARE(t.sent, Lines({"10 PRINT 1\r\n", "\r\n"}));
    QCOMPARE(t.pausedMs, 100);
    t.carryOut(t.basic.Command9_Click());
    t.run();
    QCOMPARE(t.sent, Lines({"10 PRINT 1\r\n", "\r\n", "20 PRINT 2\r\n", "30 END\r\n"}));
    QCOMPARE(t.finished, End::Completed);
    // Completion comes with the last line; the board's answer to it is plain console text.
    QCOMPARE(t.console, QByteArray("SEND BASIC PROGRAM COMPLETED\r\nOK\r\n"));
    QCOMPARE(t.board.program().listing(), Lines({"10 PRINT 1", "20 PRINT 2", "30 END"}));
}

// Only a chunk holding "OK" and no "ERROR" releases the next line; anything else is shown,
// a reply cut in two counts as neither half.
void TestBasicTransfers::uploadReplies() {
    BasicTransfers m;
    const TransferActions start = m.startUpload(QByteArray("1 ABCDEF\n2 B\n3 C\n4 D\n"));
    QCOMPARE(start.mid(3), TransferActions{act::consoleAppend("1 ABC\n")});
    for (const char* other : {"1 ABCDEF", "O", "K", "ok"})
        QCOMPARE(m.SEND_BASIC_parser(other),
                 TransferActions{act::consoleAppend(QByteArray(other) + "\r\n")});
    QCOMPARE(m.SEND_BASIC_parser("BOOK"),
             TransferActions({act::sendUdp("2 B\r\n"), act::sendSerial("2 B\r\n"),
                              act::consoleReplace("LOAD DATA = 2 B")}));
    QCOMPARE(m.SEND_BASIC_parser("OK ERROR"),
             TransferActions({act::consoleAppend("Error - see  source file \r\n"),
                              act::finished(End::Refused)}));
    QCOMPARE(m.LineIndex(), 2);
    QVERIFY(m.Command9_Click().isEmpty()); // a refused upload cannot be pushed on

    SimulatedTerminal t; // the board refuses an unclosed string
    t.upload("10 PRINT 1\n20 PRINT \"open\n30 END\n");
    QCOMPARE(t.sent.size(), 2);
    QCOMPARE(t.console, QByteArray("LOAD DATA = 20 PRINT \"openError - see  source file \r\n"));
}

// One line completes at once, an empty file sends nothing, a failed read or a program too long
// leaves no upload running, ">>" after a lost reply sends the next line, "X" stops.
void TestBasicTransfers::uploadEnds() {
    BasicTransfers m;
    QCOMPARE(m.startUpload(QByteArray("0010 P\r\n")).mid(4),
             TransferActions({act::consoleReplace("SEND BASIC PROGRAM COMPLETED\r\n"),
                              act::finished(End::Completed)}));
    QCOMPARE(m.startUpload(QByteArray()),
             TransferActions({act::consoleReplace("SEND BASIC PROGRAM COMPLETED\r\n"),
                              act::finished(End::Completed)}));
    m.startUpload(QByteArray("1 A\n2 B\n"));
    const Failure notFound{53, QStringLiteral("File not found")};
    QCOMPARE(m.startUpload(notFound), TransferActions{act::errorBox(53, notFound.description)});
    QVERIFY(!m.running());
    m.startUpload(QByteArray("1 A\n2 B\n"));
    const TransferActions tooLong = m.startUpload(QByteArray(2048, '\n') + "X");
    QCOMPARE(tooLong.value(0).value, ErrorNumber::SubscriptOutOfRange);
    QVERIFY(!m.running());
    QVERIFY(basic::readProgram(QByteArray(2048, '\n')).ok());

    SimulatedTerminal t;
    t.dropEvery = 2; // the answers to lines 2 and 4 are lost
    t.upload("10 A\n20 B\n30 C\n40 D\n50 E\n");
    QCOMPARE(t.sent.size(), 2);
    t.carryOut(t.basic.Command9_Click());
    t.run();
    QCOMPARE(t.sent, Lines({"10 A\r\n", "20 B\r\n", "30 C\r\n", "40 D\r\n"}));
    t.carryOut(t.basic.Command14_Click());
    QCOMPARE(t.finished, End::Stopped);
    QVERIFY(t.basic.SEND_BASIC_parser("OK").isEmpty());
    QVERIFY(t.basic.Command9_Click().isEmpty());
}

void TestBasicTransfers::download_data() {
    QTest::addColumn<Lines>("chunks");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("console");
    QTest::addColumn<bool>("running");
    const QByteArray done = "LOAD BASIC PROGRAM COMPLETED\r\n";
    QTest::newRow("split anywhere") << Lines{"10 PRI", "NT 1\r\n20", " END\r\n", "OK\r\n"}
                                    << QByteArray("10 PRINT 1\r\n20 END\r\n") << done << false;
    QTest::newRow("OK at 4 and 5 ends")
        << Lines{"1 A\r\n", "\r\n\rOK"} << QByteArray("1 A\r\n") << done << false;
    QTest::newRow("OK at 5 and 6 is data")
        << Lines{"1 A\r\n", "\r\n\r\nOK"} << QByteArray("1 A\r\n\r\n\r\nOK")
        << QByteArray("LOAD DATA = \r\n\r\nOK\r\n") << true;
    QTest::newRow("closing OK after the last line in one chunk")
        << Lines{"10 A\r\n20 B\r\nOK\r\n"} << QByteArray("10 A\r\n20 B\r\n") << done << false;
    QTest::newRow("Login") << Lines{"1 A\r\n", "Login:"} << QByteArray("1 A\r\n")
                           << QByteArray("LOAD DATA = 1 A\r\n\r\nACCESS DENIED\r\n") << false;
    QTest::newRow("Passwor before OK")
        << Lines{"OK Password"} << QByteArray() << QByteArray("ACCESS DENIED\r\n") << false;
    QTest::newRow("binary") << Lines{QByteArray("\0\xff\r", 3), "OK"} << QByteArray("\0\xff\r", 3)
                            << done << false;
}

void TestBasicTransfers::download() {
    QFETCH(Lines, chunks);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, console);
    QFETCH(bool, running);
    SimulatedTerminal t;
    t.fileOpen = true;
    t.carryOut(t.basic.startDownload());
    QCOMPARE(t.pausedMs, 100);
    for (const QByteArray& chunk : chunks)
        t.receive(chunk);
    QCOMPARE(t.file, file);
    QCOMPARE(t.console, console);
    QCOMPARE(t.basic.LoadBasicMode(), running);
    QCOMPARE(t.fileOpen, running);
}

// The board's listing comes back byte for byte, on either link, each with its spelling of
// LIST; a board that asks for a login gets nothing written.
void TestBasicTransfers::downloadRoundTrip() {
    for (const bool udp : {true, false}) {
        SimulatedTerminal t;
        t.udp = udp;
        t.upload("30 END\n10 PRINT \"x\"\n20 GOTO 10\n");
        t.sent.clear();
        t.download();
        QCOMPARE(t.sent, Lines{udp ? "LIST\r\n" : "LISt\r\n"});
        QCOMPARE(t.file, QByteArray("10 PRINT \"x\"\r\n20 GOTO 10\r\n30 END\r\n"));
        QCOMPARE(t.finished, End::Completed);
    }
    SimulatedTerminal locked(true);
    locked.download();
    QCOMPARE(locked.file, QByteArray());
    QCOMPARE(locked.finished, End::Refused);
}

// A download takes over a waiting upload's replies and ends it; an upload pushed to its end
// ends the download; a new click ends a download before its dialog. No file is written after
// it was closed (SimulatedTerminal fails the test if one is).
void TestBasicTransfers::transfersEndEachOther() {
    SimulatedTerminal t;
    t.dropEvery = 1;
    t.upload("10 A\n20 B\n");
    t.dropEvery = 0;
    t.download();
    QCOMPARE(t.file, QByteArray("10 A\r\n"));
    QVERIFY(!t.basic.running());

    t.dropEvery = 1;
    t.upload("10 A\n20 B\n");
    t.fileOpen = true;
    t.carryOut(t.basic.startDownload());
    t.carryOut(t.basic.Command9_Click());
    QVERIFY(!t.basic.running());
    QVERIFY(!t.fileOpen);

    t.dropEvery = 0;
    t.fileOpen = true;
    t.carryOut(t.basic.startDownload());
    QCOMPARE(t.basic.closeProgramFile(),
             TransferActions({act::closeFile(), act::finished(End::Stopped)}));
    t.fileOpen = false;
    t.run();
    QCOMPARE(t.file, QByteArray("10 A\r\n"));
}

QTEST_GUILESS_MAIN(TestBasicTransfers)
#include "tst_basictransfers.moc"
