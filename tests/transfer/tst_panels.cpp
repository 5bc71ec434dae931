// The "BASIC Files" and "Flash disk" panels against the board simulator on both links, its
// replies whole or cut in two (as a board at 9600 baud spreads a reply over several reads, or
// a UDP board sends it in two datagrams: after byte 1, or in the middle, inside a hex pair or
// between CR and LF): the dialogs, the files, the bar, the command line, the log.
#include "BoardWindow.h"

#include <QRandomGenerator>

using Lines = QList<QByteArray>;

namespace {

QByteArray content(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(size);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// Rows for every link and every way the board cuts its replies.
template <typename Row> void cutRows(Row row) {
    for (const Link link : {Link::Udp, Link::Serial}) {
        const char* name = link == Link::Udp ? "UDP" : "serial";
        row(link, name, 0, "whole");
        row(link, name, 1, "cut after byte 1");
        row(link, name, int(board::BoardOptions::SplitMiddle), "cut in the middle");
    }
}

board::BoardOptions cutting(int splitAt) {
    board::BoardOptions options;
    options.splitAt = splitAt;
    options.diskDir = BoardWindow::path(QStringLiteral("disk"));
    return options;
}

enum Button { Upload, Send, Receive };

} // namespace

class TestPanels : public QObject {
    Q_OBJECT
private slots:
    void uploadListNewAndStatus_data() {
        addLinks();
        QTest::addColumn<int>("splitAt");
        cutRows([](Link link, const char* name, int splitAt, const char* cut) {
            QTest::addRow("%s, %s", name, cut) << link << splitAt;
        });
    }
    // Leading zeros go, an empty line needs ">>" (the board does not answer one), high bytes
    // travel as they are, and "Save " writes the board's listing byte for byte. "New " and
    // "??" act on the board without the command line or the log.
    void uploadListNewAndStatus() {
        QFETCH(Link, link);
        QFETCH(int, splitAt);
        BoardWindow t;
        QVERIFY(t.start(link, cutting(splitAt)));
        t.upload("0010 PRINT \"\xC0\xFF\"\r\n\n020 A=1\n30 END\r\n");
        QCOMPARE(t.w.transfers().basic().uploading(), true);
        QCOMPARE(t.w.console().text(), QByteArray("10 PR\n"));
        QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        QCOMPARE(t.w.console().text(), QByteArray("LOAD DATA = "));
        t.w.nextLineButton->click();
        QTRY_COMPARE(t.w.console().text(), QByteArray("SEND BASIC PROGRAM COMPLETED\r\nOK\r\n"));
        QCOMPARE(t.w.transfers().basic().uploading(), false);
        QCOMPARE(t.board->interpreter().program().listing(),
                 Lines({"10 PRINT \"\xC0\xFF\"", "20 A=1", "30 END"}));

        // On serial the poll may gather the last line and the closing OK into one chunk.
        t.board->takeHeard();
        t.save("saved.bas");
        QTRY_COMPARE(t.w.console().text(), QByteArray("LOAD BASIC PROGRAM COMPLETED\r\n"));
        QCOMPARE(t.w.transfers().basic().downloading(), false);
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("saved.bas"))),
                 QByteArray("10 PRINT \"\xC0\xFF\"\r\n20 A=1\r\n30 END\r\n"));
        QCOMPARE(t.board->takeHeard(), link == Link::Udp ? "LIST\r\n" : "LISt\r\n");

        t.w.newProgramButton->click();
        QTRY_VERIFY(t.w.console().text().endsWith("COMPLETED\r\nOK\r\n"));
        t.w.statusButton->click();
        QTRY_VERIFY(t.w.console().text().endsWith("Disk free: 1048576\r\nOK\r\n"));
        QVERIFY(t.w.console().text().contains("Program lines: 0\r\n"));
        QCOMPARE(t.w.commandEdit->text(), QString());
        QVERIFY(!t.log().contains("STATUS") && !t.log().contains("NEW"));
        QVERIFY(t.w.dialogs().messages.isEmpty() && t.w.dialogs().errors.isEmpty());
    }

    void refusals_data() {
        addLinks();
        QTest::addColumn<bool>("login");
        QTest::newRow("line, UDP") << Link::Udp << false;
        QTest::newRow("line, serial") << Link::Serial << false;
        QTest::newRow("login, UDP") << Link::Udp << true;
    }
    // A line the board refuses ends the upload there; a board that wants a login refuses the
    // listing and the older file of that name stays. The board answers the next typed line.
    void refusals() {
        QFETCH(Link, link);
        QFETCH(bool, login);
        BoardWindow t;
        board::BoardOptions options;
        options.login = login;
        QVERIFY(t.start(link, options));
        if (login) {
            BoardWindow::write(QStringLiteral("old.bas"), "an older program\r\n");
            t.save("old.bas");
            QTRY_VERIFY(t.w.console().text().endsWith("ACCESS DENIED\r\n"));
            QCOMPARE(readFile(BoardWindow::path(QStringLiteral("old.bas"))),
                     QByteArray("an older program\r\n"));
            QVERIFY(!QFile::exists(BoardWindow::path(QStringLiteral("old.bas.part"))));
        } else {
            t.upload("10 PRINT 1\r\n20 PRINT \"A\r\n30 END\r\n");
            QTRY_COMPARE(t.w.transfers().basic().uploading(), false);
            QCOMPARE(t.w.console().text(),
                     QByteArray("LOAD DATA = 20 PRINT \"AError - see  source file \r\n"));
            QCOMPARE(t.board->interpreter().program().listing(), Lines{"10 PRINT 1"});
        }
        QVERIFY(!t.w.transfers().running());
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 7"));
        QTRY_VERIFY(t.w.console().text().endsWith("7\r\nOK\r\n"));
    }

    // A megabyte line does not fit a datagram and earns no answer; ">>" goes past it and "X"
    // would stop it. NUL and high bytes travel as they are.
    void megabyteLine() {
        BoardWindow t;
        QVERIFY(t.start(Link::Udp));
        t.upload(QByteArray("10 A$=\"\0\xff\"\r\n20 ", 15) + QByteArray(1 << 20, 'x') +
                 "\n30 END\r\n40 STOP");
        QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        t.w.nextLineButton->click();
        QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(0));
        // The upload ends as its last line goes out; the board stores it a moment later.
        QTRY_COMPARE(t.board->interpreter().program().listing(),
                     Lines({QByteArray("10 A$=\"\0\xff\"", 10), "30 END", "40 STOP"}));

        t.upload("10 PRINT 1\r\n20 " + QByteArray(1 << 20, 'y') + "\r\n30 END\r\n");
        QTRY_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        t.w.stopButton->click();
        QCOMPARE(t.w.transfers().basic().uploading(), false);
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 9"));
        QTRY_VERIFY(t.w.console().text().endsWith("9\r\nOK\r\n"));
    }

    void fileRoundTrip_data() {
        addLinks();
        QTest::addColumn<int>("splitAt");
        QTest::addColumn<QByteArray>("bytes");
        cutRows([](Link link, const char* name, int splitAt, const char* cut) {
            // 40 bytes: two whole READ pieces and an empty end; 256: every value, an odd end.
            QTest::addRow("%s, %s, 40 bytes", name, cut) << link << splitAt << content(40);
            QTest::addRow("%s, %s, every value", name, cut) << link << splitAt << stepped(256, 7);
        });
        for (const int size : {1, 20, 21, 22, 41, 32767 + 233})
            QTest::addRow("UDP, %d bytes", size) << Link::Udp << 0 << content(size);
    }
    // Files go to the board's disk in pieces of 21 and come back in pieces of 20, byte for
    // byte, every command through the command line into the log.
    void fileRoundTrip() {
        QFETCH(Link, link);
        QFETCH(int, splitAt);
        QFETCH(QByteArray, bytes);
        BoardWindow t;
        QVERIFY(t.start(link, cutting(splitAt)));
        TextProgressBar* bar = t.w.fileProgressBar;

        t.w.boardFileEdit->setText(QStringLiteral("F.BIN"));
        t.sendFile(bytes);
        QCOMPARE(t.w.transfers().flash().sending(), true);
        QCOMPARE(bar->text(), QStringLiteral("SEND"));
        QCOMPARE(bar->max(), int(bytes.size()));
        QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), 60000);
        QCOMPARE(t.w.transfers().flash().sending(), false);
        QCOMPARE(bar->current(), int(bytes.size()) + 1);
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("disk/F.BIN"))), bytes);
        const QByteArray firstWrite = "WRITE \"" + bytes.left(21).toHex().toUpper() + "\"\r\n";
        QVERIFY(t.log().contains("FOPEN \"F.BIN\",WN\r\n") && t.log().contains(firstWrite));
        QCOMPARE(t.log().count("WRITE \""), (bytes.size() + 20) / 21);
        // A transfer started before the answer to CLOSE would take it for its FOPEN's.
        QTRY_VERIFY(t.answered());
        QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));

        BoardWindow::write(QStringLiteral("back.bin"), "an older, longer file of the same name");
        t.receiveFile("back.bin");
        QCOMPARE(t.w.transfers().flash().receiving(), true);
        QCOMPARE(bar->text(), QStringLiteral("READ"));
        QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), 60000);
        QCOMPARE(t.w.transfers().flash().receiving(), false);
        QCOMPARE(bar->current(), 100);
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("back.bin"))), bytes);
        // READ 20 follows the OK; a reply cut between CR and LF is done at its CR.
        const QByteArray opened = "FOPEN \"F.BIN\",R\r\nOK\r";
        QVERIFY(t.log().contains(opened + "\nREAD 20\r\n") || t.log().contains(opened + "READ 20"));
        QVERIFY(t.w.dialogs().errors.isEmpty());
    }

    void refusedOpen_data() {
        addLinks();
        QTest::addColumn<bool>("send");
        QTest::newRow("send, UDP") << Link::Udp << true;
        QTest::newRow("receive, UDP") << Link::Udp << false;
        QTest::newRow("receive, serial") << Link::Serial << false;
    }
    // The board refuses FOPEN: the transfer closes at once with "ERROR" on the bar and the
    // local file of that name stays as it was.
    void refusedOpen() {
        QFETCH(Link, link);
        QFETCH(bool, send);
        BoardWindow t;
        QVERIFY(t.start(link));
        BoardWindow::write(QStringLiteral("local.bin"), "old");
        // No name the board takes, or one not on its disk.
        t.w.boardFileEdit->setText(send ? QString() : QStringLiteral("NOPE.TXT"));
        t.click(send ? t.w.sendFileButton : t.w.receiveFileButton, "local.bin", "old");
        QTRY_COMPARE(t.w.fileProgressBar->text(), QStringLiteral("ERROR"));
        QCOMPARE(t.w.transfers().flash().running(), false);
        QVERIFY(t.log().contains(send ? "FOPEN \"\",WN\r\nERROR\r\nCLOSE\r\n"
                                      : "FOPEN \"NOPE.TXT\",R\r\nERROR\r\nCLOSE\r\n"));
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("local.bin"))), QByteArray("old"));
        QVERIFY(!QFile::exists(BoardWindow::path(QStringLiteral("local.bin.part"))));
        QVERIFY(!t.log().contains("WRITE") && !t.log().contains("READ 20"));
    }

    void localFileProblems_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("bar"); // empty: the bar is not the upload's
        const int notFound = int(ErrorNumber::FileNotFound), access = int(ErrorNumber::PathAccess);
        QTest::newRow("missing program") << int(Upload) << "missing.bas" << notFound << "";
        QTest::newRow("program is a folder") << int(Upload) << "dir" << access << "";
        QTest::newRow("empty file to send")
            << int(Send) << "empty.bin" << int(ErrorNumber::SubscriptOutOfRange) << "NO FILE";
        QTest::newRow("missing file to send")
            << int(Send) << "missing.bin" << notFound << "NO FILE";
        QTest::newRow("target in a missing folder")
            << int(Receive) << "nowhere/x.bin" << notFound << "READ";
        QTest::newRow("target is a folder") << int(Receive) << "dir" << access << "READ";
    }
    // Local files that cannot take part: one box each, nothing reaches the board (it hears
    // the next typed line first).
    void localFileProblems() {
        QFETCH(int, button);
        QFETCH(QString, name);
        QFETCH(int, error);
        QFETCH(QString, bar);
        BoardWindow t;
        QVERIFY(t.start(Link::Udp));
        BoardWindow::write(QStringLiteral("empty.bin"), QByteArray());
        QVERIFY(QDir::current().mkdir(QStringLiteral("dir")));
        (button == Receive ? t.w.dialogs().saveAnswers : t.w.dialogs().openAnswers)
            << BoardWindow::path(name);
        QPushButton* buttons[] = {t.w.uploadProgramButton, t.w.sendFileButton,
                                  t.w.receiveFileButton};
        buttons[button]->click();
        QCOMPARE(t.w.dialogs().errors.size(), 1);
        QCOMPARE(t.w.dialogs().errors.front().number, error);
        if (!bar.isEmpty())
            QCOMPARE(t.w.fileProgressBar->text(), bar);
        QCOMPARE(t.w.transfers().running(), false);
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 3"));
        QTRY_VERIFY(t.w.console().text().endsWith("3\r\nOK\r\n"));
        QCOMPARE(t.board->takeHeard(), QByteArray("PRINT 3\r\n"));
    }

    // No link open: no dialog at all. No file chosen: "Cancel", and nothing goes out (the
    // board hears the next typed line first).
    void cancelAndNoLink() {
        Terminal w;
        const QList<QPushButton*> buttons{w.uploadProgramButton, w.saveProgramButton,
                                          w.sendFileButton, w.receiveFileButton};
        w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("never.bas"));
        w.dialogs().saveAnswers = w.dialogs().openAnswers;
        for (QPushButton* button : buttons)
            button->click();
        QCOMPARE(w.dialogs().openAnswers.size() + w.dialogs().saveAnswers.size(), 2);
        QVERIFY(w.dialogs().messages.isEmpty());

        UdpPeer peer;
        QVERIFY(connectWindow(w, peer.port()));
        w.dialogs().openAnswers.clear();
        w.dialogs().saveAnswers.clear();
        for (QPushButton* button : buttons)
            button->click();
        QCOMPARE(w.dialogs().messages.size(), buttons.size());
        for (const QString& message : w.dialogs().messages)
            QVERIFY(message.endsWith(QStringLiteral("|Cancel")));
        QCOMPARE(w.transfers().running(), false);
        typeLine(w.commandEdit, QStringLiteral("PRINT 1"));
        QByteArray got;
        QVERIFY(peer.receive(&got, 20000));
        QCOMPARE(got, QByteArray("PRINT 1\r\n"));
    }

    // "X" with nothing running still closes on the board and logs it.
    void closeWithNothingRunning() {
        BoardWindow t;
        QVERIFY(t.start(Link::Serial));
        t.w.closeTransferButton->click();
        QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));
        QTRY_VERIFY(t.log().endsWith("CLOSE\r\nOK\r\n"));
        QCOMPARE(t.w.console().text(), QByteArray("OK\r\n"));
    }

    void silentBoardIsTold_data() { linkRows(); }
    // A board that loses every reply: the window tells which board is silent (once: see the
    // core's reply watch).
    void silentBoardIsTold() {
        QFETCH(Link, link);
        BoardWindow b;
        board::BoardOptions lossy;
        lossy.dropEvery = 1;
        QVERIFY(b.start(link, lossy));
        b.w.transfers().replyWatch().setLimitMs(100);
        typeLine(b.w.commandEdit, QStringLiteral("PRINT 1"));
        const QString name = link == Link::Udp ? b.w.link().boardAddress() : b.board->ptyPath();
        QTRY_VERIFY_WITH_TIMEOUT(
            b.w.console().text().contains("no reply from " + name.toLatin1() + " for 100 ms"),
            10000);
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
