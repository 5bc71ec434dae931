// The "BASIC Files" and "Flash disk" panels when the board refuses, the files cannot take part,
// or the board is silent. Round trips: tst_splitreplies.
#include "BoardWindow.h"

class TestPanels : public QObject {
    Q_OBJECT
private slots:
    // One window and board (that wants a login before a listing), with no link first (no dialog
    // at all), then: FOPEN refused (no name it takes, or none on its disk); the login; a megabyte
    // line no datagram holds (no answer: "X" stops the upload; NUL and high bytes travel as they
    // are; the window tells the board is silent); no file chosen ("Cancel"); local files that
    // cannot take part (one box each). Each ends at once, the local file stays, no part file is
    // left, and nothing else goes out.
    void refusals() {
        BoardWindow t;
        const QList<QPushButton*> buttons{t.w.uploadProgramButton, t.w.saveProgramButton,
                                          t.w.sendFileButton, t.w.receiveFileButton};
        t.w.dialogs().openAnswers = t.w.dialogs().saveAnswers = {BoardWindow::path("never.bas")};
        for (QPushButton* button : buttons)
            button->click();
        QCOMPARE(t.w.dialogs().openAnswers.size() + t.w.dialogs().saveAnswers.size(), 2);
        QVERIFY(t.w.dialogs().messages.isEmpty());
        t.w.dialogs().openAnswers = t.w.dialogs().saveAnswers = {};

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

        t.w.transfers().replyWatch().setLimitMs(100);
        t.upload(QByteArray("10 A$=\"\0\xff\"\r\n20 ", 15) + QByteArray(1 << 20, 'x') + "\n30 END");
        WAIT_COMPARE(t.w.transfers().basic().lineSent(), qint16(2));
        const QByteArray silent = "no reply from " + t.w.link().boardAddress().toLatin1();
        WAIT_VERIFY(t.w.console().text().contains(silent + " for 100 ms"));
        t.w.transfers().replyWatch().setLimitMs(0); // watches nothing: no notice in what follows
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
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
