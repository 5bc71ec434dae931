// Rules of the BASIC upload and download the window tests cannot reach through the board
// simulator: the line reader's edge cases, chunks cut or glued as a peer may send them, and
// transfers ending each other.
#include "SimulatedTerminal.h"

#include <QTest>

using End = TransferAction::End;
using Lines = QList<QByteArray>;

class TestBasicTransfers : public QObject {
    Q_OBJECT
private slots:
    void readProgram_data();
    void readProgram();
    void uploadReplies();
    void uploadEnds();
    void download_data();
    void download();
    void transfersEndEachOther();
};

// A lone CR ends a line and the last needs no end; up to three leading zeros go and a line
// that lost one keeps 100 characters.
void TestBasicTransfers::readProgram_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Lines>("lines");
    QTest::newRow("CR only, no last end")
        << QByteArray("10 PRINT 1\r\r20 END") << Lines{"10 PRINT 1", "", "20 END"};
    QTest::newRow("zeros") << QByteArray("0010 X\n0000 A\n00007\n10 0\n")
                           << Lines{"10 X", "0 A", "07", "10 0"};
    QTest::newRow("zero then 150") << '0' + QByteArray(150, 'x') << Lines{QByteArray(100, 'x')};
    QTest::newRow("150, no zero") << QByteArray(150, 'x') << Lines{QByteArray(150, 'x')};
}

void TestBasicTransfers::readProgram() {
    QFETCH(QByteArray, file);
    QFETCH(Lines, lines);
    const auto read = basic::readProgram(file);
    QVERIFY(read.ok());
    QCOMPARE(*read, lines);
}

// The first line goes after a pause; only a chunk holding "OK" and no "ERROR" releases the
// next line, anything else is shown, a reply cut in two counts as neither half.
void TestBasicTransfers::uploadReplies() {
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
}

// One line completes at once, an empty file sends nothing, a failed read or a program of
// 2049 lines ends a running upload (2048 are fine), and after "X" nothing pushes it on.
void TestBasicTransfers::uploadEnds() {
    BasicTransfers m;
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
    QVERIFY(basic::readProgram(QByteArray(2048, '\n')).ok());

    m.startUpload(QByteArray("1 A\n2 B\n"));
    QCOMPARE(m.stop(), TransferActions{act::finished(End::Stopped)});
    QVERIFY(m.onUploadReply("OK").isEmpty());
    QVERIFY(m.nextLine().isEmpty());
}

// Listing chunks as a peer may cut them, read as the lines the board meant: "OK" alone on its
// line closes the listing, and only then does the file take its name; a numbered line is
// program text whatever it holds; a prompt refuses even before its line ends; a CR LF cut in
// two stays in the file.
void TestBasicTransfers::download_data() {
    QTest::addColumn<Lines>("chunks");
    QTest::addColumn<QByteArray>("file"); // under its name: the listing came whole
    QTest::addColumn<QByteArray>("part"); // what a transfer that did not complete left
    QTest::addColumn<QByteArray>("console");
    QTest::addColumn<bool>("running");
    const QByteArray done = "LOAD BASIC PROGRAM COMPLETED\r\n";
    QTest::newRow("split anywhere")
        << Lines{"10 PRI", "NT 1\r\n20", " END\r", "\nO", "K\r\n"}
        << QByteArray("10 PRINT 1\r\n20 END\r\n") << QByteArray() << done << false;
    QTest::newRow("OK alone ends, OK in a line is text")
        << Lines{"1 A\r\n5 OK=1\r\n", " OK \r\n"} << QByteArray("1 A\r\n5 OK=1\r\n") << QByteArray()
        << done << false;
    QTest::newRow("closing OK after the last line in one chunk")
        << Lines{"10 A\r\n20 B\r\nOK\r\n"} << QByteArray("10 A\r\n20 B\r\n") << QByteArray() << done
        << false;
    QTest::newRow("password prompt without a line end")
        << Lines{"10 A\r\n", "Password:"} << QByteArray() << QByteArray("10 A\r\n")
        << QByteArray("LOAD DATA = 10 A\r\n\r\nACCESS DENIED\r\n") << false;
    QTest::newRow("ERROR refuses, a numbered line holding it is text")
        << Lines{"10 PRINT \"ERROR\"\r\n", "ERROR 12\r\n"} << QByteArray()
        << QByteArray("10 PRINT \"ERROR\"\r\n")
        << QByteArray("LOAD DATA = 10 PRINT \"ERROR\"\r\n\r\nERROR 12\r\n\r\n") << false;
    QTest::newRow("binary, lone CR") << Lines{QByteArray("\0\xff\r", 3), "OK\r\n"}
                                     << QByteArray("\0\xff\r", 3) << QByteArray() << done << false;
    QTest::newRow("no line end yet")
        << Lines{"10 A\r\nOK"} << QByteArray() << QByteArray("10 A\r\n")
        << QByteArray("LOAD DATA = 10 A\r\n\r\n") << true;
}

void TestBasicTransfers::download() {
    QFETCH(Lines, chunks);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, part);
    QFETCH(QByteArray, console);
    QFETCH(bool, running);
    SimulatedTerminal t;
    t.transfers.startDownload(t.path(QStringLiteral("saved.bas")));
    QCOMPARE(t.pausedMs, 100);
    QCOMPARE(t.sent, Lines{"LIST\r\n"});
    for (const QByteArray& chunk : chunks)
        t.receive(chunk);
    QCOMPARE(t.programFile(), file);
    QCOMPARE(t.programPart(), part);
    QCOMPARE(t.console, console);
    QCOMPARE(t.transfers.basic().downloading(), running);
    QCOMPARE(t.transfers.programFile().isOpen(), running);
}

// A download takes over a waiting upload's replies and ends it; an upload pushed to its end
// ends the download; a new click ends a download before its dialog, and what the board sends
// after that is console text, never file content.
void TestBasicTransfers::transfersEndEachOther() {
    SimulatedTerminal t;
    t.dropEvery = 1;
    t.upload("10 A\n20 B\n");
    t.dropEvery = 0;
    t.download();
    QCOMPARE(t.programFile(), QByteArray("10 A\r\n"));
    QVERIFY(!t.transfers.basic().running());

    t.dropEvery = 1;
    t.upload("10 A\n20 B\n");
    t.transfers.startDownload(t.path(QStringLiteral("second.bas")));
    t.transfers.uploadNextLine();
    QVERIFY(!t.transfers.basic().running());
    QVERIFY(!t.transfers.programFile().isOpen());

    t.dropEvery = 0;
    t.transfers.startDownload(t.path(QStringLiteral("third.bas")));
    t.transfers.closeProgramFile();
    QCOMPARE(t.ended, TransferAction::End::Stopped);
    t.console.clear();
    t.run();
    QCOMPARE(t.programFile(), QByteArray());
    QCOMPARE(t.console, QByteArray("10 A\r\n20 B\r\nOK\r\n"));
}

QTEST_GUILESS_MAIN(TestBasicTransfers)
#include "tst_basictransfers.moc"
