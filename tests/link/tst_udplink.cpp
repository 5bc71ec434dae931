// The UDP link through the real window: wire, console, log, Connect, Disconnect and host list.
#include "UdpPeer.h"

#include "console/ConsoleModel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <tuple>

namespace {
// The panels and buttons agree on whether the link is up.
bool linkShown(const TerminalWindow& w, bool up) {
    return w.connectedMark->isVisibleTo(&w) == up && w.disconnectedMark->isVisibleTo(&w) == !up &&
           w.connectButton->isEnabled() == !up && w.ethGatewayFrame->isEnabled() == up &&
           w.flashDiskFrame->isEnabled() == up;
}
// A line sent over UDP as the transfers send it: the characters sent, 0 when nothing went out.
int udpSend(TerminalWindow& w, QByteArray& text) {
    const Expected<qint64> sent = w.link().sendUdp(text);
    return sent ? int(*sent) : 0;
}
} // namespace

class TestUdpLink : public QObject {
    Q_OBJECT
private slots:
    void boardPort_data();
    void boardPort();
    void connectReceiveDisconnect();
    void hostsEditSaveAndRestart();
};

// Where the lines go and whose replies are the board's: the port a host entry names wins over
// the Remote-Port box and is shown there; a port typed while connected takes the next line.
void TestUdpLink::boardPort_data() {
    QTest::addColumn<bool>("retyped"); // the box names a second board while connected
    QTest::newRow("port in the entry") << false;
    QTest::newRow("port retyped while connected") << true;
}

void TestUdpLink::boardPort() {
    QFETCH(bool, retyped);
    Terminal w;
    UdpPeer first, second;
    const QString firstPort = QString::number(first.port());
    const QString entry = "127.0.0.1:" + firstPort;
    w.hostCombo->setEditText(entry);
    w.remotePortEdit->setText(QStringLiteral("111"));
    w.localPortEdit->setText(QStringLiteral("0"));
    w.connectButton->click();
    QVERIFY(linkShown(w, true));
    QCOMPARE(w.remotePortEdit->text(), firstPort);
    UdpPeer& board = retyped ? second : first;
    UdpPeer& stranger = retyped ? first : second;
    if (retyped)
        w.remotePortEdit->setText(QString::number(second.port()));
    QMap<QByteArray, QString> senders;
    connect(&w.link(), &BoardLink::boardText, this,
            [&](const QByteArray& text, const QString& other) { senders.insert(text, other); });

    typeLine(w.commandEdit, QStringLiteral("LIST"));
    QCOMPARE(board.next(), QByteArray("LIST\r\n"));
    QVERIFY(board.sendTo(w, "OK\r\n") && stranger.sendTo(w, "stray\r\n"));
    WAIT_COMPARE(senders.size(), 2);
    QCOMPARE(senders.value("OK\r\n"), QString());
    QCOMPARE(senders.value("stray\r\n"), QStringLiteral("127.0.0.1:%1").arg(stranger.port()));
    QCOMPARE(w.hostCombo->currentText(), entry); // kept as typed
}

// Connect fails quietly on bad input; Connect and Disconnect switch the panels. Bursts beyond one
// read slice reach log and console once, in order; so do every byte value, an empty datagram and
// the largest one, each with a marker after it. Then typed and transfer lines go out.
void TestUdpLink::connectReceiveDisconnect() {
    Terminal w;
    UdpPeer board;
    QVERIFY(linkShown(w, false));
    QVERIFY(!w.commandEdit->text().isEmpty()); // the hint text until Connect
    // Local port held by: 0 nobody, 1 a shared bind, 2 an exclusive one.
    const QString lo = QStringLiteral("127.0.0.1");
    const QList<std::tuple<QString, int, QString>> failing{
        {lo, 0, "1x1"}, {lo, 0, "70000"}, {"board one", 0, "111"}, {lo, 1, "111"}, {lo, 2, "111"}};
    for (const auto& [host, occupy, remotePort] : failing) {
        QUdpSocket holder;
        if (occupy > 0)
            QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0,
                                occupy == 1
                                    ? QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint
                                    : QUdpSocket::DontShareAddress));
        w.hostCombo->setEditText(host);
        w.remotePortEdit->setText(remotePort);
        w.localPortEdit->setText(QString::number(holder.localPort()));
        w.connectButton->click();
        QVERIFY(linkShown(w, false));
        QVERIFY(w.dialogs().errors.isEmpty() && w.dialogs().messages.isEmpty());
        QByteArray line("LIST\r\n");
        QCOMPARE(udpSend(w, line), 0);
    }
    QVERIFY(connectWindow(w, board.port()));
    QVERIFY(linkShown(w, true));
    QVERIFY(w.commandEdit->text().isEmpty());
    QCOMPARE(w.focusWidget(), w.commandEdit);
    const qsizetype logBefore = w.logged().size();
    constexpr int perBurst = 300; // within the smallest default receive buffer
    QByteArray expected;
    for (int b = 0; b < 12; ++b) {
        for (int i = 0; i < perBurst; ++i) {
            const QByteArray datagram = QByteArray::number(b * perBurst + i) + ';';
            expected += datagram;
            QVERIFY(board.sendTo(w, datagram));
        }
        WAIT_COMPARE(w.console().size(), expected.size());
    }
    for (const QByteArray& payload :
         {allBytes(), QByteArray(), allBytes().repeated(256).left(65507)}) {
        QVERIFY(board.sendTo(w, payload) && board.sendTo(w, "\r\nEND\r\n"));
        expected += payload + "\r\nEND\r\n";
        // Nothing is cut while the console holds less than 48000 bytes before a chunk.
        WAIT_COMPARE(w.console().text(),
                     expected.size() > 48000 ? payload.right(32768) + "\r\nEND\r\n" : expected);
    }
    QCOMPARE(w.logged().mid(logBefore), expected);
    QVERIFY(w.dialogs().errors.isEmpty());

    // Typed, the datagram, the gateway address (empty: gateway mode off).
    const QList<std::tuple<QString, QByteArray, QString>> rows{
        {"LIST", "LIST\r\n", ""},
        {"LIST", "MDC 16,LIST\r\n", "16"},
        {"LIST", "MDC 016,LIST\r\n", "016"},
        {QString::fromUtf8("ПРИВЕТ"), "\xCF\xD0\xC8\xC2\xC5\xD2\r\n", ""}}; // Windows-1251
    for (const auto& [typed, wire, gatewayAddress] : rows) {
        w.ethAddressEdit->setText(gatewayAddress);
        w.ethGatewayCheck->setChecked(!gatewayAddress.isEmpty());
        const qsizetype logAt = w.logged().size();
        const QByteArray consoleBefore = w.console().text();
        typeLine(w.commandEdit, typed);
        QCOMPARE(board.next(), wire);
        // The log and the echo (on a fresh line) leave out the gateway prefix.
        const QByteArray line = wire.mid(wire.indexOf(',') + 1);
        QCOMPARE(w.logged().mid(logAt), line);
        QCOMPARE(w.console().text(), consoleBefore + "\r\n" + line);
        QVERIFY(w.commandEdit->text().isEmpty() && w.dialogs().errors.isEmpty());

        const QByteArray prefix = wire.left(wire.indexOf(',') + 1);
        QByteArray text("X"); // too short to wrap: nothing goes out
        QCOMPARE(udpSend(w, text), prefix.isEmpty() ? 1 : 0);
        QCOMPARE(text, QByteArray("X"));
        text = "END\r\n"; // one datagram per line: this one is next
        QCOMPARE(udpSend(w, text), int(prefix.size()) + 5);
        QCOMPARE(text, prefix + "END\r\n");
        if (prefix.isEmpty())
            QCOMPARE(board.next(), QByteArray("X"));
        QCOMPARE(board.next(), text);
    }

    const quint16 local = w.link().localPort();
    w.commandEdit->setText(QStringLiteral("half typed"));
    w.disconnectButton->click();
    QVERIFY(linkShown(w, false));
    QVERIFY(w.commandEdit->text().isEmpty());
    QByteArray line("LIST\r\n");
    QCOMPARE(udpSend(w, line), 0);
    // Sent to the closed port: must not show up once the port, free again, is bound again.
    QVERIFY(board.sendToPort(local, "late"));
    QVERIFY(connectWindow(w, board.port(), local));
    QVERIFY(board.sendTo(w, "again"));
    WAIT_VERIFY(w.console().text().endsWith("again"));
    QVERIFY(!w.console().text().contains("late"));
}

void TestUdpLink::hostsEditSaveAndRestart() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    const QStringList saved{"10.0.0.2", "10.0.0.1", "10.0.0.2"}; // in order, duplicates kept
    {
        TerminalWindow w(&dialogs);
        const QStringList start = hostEntries(w); // no terminal.ini: the built-in address
        for (const QString& host : QStringList{QString()} + saved) { // an empty text is no host
            w.hostCombo->setEditText(host);
            w.addHostButton->click();
        }
        QCOMPARE(hostEntries(w), start + saved);
        QCOMPARE(w.focusWidget(), w.commandEdit);
        w.hostCombo->setCurrentIndex(0);
        w.deleteHostButton->click();
        // A typed text that is no entry selects nothing, so nothing is removed.
        w.hostCombo->setEditText(QStringLiteral("10.9.9.9"));
        w.deleteHostButton->click();
        QCOMPARE(hostEntries(w), saved);
        w.saveHostsButton->click();
    }
    QCOMPARE(readFile(QStringLiteral("terminal.ini")),
             QByteArray("10.0.0.2\r\n10.0.0.1\r\n10.0.0.2\r\n"));
    TerminalWindow again(&dialogs);
    QCOMPARE(hostEntries(again), saved);
    QVERIFY(dialogs.errors.isEmpty());
    // A save that fails is told.
    QVERIFY(QFile::remove(QStringLiteral("terminal.ini")) && QDir().mkdir("terminal.ini"));
    again.saveHostsButton->click();
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY(dialogs.errors.first().number > 0 && !dialogs.errors.first().description.isEmpty());
}

QTEST_MAIN(TestUdpLink)
#include "tst_udplink.moc"
