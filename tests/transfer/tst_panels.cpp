// The "BASIC Files" and "Flash disk" panels against the board simulator on both links, its
// replies whole or cut in two (after byte 1, or mid: inside a hex pair or between CR and LF).
#include "BoardWindow.h"

using Lines = QList<QByteArray>;

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
    }

    // One window and board (that wants a login before a listing), with no link first (no dialog
    // at all), then: FOPEN refused (no name it takes, or none on its disk); the login; a megabyte
    // line no datagram holds (no answer: "X" stops the upload; NUL and high bytes travel as they
    // are); no file chosen ("Cancel"); local files that cannot take part (one box each). Each ends
    // at once, the local file stays, no part file is left, and nothing else goes out.
    void refusals() {
        BoardWindow t;
        const QList<QPushButton*> buttons{t.w.uploadProgramButton, t.w.saveProgramButton,
                                          t.w.sendFileButton, t.w.receiveFileButton};
        t.w.dialogs().openAnswers << BoardWindow::path("never.bas");
        t.w.dialogs().saveAnswers = t.w.dialogs().openAnswers;
        for (QPushButton* button : buttons)
            button->click();
        QCOMPARE(t.w.dialogs().openAnswers.size() + t.w.dialogs().saveAnswers.size(), 2);
        QVERIFY(t.w.dialogs().messages.isEmpty());
        t.w.dialogs().openAnswers.clear();
        t.w.dialogs().saveAnswers.clear();

        board::BoardOptions options;
        options.login = true;
        QVERIFY(t.start(Link::Udp, options));
        const auto untouched = [&] {
            QVERIFY(!t.w.transfers().running());
            QCOMPARE(BoardWindow::read("local.bin"), QByteArray("old"));
            QVERIFY(!QFile::exists(BoardWindow::path("local.bin.part")));
        };
        for (const char* name : {"", "NOPE.TXT"}) {
            t.w.boardFileEdit->setText(QLatin1String(name));
            t.click(*name ? t.w.receiveFileButton : t.w.sendFileButton, "local.bin", "old");
            WAIT_COMPARE(t.w.fileProgressBar->text(), QStringLiteral("ERROR"));
            QVERIFY(t.log().contains(*name ? "FOPEN \"NOPE.TXT\",R\r\nERROR\r\nCLOSE\r\n"
                                           : "FOPEN \"\",WN\r\nERROR\r\nCLOSE\r\n"));
            WAIT_VERIFY(t.answered()); // to CLOSE, which the command line still holds
            t.w.commandEdit->clear();
            untouched();
        }
        t.save("local.bin");
        WAIT_VERIFY(t.w.console().text().endsWith("ACCESS DENIED\r\n"));
        untouched();
        QVERIFY(!t.log().contains("WRITE") && !t.log().contains("READ 20"));

        t.upload(QByteArray("10 A$=\"\0\xff\"\r\n20 ", 15) + QByteArray(1 << 20, 'x') + "\n30 END");
        WAIT_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        t.w.stopButton->click();
        QCOMPARE(t.w.transfers().basic().uploading(), false);

        QVERIFY(writeFile(BoardWindow::path("empty.bin"), QByteArray()));
        QVERIFY(QDir::current().mkdir(QStringLiteral("dir")));
        const int notFound = int(ErrorNumber::FileNotFound), access = int(ErrorNumber::PathAccess);
        const std::tuple<QPushButton*, const char*, int, QString> cases[]{
            {t.w.uploadProgramButton, "missing.bas", notFound, ""}, // "": not the upload's bar
            {t.w.uploadProgramButton, "dir", access, ""},
            {t.w.sendFileButton, "empty.bin", int(ErrorNumber::SubscriptOutOfRange), "NO FILE"},
            {t.w.sendFileButton, "missing.bin", notFound, "NO FILE"},
            {t.w.receiveFileButton, "nowhere/x.bin", notFound, "READ"},
            {t.w.receiveFileButton, "dir", access, "READ"}};
        t.board->takeHeard();
        for (QPushButton* button : buttons)
            button->click();
        QCOMPARE(t.w.dialogs().messages.size(), buttons.size());
        for (const QString& message : t.w.dialogs().messages)
            QVERIFY(message.endsWith(QStringLiteral("|Cancel")));
        for (const auto& [button, name, error, bar] : cases) {
            t.w.fileProgressBar->setText(QString());
            (button == t.w.receiveFileButton ? t.w.dialogs().saveAnswers
                                             : t.w.dialogs().openAnswers)
                << BoardWindow::path(name);
            t.w.dialogs().errors.clear();
            button->click();
            QCOMPARE(t.w.dialogs().errors.size(), 1);
            QCOMPARE(t.w.dialogs().errors.front().number, error);
            QCOMPARE(t.w.fileProgressBar->text(), bar);
            QCOMPARE(t.w.transfers().running(), false);
        }
        typeLine(t.w.commandEdit, QStringLiteral("PRINT 3"));
        WAIT_VERIFY(t.w.console().text().endsWith("3\r\nOK\r\n"));
        QCOMPARE(t.board->takeHeard(), QByteArray("PRINT 3\r\n"));
        QCOMPARE(t.board->interpreter().program().listing(),
                 Lines{QByteArray("10 A$=\"\0\xff\"", 10)});

        // "X" with nothing running still closes on the board.
        t.w.console().clear();
        t.w.closeTransferButton->click();
        QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));
        WAIT_VERIFY(t.log().endsWith("CLOSE\r\nOK\r\n"));
        QCOMPARE(t.w.console().text(), QByteArray("OK\r\n"));
    }

    void silentBoardIsTold_data() {
        QTest::addColumn<Link>("link");
        QTest::newRow("UDP") << Link::Udp;
        QTest::newRow("serial") << Link::Serial;
    }
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
