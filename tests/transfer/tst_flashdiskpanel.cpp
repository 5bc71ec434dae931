// The "Flash disk" panel in the window, against the board simulator on both links: files go
// to the board's disk and come back byte for byte, with the bar, the command line, the log and
// the close routine doing their part.
#include "BoardWindow.h"

#include "console/ConsoleModel.h"
#include "form/TextProgressBar.h"

#include <QRandomGenerator>

class TestFlashDiskPanel : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void refusedOpen_data();
    void refusedOpen();
    void cancelKeepsWhatArrived();
    void localFileProblems_data();
    void localFileProblems();
    void closeWithNothingRunning();
};

namespace {

QByteArray content(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(size);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

QByteArray allByteValues() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes;
}

// Waits for the board's answer to CLOSE: a transfer started before it came would take it
// for the answer to its own FOPEN.
bool closedOnBoard(const BoardWindow& t) {
    return t.log().endsWith("CLOSE\r\nOK\r\n");
}

} // namespace

void TestFlashDiskPanel::roundTrip_data() {
    addLinks();
    QTest::addColumn<QByteArray>("bytes");
    for (int size : {1, 20, 21, 22, 40, 41, 32767 + 233})
        QTest::addRow("UDP, %d bytes", size) << Link::Udp << content(size);
    QTest::newRow("UDP, all byte values") << Link::Udp << allByteValues();
    QTest::newRow("serial, 22 bytes") << Link::Serial << content(22);
    QTest::newRow("serial, all byte values") << Link::Serial << allByteValues();
}

void TestFlashDiskPanel::roundTrip() {
    QFETCH(Link, link);
    QFETCH(QByteArray, bytes);
    BoardWindow t;
    board::BoardOptions options;
    options.diskDir = BoardWindow::path(QStringLiteral("disk"));
    QVERIFY(t.start(link, options));
    TextProgressBar* bar = t.w.fileProgressBar;

    BoardWindow::write(QStringLiteral("out.bin"), bytes);
    t.w.boardFileEdit->setText(QStringLiteral("F.BIN"));
    t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("out.bin"));
    t.w.sendFileButton->click();
    QCOMPARE(t.w.transfers().flash().sending(), true);
    QCOMPARE(bar->text(), QStringLiteral("SEND"));
    QCOMPARE(bar->max(), int(bytes.size()));
    QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), 60000);
    QCOMPARE(t.w.transfers().flash().sending(), false);
    QCOMPARE(bar->current(), int(bytes.size()) + 1);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("disk/F.BIN"))), bytes);
    // Every command went through the command line into the log.
    const QByteArray firstWrite = "WRITE \"" + bytes.left(21).toHex().toUpper() + "\"\r\n";
    QVERIFY(t.log().contains("FOPEN \"F.BIN\",WN\r\n"));
    QVERIFY(t.log().contains(firstWrite));
    QCOMPARE(t.log().count("WRITE \""), (bytes.size() + 20) / 21); // pieces of 21, the last 1..21
    QTRY_VERIFY(closedOnBoard(t));
    QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));

    BoardWindow::write(QStringLiteral("back.bin"), "an older, longer file of the same name");
    t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("back.bin"));
    t.w.receiveFileButton->click();
    QCOMPARE(t.w.transfers().flash().receiving(), true);
    QCOMPARE(bar->text(), QStringLiteral("READ"));
    QTRY_COMPARE_WITH_TIMEOUT(bar->text(), QStringLiteral("OK"), 60000);
    QCOMPARE(t.w.transfers().flash().receiving(), false);
    QCOMPARE(bar->current(), 100);
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("back.bin"))), bytes);
    QVERIFY(t.log().contains("FOPEN \"F.BIN\",R\r\nOK\r\nREAD 20\r\n"));
    QVERIFY(t.w.dialogs().errors.isEmpty());
}

// The board refuses FOPEN: the transfer closes at once with "ERROR" on the bar and the local
// file of that name stays as it was.
void TestFlashDiskPanel::refusedOpen_data() {
    addLinks();
    QTest::addColumn<bool>("send");
    QTest::newRow("send, UDP") << Link::Udp << true;
    QTest::newRow("receive, UDP") << Link::Udp << false;
    QTest::newRow("receive, serial") << Link::Serial << false;
}

void TestFlashDiskPanel::refusedOpen() {
    QFETCH(Link, link);
    QFETCH(bool, send);
    BoardWindow t;
    QVERIFY(t.start(link));
    BoardWindow::write(QStringLiteral("local.bin"), "old");
    if (send) {
        t.w.boardFileEdit->setText(QString()); // no name the board takes
        t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("local.bin"));
        t.w.sendFileButton->click();
    } else {
        t.w.boardFileEdit->setText(QStringLiteral("NOPE.TXT")); // not on the disk
        t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("local.bin"));
        t.w.receiveFileButton->click();
    }
    QTRY_COMPARE(t.w.fileProgressBar->text(), QStringLiteral("ERROR"));
    QCOMPARE(t.w.transfers().flash().running(), false);
    QVERIFY(t.log().contains(send ? "FOPEN \"\",WN\r\nERROR\r\nCLOSE\r\n"
                                  : "FOPEN \"NOPE.TXT\",R\r\nERROR\r\nCLOSE\r\n"));
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("local.bin"))), QByteArray("old"));
    QVERIFY(!QFile::exists(BoardWindow::path(QStringLiteral("local.bin.part"))));
    QVERIFY(!t.log().contains("WRITE") && !t.log().contains("READ 20"));
}

// The board goes quiet mid-receive (its fourth answer is lost); "X" ends the transfer and the
// part file keeps the two pieces that came; the file's own name never shows them.
void TestFlashDiskPanel::cancelKeepsWhatArrived() {
    BoardWindow t;
    board::BoardOptions options;
    options.diskDir = BoardWindow::path(QStringLiteral("disk"));
    options.dropEvery = 4;
    QVERIFY(QDir::current().mkdir(QStringLiteral("disk")));
    const QByteArray bytes = content(200);
    BoardWindow::write(QStringLiteral("disk/BIG.BIN"), bytes);
    QVERIFY(t.start(Link::Udp, options));

    t.w.boardFileEdit->setText(QStringLiteral("BIG.BIN"));
    t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("part.bin"));
    t.w.receiveFileButton->click();
    QTRY_COMPARE(readFile(BoardWindow::path(QStringLiteral("part.bin.part"))).size(),
                 qsizetype(40));
    QCOMPARE(t.w.transfers().flash().receiving(), true);
    t.w.closeTransferButton->click();
    QCOMPARE(t.w.transfers().flash().receiving(), false);
    QTRY_VERIFY(t.w.console().text().endsWith("READ 20\r\nOK\r\n"));
    QCOMPARE(readFile(BoardWindow::path(QStringLiteral("part.bin.part"))), bytes.left(40));
    QVERIFY(!QFile::exists(BoardWindow::path(QStringLiteral("part.bin"))));
    QVERIFY(t.log().endsWith("READ 20\r\nCLOSE\r\nOK\r\n"));
    QCOMPARE(t.w.fileProgressBar->text(), QStringLiteral("READ"));
    QCOMPARE(t.w.fileProgressBar->current(), 2);
}

// Local files that cannot take part: one box each, nothing reaches the board.
void TestFlashDiskPanel::localFileProblems_data() {
    QTest::addColumn<bool>("send");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("bar");
    QTest::newRow("empty file to send")
        << true << "empty.bin" << int(ErrorNumber::SubscriptOutOfRange) << "NO FILE";
    QTest::newRow("missing file to send")
        << true << "missing.bin" << int(ErrorNumber::FileNotFound) << "NO FILE";
    QTest::newRow("target in a missing folder")
        << false << "nowhere/x.bin" << int(ErrorNumber::FileNotFound) << "READ";
    QTest::newRow("target is a folder") << false << "dir" << int(ErrorNumber::PathAccess) << "READ";
}

void TestFlashDiskPanel::localFileProblems() {
    QFETCH(bool, send);
    QFETCH(QString, name);
    QFETCH(int, error);
    QFETCH(QString, bar);
    BoardWindow t;
    QVERIFY(t.start(Link::Udp));
    BoardWindow::write(QStringLiteral("empty.bin"), QByteArray());
    QVERIFY(QDir::current().mkdir(QStringLiteral("dir")));
    (send ? t.w.dialogs().openAnswers : t.w.dialogs().saveAnswers) << BoardWindow::path(name);
    (send ? t.w.sendFileButton : t.w.receiveFileButton)->click();
    QCOMPARE(t.w.dialogs().errors.size(), 1);
    QCOMPARE(t.w.dialogs().errors.front().number, error);
    QCOMPARE(t.w.fileProgressBar->text(), bar);
    QCOMPARE(t.w.transfers().flash().running(), false);
    QVERIFY(!t.log().contains("FOPEN"));
    QCOMPARE(t.w.commandEdit->text(), QString());

    t.w.sendFileButton->click(); // and a dialog without a file
    QCOMPARE(t.w.dialogs().messages.size(), 1);
    QVERIFY(t.w.dialogs().messages.front().endsWith(QStringLiteral("|Cancel")));
}

// "X" with nothing running still closes on the board and logs it.
void TestFlashDiskPanel::closeWithNothingRunning() {
    BoardWindow t;
    QVERIFY(t.start(Link::Serial));
    t.w.closeTransferButton->click();
    QCOMPARE(t.w.commandEdit->text(), QStringLiteral("CLOSE"));
    QTRY_VERIFY(closedOnBoard(t));
    QCOMPARE(t.w.console().text(), QByteArray("OK\r\n"));
}

QTEST_MAIN(TestFlashDiskPanel)
#include "tst_flashdiskpanel.moc"
