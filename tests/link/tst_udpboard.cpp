// The window against the board simulator over loopback UDP: typed lines reach the board's
// interpreter and its replies come back into the console and the log.
#include "TestSupport.h"
#include "UdpPeer.h"

#include "board/BoardSimulator.h"
#include "console/ConsoleModel.h"

#include <QCheckBox>

class TestUdpBoard : public QObject {
    Q_OBJECT
private slots:
    void exchange_data();
    void exchange();
};

void TestUdpBoard::exchange_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("gateway");
    QTest::addColumn<QByteArray>("consoleEnd");

    QTest::newRow("store and list a program") << QStringList{"10 PRINT 1", "LIST"} << false
                                              << QByteArray("\r\nLIST\r\n10 PRINT 1\r\nOK\r\n");
    QTest::newRow("through the MDC gateway")
        << QStringList{"PRINT 42"} << true << QByteArray("\r\nPRINT 42\r\n42\r\nOK\r\n");
    QTest::newRow("unknown command")
        << QStringList{"FROB"} << false << QByteArray("\r\nFROB\r\nERROR\r\n");
}

void TestUdpBoard::exchange() {
    QFETCH(QStringList, lines);
    QFETCH(bool, gateway);
    QFETCH(QByteArray, consoleEnd);
    WorkDir dir;
    ScriptedDialogs dialogs;
    board::BoardOptions options;
    options.udpPort = 0;
    options.ptyEnabled = false;
    board::BoardSimulator board(options);
    QString why;
    QVERIFY2(board.start(&why), qPrintable(why));
    UDP w(&dialogs);
    QVERIFY(connectWindow(w, board.udpPort()));
    w.Check2->setChecked(gateway);

    for (const QString& line : lines) {
        QTest::keyClicks(w.tbSendData, line);
        QTest::keyClick(w.tbSendData, Qt::Key_Return);
        QTRY_VERIFY(w.console().text().endsWith("OK\r\n") ||
                    w.console().text().endsWith("ERROR\r\n"));
    }
    QCOMPARE(w.console().text().right(consoleEnd.size()), consoleEnd);
    // The log holds the sent line followed by the reply exactly as received.
    const QByteArray log = readFile(QStringLiteral("Terminal.log"));
    QCOMPARE(log.right(consoleEnd.size() - 2), consoleEnd.mid(2));
    QVERIFY(dialogs.errors.isEmpty());
}

QTEST_MAIN(TestUdpBoard)
#include "tst_udpboard.moc"
