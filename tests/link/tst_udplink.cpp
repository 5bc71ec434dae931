// The UDP link through the real window: what typed lines put on the wire, what received
// datagrams leave in the console and the log, and how Connect and Disconnect fail and switch.
#include "TestSupport.h"
#include "UdpPeer.h"

#include "app/TerminalState.h"
#include "console/ConsoleModel.h"
#include "console/ConsoleView.h"
#include "link/UdpLink.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

class TestUdpLink : public QObject {
    Q_OBJECT
private slots:
    void typedLineOnTheWire_data();
    void typedLineOnTheWire();
    void udpSendResult_data();
    void udpSendResult();
    void receivedDatagram_data();
    void receivedDatagram();
    void connectFailsQuietly_data();
    void connectFailsQuietly();
    void connectAndDisconnectSwitchPanels();
};

void TestUdpLink::typedLineOnTheWire_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("gatewayAddress"); // empty: gateway mode off
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QByteArray>("logged");

    QTest::newRow("plain") << "LIST"
                           << "" << QByteArray("LIST\r\n") << QByteArray("LIST\r\n");
    QTest::newRow("gateway 16") << "LIST"
                                << "16" << QByteArray("MDC 16,LIST\r\n") << QByteArray("LIST\r\n");
    QTest::newRow("gateway 016") << "LIST"
                                 << "016" << QByteArray("MDC 016,LIST\r\n")
                                 << QByteArray("LIST\r\n");
    QTest::newRow("empty line") << ""
                                << "" << QByteArray("\r\n") << QByteArray("\r\n");
    QTest::newRow("trailing spaces")
        << "PRINT 1   "
        << "" << QByteArray("PRINT 1\r\n") << QByteArray("PRINT 1\r\n");
    // Windows-1251: П Р И В Е Т
    QTest::newRow("cyrillic") << QString::fromUtf8("ПРИВЕТ") << ""
                              << QByteArray("\xCF\xD0\xC8\xC2\xC5\xD2\r\n")
                              << QByteArray("\xCF\xD0\xC8\xC2\xC5\xD2\r\n");
}

void TestUdpLink::typedLineOnTheWire() {
    QFETCH(QString, typed);
    QFETCH(QString, gatewayAddress);
    QFETCH(QByteArray, wire);
    QFETCH(QByteArray, logged);
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    if (!gatewayAddress.isEmpty()) {
        w.Text4->setText(gatewayAddress);
        w.Check2->setChecked(true);
    }
    const qsizetype logBefore = readFile(QStringLiteral("Terminal.log")).size();
    const QByteArray consoleBefore = w.console().text();

    if (typed.toLatin1() == typed.toUtf8())
        QTest::keyClicks(w.tbSendData, typed);
    else
        typeLine(w.tbSendData, typed, false);
    QTest::keyClick(w.tbSendData, Qt::Key_Return);

    QByteArray got;
    QVERIFY(board.receive(&got));
    QCOMPARE(got, wire);
    QVERIFY(!board.receive(&got, 50)); // one datagram per line
    QCOMPARE(readFile(QStringLiteral("Terminal.log")).mid(logBefore), logged);
    // The echo on a fresh line, then the line end that makes room for the reply.
    const QByteArray line = logged.chopped(2);
    QCOMPARE(w.console().text(), consoleBefore + "\r\n" + line + "\r\n");
    QVERIFY(w.tbSendData->text().isEmpty());
    QCOMPARE(w.focusWidget(), w.tbSendData);
    QVERIFY(dialogs.errors.isEmpty());
}

void TestUdpLink::udpSendResult_data() {
    QTest::addColumn<int>("linkState"); // 0 never connected, 1 up, 2 up then down
    QTest::addColumn<bool>("gateway");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("after"); // the caller's variable afterwards

    QTest::newRow("before connect")
        << 0 << false << QByteArray("LIST\r\n") << 0 << QByteArray("LIST\r\n");
    QTest::newRow("after disconnect")
        << 2 << false << QByteArray("LIST\r\n") << 0 << QByteArray("LIST\r\n");
    QTest::newRow("plain") << 1 << false << QByteArray("LIST\r\n") << 6 << QByteArray("LIST\r\n");
    QTest::newRow("wrapped back into the caller")
        << 1 << true << QByteArray("LIST\r\n") << 13 << QByteArray("MDC 16,LIST\r\n");
    QTest::newRow("too short to wrap") << 1 << true << QByteArray("X") << 0 << QByteArray("X");
}

void TestUdpLink::udpSendResult() {
    QFETCH(int, linkState);
    QFETCH(bool, gateway);
    QFETCH(QByteArray, text);
    QFETCH(int, result);
    QFETCH(QByteArray, after);
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    UdpPeer board;
    if (linkState > 0)
        QVERIFY(connectWindow(w, board.port()));
    if (linkState > 1)
        w.Command1->click();
    w.Text4->setText(QStringLiteral("16"));
    w.Check2->setChecked(gateway);

    QCOMPARE(w.udpLink().UDP_Send(text), result);
    QCOMPARE(text, after);
    QByteArray got;
    QCOMPARE(board.receive(&got, 200), result > 0);
    if (result > 0)
        QCOMPARE(got, after);
}

void TestUdpLink::receivedDatagram_data() {
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("shown"); // expected end of the widget's text; null: not checked

    QTest::newRow("reply") << QByteArray("10 PRINT 1\r\nOK\r\n")
                           << QStringLiteral("10 PRINT 1\nOK\n\nEND\n");
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    QTest::newRow("bytes 00..FF") << all << QString();
    QTest::newRow("empty") << QByteArray() << QStringLiteral("\nEND\n");
    QByteArray largest(65507, Qt::Uninitialized);
    for (int i = 0; i < largest.size(); ++i)
        largest[i] = char('A' + i % 26);
    QTest::newRow("65507 bytes") << largest << QString();
}

void TestUdpLink::receivedDatagram() {
    QFETCH(QByteArray, payload);
    QFETCH(QString, shown);
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    const QByteArray marker("\r\nEND\r\n"); // proves the link still reads after the payload
    QVERIFY(board.sendTo(w, payload));
    QVERIFY(board.sendTo(w, marker));

    // Nothing is cut while the console holds less than 48000 bytes before a chunk.
    const QByteArray console = (payload.size() > 48000 ? payload.right(32768) : payload) + marker;
    QTRY_COMPARE(w.console().text(), console);
    QVERIFY(readFile(QStringLiteral("Terminal.log")).endsWith(payload + marker));
    QCOMPARE(w.state().RxData, marker);
    QVERIFY(w.YesConnect->isVisibleTo(&w));
    QVERIFY(dialogs.errors.isEmpty());
    if (!shown.isNull()) {
        w.consoleView().sync();
        QVERIFY2(w.tbReceiveData->toPlainText().endsWith(shown),
                 qPrintable(w.tbReceiveData->toPlainText()));
    }
}

void TestUdpLink::connectFailsQuietly_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("remotePort");
    QTest::addColumn<int>("occupy"); // local port: 0 free, 1 held by a shared bind, 2 exclusive

    QTest::newRow("remote port not a number") << "127.0.0.1"
                                              << "1x1" << 0;
    QTest::newRow("remote port out of range") << "127.0.0.1"
                                              << "70000" << 0;
    QTest::newRow("host not an address") << "board one"
                                         << "111" << 0;
    QTest::newRow("local port in use, shared bind") << "127.0.0.1"
                                                    << "111" << 1;
    QTest::newRow("local port in use, exclusive bind") << "127.0.0.1"
                                                       << "111" << 2;
}

void TestUdpLink::connectFailsQuietly() {
    QFETCH(QString, host);
    QFETCH(QString, remotePort);
    QFETCH(int, occupy);
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QUdpSocket holder;
    quint16 local = freeUdpPort();
    if (occupy > 0) {
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0,
                            occupy == 1 ? QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint
                                        : QUdpSocket::DontShareAddress));
        local = holder.localPort();
    }
    w.ComboRemoteIP->setEditText(host);
    w.tbRemotePort->setText(remotePort);
    w.tbLocalPort->setText(QString::number(local));
    w.cbBind->click();

    QVERIFY(w.cbBind->isEnabled());
    QVERIFY(w.NoConnect->isVisibleTo(&w));
    QVERIFY(!w.YesConnect->isVisibleTo(&w));
    QVERIFY(!w.Frame6->isEnabled());
    QVERIFY(!w.Frame2->isEnabled());
    QVERIFY(dialogs.errors.isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
    QByteArray line("LIST\r\n");
    QCOMPARE(w.udpLink().UDP_Send(line), 0);
}

void TestUdpLink::connectAndDisconnectSwitchPanels() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    UdpPeer board;
    const auto linkShown = [&w](bool up) {
        return w.YesConnect->isVisibleTo(&w) == up && w.NoConnect->isVisibleTo(&w) == !up &&
               w.cbBind->isEnabled() == !up && w.Frame6->isEnabled() == up &&
               w.Frame2->isEnabled() == up;
    };
    QVERIFY(linkShown(false));
    QVERIFY(!w.tbSendData->text().isEmpty()); // the hint text until Connect

    const quint16 local = freeUdpPort();
    QVERIFY(connectWindow(w, board.port(), local));
    QVERIFY(linkShown(true));
    QVERIFY(w.tbSendData->text().isEmpty());
    QCOMPARE(w.focusWidget(), w.tbSendData);

    w.tbSendData->setText(QStringLiteral("half typed"));
    w.Command1->click();
    QVERIFY(linkShown(false));
    QVERIFY(w.tbSendData->text().isEmpty());
    // Sent to the closed port: must not show up once the port is bound again.
    QVERIFY(board.sendToPort(local, "late"));

    // The port is free again after Disconnect.
    QVERIFY(connectWindow(w, board.port(), local));
    QVERIFY(linkShown(true));
    QVERIFY(board.sendTo(w, "again"));
    QTRY_VERIFY(w.console().text().endsWith("again"));
    QVERIFY(!w.console().text().contains("late"));
}

QTEST_MAIN(TestUdpLink)
#include "tst_udplink.moc"
