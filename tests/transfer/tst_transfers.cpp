// The session's transfers between the link and the machines: which transfer a reply line goes
// to, what goes to the console around a transfer, and a local file that cannot be written.
#include "SimulatedTerminal.h"

#include <QTest>
#include <csignal>
#include <sys/resource.h>

using End = TransferAction::End;
using Lines = QList<QByteArray>;

class TestTransfers : public QObject {
    Q_OBJECT
private slots:
    void uploadTakesRepliesBeforeAFileSend();
    void textAroundATransferGoesToTheConsole();
    void fullDiskEndsTheReceive();
    void repliesFromAnotherSenderAreSetAside();
    void aSaveWhoseEndNeverComes();
};

// With an upload waiting on a lost reply and a file send started after it, the next reply is
// the upload's: it sends line 2 while the send still waits for the answer to its FOPEN.
void TestTransfers::uploadTakesRepliesBeforeAFileSend() {
    SimulatedTerminal t;
    t.dropEvery = 1;
    t.upload("10 A\n20 B\n30 C\n");
    t.dropEvery = 0;
    t.transfers.startSend("F.BIN", QByteArray("xyz"));
    t.sent.clear();
    t.receive("OK\r\n");
    QCOMPARE(t.sent, Lines{"20 B\r\n"});
    QVERIFY(t.transfers.flash().sending());
}

// A reply that ends a transfer may carry more: the lines after it, and the start of one that has
// not ended, are console text. A line still being waited on when "X" stops the upload is shown.
void TestTransfers::textAroundATransferGoesToTheConsole() {
    SimulatedTerminal t;
    t.transfers.startDownload(t.path(QStringLiteral("p.bas")));
    t.receive("10 A\r\nOK\r\nREADY\r\n>");
    QCOMPARE(t.programFile(), QByteArray("10 A\r\n"));
    QCOMPARE(t.console, QByteArray("LOAD BASIC PROGRAM COMPLETED\r\nREADY\r\n>"));
    t.receive("more");
    QVERIFY(t.console.endsWith(">more"));

    t.pending.clear(); // the board's own answer to LIST, never delivered
    t.dropEvery = 1;
    t.upload("10 A\n20 B\n");
    t.receive("ERR");
    QVERIFY(!t.console.endsWith("ERR"));
    t.transfers.stopUpload();
    QVERIFY(t.console.endsWith("ERR"));
}

// A disk that fills up mid-receive ends it: CLOSE goes to the board, the operator hears why,
// and neither the bar nor the end says the file came whole, even when the end marker follows.
void TestTransfers::fullDiskEndsTheReceive() {
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

// A receive waiting on the board's answer to FOPEN takes nothing from another sender, however
// much it looks like an answer: it is shown, and the console hears once why it was not taken.
void TestTransfers::repliesFromAnotherSenderAreSetAside() {
    SimulatedTerminal t;
    t.sendFile("F.BIN", QByteArray(30, 'q'));
    t.receiveFile("F.BIN");
    const QByteArray answer = t.pending.takeFirst(); // the board's answer to FOPEN, held back
    t.console.clear();
    t.sent.clear();
    for (const QByteArray& junk : {QByteArray("OK\r\n"), QByteArray(40, 'A') + "OK\r\n",
                                   QByteArray("ND\r\n"), QByteArray("ERROR\r\n")})
        t.receive(junk, QStringLiteral("10.0.0.7:5000"));
    QVERIFY(t.sent.isEmpty());
    QVERIFY(t.transfers.flash().receiving());
    QVERIFY(t.console.startsWith("OK\r\n") && t.console.endsWith("ERROR\r\n"));
    QCOMPARE(t.notices.size(), 1);
    QVERIFY(t.notices.first().contains(QStringLiteral("10.0.0.7:5000")));

    t.receive(answer);
    t.run();
    QCOMPARE(t.ended, End::Completed);
    QCOMPARE(t.flashFile(), QByteArray(30, 'q'));
}

// A listing whose closing OK is lost waits; "X" ends it, a typed line ends it before it goes
// out (its answer would land in the file), and a listing that never ends stops at the longest
// program an upload takes. Each leaves its lines in the part file and the name to the older
// file.
void TestTransfers::aSaveWhoseEndNeverComes() {
    SimulatedTerminal t;
    const QString saved = t.path(QStringLiteral("saved.bas"));
    QVERIFY(writeFile(saved, "older program\r\n"));
    const auto listing = [&t](int lines) {
        QByteArray text;
        for (int n = 1; n <= lines; ++n)
            text += QByteArray::number(n) + " REM\r\n";
        t.receive(text);
        return text;
    };

    t.transfers.startDownload(saved);
    const QByteArray stopped = listing(3);
    t.transfers.stopUpload(); // "X"
    QCOMPARE(t.ended, End::Stopped);
    QVERIFY(t.console.endsWith("LOAD BASIC PROGRAM STOPPED\r\n"));
    QCOMPARE(t.programPart(), stopped);
    QCOMPARE(t.programFile(), QByteArray("older program\r\n"));

    t.transfers.startDownload(saved);
    const QByteArray typed = listing(2);
    t.transfers.commandLineTyped();
    QVERIFY(!t.transfers.basic().running());
    QCOMPARE(t.notices.size(), 1);
    QCOMPARE(t.programPart(), typed);

    t.transfers.startDownload(saved);
    listing(basic::MaxProgramLines + 1);
    QCOMPARE(t.ended, End::Refused);
    QCOMPARE(t.programPart().count('\n'), basic::MaxProgramLines);
    QCOMPARE(t.programFile(), QByteArray("older program\r\n"));
}

QTEST_GUILESS_MAIN(TestTransfers)
#include "tst_transfers.moc"
