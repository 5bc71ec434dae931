// A board that stays silent: the session tells it once, says what waits and which button goes
// on, and sends nothing again by itself. The core under a clock the test moves; the window on
// both links against a board that loses every reply.
#include "BoardWindow.h"
#include "SimulatedTerminal.h"

#include "console/ConsoleModel.h"

#include <QTest>

namespace {
enum class Request { CommandLine, UploadLine, Read };
} // namespace
Q_DECLARE_METATYPE(Request)

class TestSilence : public QObject {
    Q_OBJECT
private slots:
    void toldOnceWhenNoReplyCame_data();
    void toldOnceWhenNoReplyCame();
    void windowTellsOnBothLinks_data();
    void windowTellsOnBothLinks();
};

void TestSilence::toldOnceWhenNoReplyCame_data() {
    QTest::addColumn<Request>("request");
    QTest::addColumn<bool>("replied");
    QTest::addColumn<bool>("udp");
    QTest::addColumn<QString>("notice"); // what is told after 2 s of silence

    const QString udp = QStringLiteral("no reply from 127.0.0.1:111 for 2 s");
    const QString upload = QStringLiteral("; upload line 1 waits for its answer: \">>\" sends "
                                          "the next line, \"X\" stops the upload");
    const QString read = QStringLiteral("; flash-disk piece 1 (READ) waits for its answer: "
                                        "\"X\" ends the transfer");
    QTest::newRow("command line, silent") << Request::CommandLine << false << true << udp;
    QTest::newRow("command line, answered") << Request::CommandLine << true << true << QString();
    QTest::newRow("command line on serial") << Request::CommandLine << false << false
                                            << QStringLiteral("no reply from /dev/ttyUSB0 for 2 s");
    QTest::newRow("upload line, silent") << Request::UploadLine << false << true << udp + upload;
    QTest::newRow("upload line, answered") << Request::UploadLine << true << true << QString();
    QTest::newRow("READ, silent") << Request::Read << false << true << udp + read;
    QTest::newRow("READ, answered") << Request::Read << true << true << QString();
}

void TestSilence::toldOnceWhenNoReplyCame() {
    QFETCH(Request, request);
    QFETCH(bool, replied);
    QFETCH(bool, udp);
    QFETCH(QString, notice);
    SimulatedTerminal t;
    t.udp = udp;
    qint64 now = 0;
    t.transfers.replyWatch().setClock([&now] { return now; });
    t.transfers.replyWatch().setLimitMs(2000);
    if (request == Request::Read)
        t.sendFile("F.BIN", QByteArray(50, 'x'));

    t.dropEvery = replied ? 0 : 1; // every answer from here on is lost, or none
    switch (request) {
    case Request::CommandLine:
        t.transfers.commandLineSent("PRINT 1");
        if (replied)
            t.receive("1\r\n");
        break;
    case Request::UploadLine:
        t.upload("10 A\n20 B\n");
        break;
    case Request::Read:
        t.dropEvery = 0;
        t.receiveFile("F.BIN");
        t.dropEvery = replied ? 0 : 1; // FOPEN's OK comes, READ's answer does not
        t.run();
        break;
    }
    const qsizetype sentBefore = t.sent.size();
    now += 1999;
    t.transfers.replyWatch().check();
    QVERIFY(t.notices.isEmpty());
    now += 1;
    t.transfers.replyWatch().check();
    now += 60000;
    t.transfers.replyWatch().check();
    QCOMPARE(t.notices, notice.isEmpty() ? QStringList() : QStringList{notice});
    QCOMPARE(t.sent.size(), sentBefore); // nothing was sent again
}

void TestSilence::windowTellsOnBothLinks_data() {
    addLinks();
    QTest::newRow("udp") << Link::Udp;
    QTest::newRow("serial") << Link::Serial;
}

void TestSilence::windowTellsOnBothLinks() {
    QFETCH(Link, link);
    BoardWindow b;
    board::BoardOptions lossy;
    lossy.dropEvery = 1;
    QVERIFY(b.start(link, lossy));
    b.w.transfers().replyWatch().setLimitMs(100);
    typeLine(b.w.commandEdit, QStringLiteral("PRINT 1"));
    const QString name = link == Link::Udp ? b.w.link().boardAddress() : b.board->ptyPath();
    const QByteArray told = "no reply from " + name.toLatin1() + " for 100 ms";
    QTRY_VERIFY_WITH_TIMEOUT(b.w.console().text().contains(told), 10000);
    QCOMPARE(b.w.console().text().count(told), 1);
}

QTEST_MAIN(TestSilence)
#include "tst_silence.moc"
