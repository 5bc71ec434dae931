// The "BASIC Files" and "Flash disk" panels against the board simulator on both links, its
// replies whole or cut in two (after byte 1, or in the middle: inside a hex pair or between CR
// and LF): the dialogs, the files, the bar, the command line, the log.
#include "BoardWindow.h"

using Lines = QList<QByteArray>;

namespace {
enum Button { Upload, Send, Receive, Save };
} // namespace

class TestPanels : public QObject {
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
    // An empty line needs ">>" (the board does not answer one); "New " and "??" bypass the
    // command line and the log; files go out in pieces of 21 and come back in pieces of 20.
    void roundTrips() {
        QFETCH(Link, link);
        QFETCH(int, splitAt);
        BoardWindow t;
        board::BoardOptions options;
        options.splitAt = splitAt;
        options.diskDir = BoardWindow::path("disk");
        QVERIFY(t.start(link, options));
        t.upload("0010 PRINT \"\xC0\xFF\"\r\n\n020 A=1\n30 END\r\n");
        QCOMPARE(t.w.console().text(), QByteArray("10 PR\n"));
        WAIT_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        QCOMPARE(t.w.console().text(), QByteArray("LOAD DATA = "));
        t.w.nextLineButton->click();
        WAIT_COMPARE(t.w.console().text(), QByteArray("SEND BASIC PROGRAM COMPLETED\r\nOK\r\n"));
        QCOMPARE(t.w.transfers().basic().uploading(), false);
        QCOMPARE(t.board->interpreter().program().listing(),
                 Lines({"10 PRINT \"\xC0\xFF\"", "20 A=1", "30 END"}));

        // On serial the poll may gather the last line and the closing OK into one chunk.
        t.board->takeHeard();
        t.save("saved.bas");
        WAIT_COMPARE(t.w.console().text(), QByteArray("LOAD BASIC PROGRAM COMPLETED\r\n"));
        QCOMPARE(t.w.transfers().basic().downloading(), false);
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

        // Past 32767 bytes (whole UDP only: long), every byte value with an odd end, and two
        // whole READ pieces with an empty end; each comes back over the one before.
        QList<QByteArray> files{stepped(256), stepped(40, 11)};
        if (link == Link::Udp && splitAt == 0)
            files.prepend(stepped(32767 + 233));
        TextProgressBar* bar = t.w.fileProgressBar;
        const int ceilingMs = 120000; // the long file makes over 3000 round trips
        t.w.boardFileEdit->setText(QStringLiteral("F.BIN"));
        for (const QByteArray& bytes : files) {
            const qsizetype logged = t.log().size();
            t.sendFile(bytes);
            QCOMPARE(bar->text(), QStringLiteral("SEND"));
            QCOMPARE(bar->max(), int(bytes.size()));
            QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), ceilingMs);
            QCOMPARE(t.w.transfers().flash().sending(), false);
            QCOMPARE(bar->current(), int(bytes.size()) + 1);
            QCOMPARE(BoardWindow::read("disk/F.BIN"), bytes);
            const QByteArray sent = t.log().mid(logged);
            QVERIFY(sent.contains("FOPEN \"F.BIN\",WN\r\n") &&
                    sent.contains("WRITE \"" + bytes.left(21).toHex().toUpper() + "\"\r\n"));
            QCOMPARE(sent.count("WRITE \""), (bytes.size() + 20) / 21);
            // A transfer started before the answer to CLOSE would take it for its FOPEN's.
            WAIT_VERIFY(t.answered());
            QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));

            t.receiveFile("back.bin");
            QCOMPARE(bar->text(), QStringLiteral("READ"));
            QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), ceilingMs);
            QCOMPARE(t.w.transfers().flash().receiving(), false);
            QCOMPARE(bar->current(), 100);
            QCOMPARE(BoardWindow::read("back.bin"), bytes);
            // READ 20 follows the OK; a reply cut between CR and LF is done at its CR.
            const QByteArray opened = "FOPEN \"F.BIN\",R\r\nOK\r";
            QVERIFY(t.log().contains(opened + "\nREAD 20\r\n") ||
                    t.log().contains(opened + "READ 20"));
            WAIT_VERIFY(t.answered());
        }
        QVERIFY(t.w.dialogs().messages.isEmpty() && t.w.dialogs().errors.isEmpty());
    }

    // A megabyte line does not fit a datagram and earns no answer; ">>" goes past it and "X"
    // would stop it. NUL and high bytes travel as they are.
    void megabyteLine() {
        BoardWindow t;
        QVERIFY(t.start(Link::Udp));
        t.upload(QByteArray("10 A$=\"\0\xff\"\r\n20 ", 15) + QByteArray(1 << 20, 'x') +
                 "\n30 END\r\n40 STOP");
        WAIT_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        t.w.nextLineButton->click();
        // The upload ends as its last line goes out; a next upload started before the board's
        // answer to that line would take it for its own first line's.
        WAIT_COMPARE(t.w.console().text(), QByteArray("SEND BASIC PROGRAM COMPLETED\r\nOK\r\n"));
        QCOMPARE(t.board->interpreter().program().listing(),
                 Lines({QByteArray("10 A$=\"\0\xff\"", 10), "30 END", "40 STOP"}));

        t.upload("10 PRINT 1\r\n20 " + QByteArray(1 << 20, 'y') + "\r\n30 END\r\n");
        WAIT_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        t.w.stopButton->click();
        QCOMPARE(t.w.transfers().basic().uploading(), false);
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 9"));
        WAIT_VERIFY(t.w.console().text().endsWith("9\r\nOK\r\n"));
    }

    void refusals_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<int>("button");
        QTest::newRow("send, UDP") << Link::Udp << int(Send);
        QTest::newRow("receive, UDP") << Link::Udp << int(Receive);
        QTest::newRow("receive, serial") << Link::Serial << int(Receive);
        QTest::newRow("Save, login") << Link::Udp << int(Save);
    }
    // The board refuses FOPEN (no name it takes, or one not on its disk), or wants a login before
    // a listing: the transfer ends at once, the local file of that name stays as it was and no
    // part file is left. The board answers the next typed line.
    void refusals() {
        QFETCH(Link, link);
        QFETCH(int, button);
        BoardWindow t;
        board::BoardOptions options;
        options.login = button == Save;
        QVERIFY(t.start(link, options));
        QVERIFY(writeFile(BoardWindow::path("local.bin"), "old"));
        t.w.boardFileEdit->setText(button == Send ? QString() : QStringLiteral("NOPE.TXT"));
        QPushButton* buttons[] = {nullptr, t.w.sendFileButton, t.w.receiveFileButton,
                                  t.w.saveProgramButton};
        t.click(buttons[button], "local.bin", "old");
        if (button == Save) {
            WAIT_VERIFY(t.w.console().text().endsWith("ACCESS DENIED\r\n"));
        } else {
            WAIT_COMPARE(t.w.fileProgressBar->text(), QStringLiteral("ERROR"));
            QVERIFY(t.log().contains(button == Send
                                         ? "FOPEN \"\",WN\r\nERROR\r\nCLOSE\r\n"
                                         : "FOPEN \"NOPE.TXT\",R\r\nERROR\r\nCLOSE\r\n"));
            QVERIFY(!t.log().contains("WRITE") && !t.log().contains("READ 20"));
            WAIT_VERIFY(t.answered()); // to CLOSE, which the command line still holds
            t.w.commandEdit->clear();
        }
        QVERIFY(!t.w.transfers().running());
        QCOMPARE(BoardWindow::read("local.bin"), QByteArray("old"));
        QVERIFY(!QFile::exists(BoardWindow::path("local.bin.part")));
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 7"));
        WAIT_VERIFY(t.w.console().text().endsWith("7\r\nOK\r\n"));
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
        QVERIFY(writeFile(BoardWindow::path("empty.bin"), QByteArray()));
        QVERIFY(QDir::current().mkdir(QStringLiteral("dir")));
        (button == Receive ? t.w.dialogs().saveAnswers : t.w.dialogs().openAnswers)
            << QDir::current().absoluteFilePath(name);
        QPushButton* buttons[] = {t.w.uploadProgramButton, t.w.sendFileButton,
                                  t.w.receiveFileButton};
        buttons[button]->click();
        QCOMPARE(t.w.dialogs().errors.size(), 1);
        QCOMPARE(t.w.dialogs().errors.front().number, error);
        if (!bar.isEmpty())
            QCOMPARE(t.w.fileProgressBar->text(), bar);
        QCOMPARE(t.w.transfers().running(), false);
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 3"));
        WAIT_VERIFY(t.w.console().text().endsWith("3\r\nOK\r\n"));
        QCOMPARE(t.board->takeHeard(), QByteArray("PRINT 3\r\n"));
    }

    // No link open: no dialog at all. No file chosen: "Cancel", and nothing goes out (the
    // board hears the next typed line first).
    void cancelAndNoLink() {
        Terminal w;
        const QList<QPushButton*> buttons{w.uploadProgramButton, w.saveProgramButton,
                                          w.sendFileButton, w.receiveFileButton};
        w.dialogs().openAnswers << BoardWindow::path("never.bas");
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
        QCOMPARE(peer.next(), QByteArray("PRINT 1\r\n"));
    }

    // "X" with nothing running still closes on the board and logs it.
    void closeWithNothingRunning() {
        BoardWindow t;
        QVERIFY(t.start(Link::Serial));
        t.w.closeTransferButton->click();
        QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));
        WAIT_VERIFY(t.log().endsWith("CLOSE\r\nOK\r\n"));
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
        WAIT_VERIFY(
            b.w.console().text().contains("no reply from " + name.toLatin1() + " for 100 ms"));
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
