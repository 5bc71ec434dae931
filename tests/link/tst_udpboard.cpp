// The window against the board simulator over loopback UDP: typed lines reach the board's
// interpreter and its replies come back into the console and the log.
#include "UdpPeer.h"

#include "board/BoardSimulator.h"
#include "console/ConsoleModel.h"

#include <QCheckBox>

class TestUdpBoard : public QObject {
    Q_OBJECT
private slots:
    void exchange();
};

void TestUdpBoard::exchange() {
    Terminal w;
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator board(options);
    QString why;
    QVERIFY2(board.start(&why), qPrintable(why));
    QVERIFY(connectWindow(w, board.udpPort()));

    typeLine(w.tbSendData, QStringLiteral("10 PRINT 1"));
    QTRY_VERIFY(w.console().text().endsWith("\r\n10 PRINT 1\r\nOK\r\n"));
    typeLine(w.tbSendData, QStringLiteral("LIST"));
    QTRY_VERIFY(w.console().text().endsWith("\r\nLIST\r\n10 PRINT 1\r\nOK\r\n"));
    w.Check2->setChecked(true); // through the MDC gateway
    typeLine(w.tbSendData, QStringLiteral("PRINT 42"));
    QTRY_VERIFY(w.console().text().endsWith("\r\nPRINT 42\r\n42\r\nOK\r\n"));
    // The log holds each sent line followed by the reply exactly as received.
    QVERIFY(readFile(QStringLiteral("Terminal.log"))
                .endsWith("LIST\r\n10 PRINT 1\r\nOK\r\nPRINT 42\r\n42\r\nOK\r\n"));
}

QTEST_MAIN(TestUdpBoard)
#include "tst_udpboard.moc"
