// Another sender floods the window's port with what looks like the board's answers while a
// transfer runs: "OK", hex pieces, "ND", "ERROR". The transfer takes the board's replies only,
// and moves the program or the file exactly; the console shows the junk and says once why it
// was set aside.
#include "BoardWindow.h"

#include "console/ConsoleModel.h"
#include "form/TextProgressBar.h"

#include <QLineEdit>
#include <QTimer>
#include <QUdpSocket>

namespace {

enum class Job { Upload, Save, Send, Receive };

const QByteArray Program = "10 PRINT 1\r\n20 PRINT 2\r\n30 PRINT 3\r\n40 END\r\n";

QByteArray fileBytes() {
    QByteArray bytes(90, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 11);
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Job)

class TestStrangers : public QObject {
    Q_OBJECT
private slots:
    void transferTakesTheBoardsRepliesOnly_data();
    void transferTakesTheBoardsRepliesOnly();
};

void TestStrangers::transferTakesTheBoardsRepliesOnly_data() {
    QTest::addColumn<Job>("job");
    QTest::newRow("upload") << Job::Upload;
    QTest::newRow("save") << Job::Save;
    QTest::newRow("file send") << Job::Send;
    QTest::newRow("file receive") << Job::Receive;
}

void TestStrangers::transferTakesTheBoardsRepliesOnly() {
    QFETCH(Job, job);
    BoardWindow t;
    board::BoardOptions options;
    options.delayMs = 40; // the board takes its time, so the junk comes between its replies
    QVERIFY(t.start(Link::Udp, options));
    const QByteArray bytes = fileBytes();
    const Transfers& transfers = t.w.transfers();
    if (job == Job::Save) { // a program on the board to list
        BoardWindow::write(QStringLiteral("prog.bas"), Program);
        t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("prog.bas"));
        t.w.uploadProgramButton->click();
        QTRY_COMPARE(t.log().count("OK\r\n"), 4); // every line answered
    }
    if (job == Job::Receive) { // a file on the board to fetch
        BoardWindow::write(QStringLiteral("out.bin"), bytes);
        t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("out.bin"));
        t.w.sendFileButton->click();
        QTRY_VERIFY(!transfers.flash().running());
        QTRY_VERIFY(t.log().endsWith("CLOSE\r\nOK\r\n"));
    }

    // The notice may be wiped soon after (an upload shows only the line it sends).
    bool told = false;
    QObject::connect(&t.w.console(), &ConsoleModel::changed,
                     [&] { told = told || t.w.console().text().contains("was set aside"); });
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    const QList<QByteArray> junk{"OK\r\n", QByteArray(40, 'A') + "OK\r\n", "ND\r\n", "ERROR\r\n"};
    qsizetype sent = 0;
    QTimer flood;
    QObject::connect(&flood, &QTimer::timeout, [&] {
        stranger.writeDatagram(junk.at(sent++ % junk.size()), QHostAddress::LocalHost,
                               t.w.link().localPort());
    });
    flood.start(2);

    switch (job) {
    case Job::Upload:
        BoardWindow::write(QStringLiteral("prog.bas"), Program);
        t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("prog.bas"));
        t.w.uploadProgramButton->click();
        break;
    case Job::Save:
        t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("saved.bas"));
        t.w.saveProgramButton->click();
        break;
    case Job::Send:
        BoardWindow::write(QStringLiteral("out.bin"), bytes);
        t.w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("out.bin"));
        t.w.sendFileButton->click();
        break;
    case Job::Receive:
        t.w.dialogs().saveAnswers << BoardWindow::path(QStringLiteral("back.bin"));
        t.w.receiveFileButton->click();
        break;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!transfers.running(), 20000);
    // What the board holds the moment the window is done: a fake "OK" taken for the board's
    // would have pushed the lines or pieces out ahead of it.
    const int linesHeld = t.board->interpreter().program().lineCount();
    const qsizetype bytesHeld = t.board->interpreter().disk().usedBytes();
    flood.stop();

    switch (job) {
    case Job::Upload:
        QVERIFY2(linesHeld >= 3, qPrintable(QString::number(linesHeld))); // the 4th is on its way
        QTRY_COMPARE(t.board->interpreter().program().lineCount(), 4);
        break;
    case Job::Save:
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("saved.bas"))), Program);
        break;
    case Job::Send:
        QCOMPARE(t.w.fileProgressBar->text(), QStringLiteral("OK"));
        QCOMPARE(bytesHeld, bytes.size());
        break;
    case Job::Receive:
        QCOMPARE(t.w.fileProgressBar->text(), QStringLiteral("OK"));
        QCOMPARE(readFile(BoardWindow::path(QStringLiteral("back.bin"))), bytes);
        break;
    }
    QVERIFY2(told, "the junk came while the transfer ran, and the console said so");
    QVERIFY(t.w.console().text().count("was set aside") <= 1);
    QVERIFY(t.w.dialogs().errors.isEmpty());
}

QTEST_MAIN(TestStrangers)
#include "tst_strangers.moc"
