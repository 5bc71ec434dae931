// The MODBUS panels in the window: what their controls put on the wire over UDP and a
// pseudo-terminal, what received chunks leave in the hex monitor and the reply parser, and the
// gateway set-up commands.
#include "TestSupport.h"
#include "console/ConsoleModel.h"
#include "link/PtyPair.h"
#include "link/UdpPeer.h"
#include "modbus/HexMonitor.h"
#include "modbus/HexText.h"
#include "modbus/ModbusBuilderPanel.h"
#include "modbus/ModbusParserPanel.h"
#include "modbus/ModbusRequest.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>

Q_DECLARE_METATYPE(ModbusRequestFields)

namespace {

constexpr int Patience = 20000; // ms; a ceiling for a loaded machine, never a pause

ModbusRequestFields request(const char* address, const char* function, const char* param,
                            const char* qty) {
    ModbusRequestFields f;
    f.deviceAddress = address;
    f.function = function;
    f.dataAddress = param;
    f.quantity = qty;
    return f;
}

// Typed and ticked into the builder's controls, as the operator would.
void fill(TerminalWindow& w, const ModbusRequestFields& f) {
    w.deviceAddressEdit->setText(f.deviceAddress);
    w.functionEdit->setText(f.function);
    w.dataAddressEdit->setText(f.dataAddress);
    w.dataAddressHexCheck->setChecked(f.dataAddressIsHex);
    w.dataAddressCheck->setChecked(f.withDataAddress);
    w.quantityEdit->setText(f.quantity);
    w.quantityHexCheck->setChecked(f.quantityIsHex);
    w.quantityCheck->setChecked(f.withQuantity);
    w.dataBlockCheck->setChecked(f.withDataBlock);
    w.dataBlockEdit->setText(f.dataBlock);
    (f.dataBlockIsHex ? w.dataHexOption : w.dataAsciiOption)->setChecked(true);
    w.crcCheck->setChecked(f.withCrc);
    w.crlfCheck->setChecked(f.withCrLf);
}

// Sent after a step that must put nothing (more) on the wire: the next bytes must be these.
const QByteArray Marker = QByteArray::fromHex("01 03 00 00 00 01 84 0A");
void sendMarker(TerminalWindow& w) {
    fill(w, request("01", "03", "0000", "0001"));
    w.sendFrameButton->click();
}

bool openSerial(TerminalWindow& w, const PtyPair& pty) {
    w.portEdit->setText(pty.slavePath());
    w.openPortButton->click();
    return w.link().serialOpen();
}

QString shown(const QByteArray& boxText) {
    return QString::fromLatin1(boxText).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

class TestModbusPanels : public QObject {
    Q_OBJECT
private slots:
    void builderSendsFrame_data();
    void builderSendsFrame();
    void monitorAndParser();
    void ethernetGatewayClosesFlashDisk();
    void initPort();
};

// The gateway modes are on in every row: they wrap command lines, never a built frame. The
// marker frame after each proves the UDP path too.
void TestModbusPanels::builderSendsFrame_data() {
    QTest::addColumn<bool>("serial");
    QTest::addColumn<ModbusRequestFields>("fields");
    QTest::addColumn<QByteArray>("frame"); // empty: refused, nothing sent

    ModbusRequestFields hello = request("10", "43", "", "");
    hello.withDataAddress = hello.withQuantity = false;
    hello.withDataBlock = true;
    hello.dataBlockIsHex = false;
    hello.dataBlock = "hello";
    ModbusRequestFields decimal = request("10", "3", "300", "");
    decimal.dataAddressIsHex = false;
    decimal.withCrLf = true;
    ModbusRequestFields odd = request("0A", "10", "0000", "0001");
    odd.withDataBlock = true;
    odd.dataBlock = "010";
    QTest::newRow("serial, text to 0x10")
        << true << hello << QByteArray::fromHex("10 43 05 68 65 6C 6C 6F E1 A2");
    QTest::newRow("serial, decimal 300")
        << true << decimal << QByteArray::fromHex("10 03 01 2C 00 00 86 BE 0D 0A");
    QTest::newRow("udp, odd hex data refused") << false << odd << QByteArray();
}

void TestModbusPanels::builderSendsFrame() {
    QFETCH(bool, serial);
    QFETCH(ModbusRequestFields, fields);
    QFETCH(QByteArray, frame);

    Terminal w;
    UdpPeer board;
    PtyPair pty;
    QVERIFY(serial ? openSerial(w, pty) : connectWindow(w, board.port()));
    w.ethGatewayCheck->setChecked(true);
    w.rtuGatewayCheck->setChecked(true);
    fill(w, fields);
    w.sendFrameButton->click();
    QCOMPARE(w.state().replyAwaited, qint16(frame.isEmpty() ? 0 : 1));
    if (frame.isEmpty())
        QVERIFY(w.dialogs().messages.size() == 1 &&
                w.dialogs().messages.first().endsWith(QLatin1String("|Invalid DATA")));
    else
        QVERIFY(w.dialogs().messages.isEmpty());

    sendMarker(w);
    const QByteArray all = frame + Marker;
    QByteArray wire = serial ? pty.receive(all.size(), Patience) : QByteArray();
    for (QByteArray datagram; !serial && wire.size() < all.size();) {
        QVERIFY(board.receive(&datagram, Patience));
        wire += datagram;
    }
    QCOMPARE(wire.toHex(' '), all.toHex(' '));
    const QByteArray log = (frame.isEmpty() ? QByteArray() : HexText::logEntry(frame));
    WAIT_COMPARE(w.sentFramesEdit->toPlainText(), shown(log + HexText::logEntry(Marker)));

    w.clearFramesButton->click();
    WAIT_COMPARE(w.sentFramesEdit->toPlainText(), QString());
}

// Chunks pass the monitor and the parser unless the monitor is ticked, and reach the console
// either way; the parser gives a request's reply time to the first reply it reads only.
void TestModbusPanels::monitorAndParser() {
    const QByteArray reply = QByteArray::fromHex("0A 03 04 00 01 00 02 90 F2");
    Terminal w;
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    fill(w, request("0A", "03", "0000", "0002"));
    w.sendFrameButton->click();
    QByteArray wire;
    QVERIFY(board.receive(&wire, Patience));
    w.parserEnableCheck->setChecked(true);
    QVERIFY(board.sendTo(w, "OK\r\n"));
    WAIT_VERIFY(w.console().text().endsWith("OK\r\n"));
    QCOMPARE(w.hexMonitor().model().size() + w.modbusParser().model().size(), 0);

    // The operator clicked into the box; the next chunk brings the caret back to the end.
    w.parserEnableCheck->setChecked(false);
    w.hexEnableCheck->setChecked(true);
    QVERIFY(board.sendTo(w, reply));
    WAIT_VERIFY(w.console().text().endsWith(reply));
    w.hexMonitor().view().sync();
    w.hexEdit->moveCursor(QTextCursor::Start);
    QVERIFY(board.sendTo(w, QByteArray::fromHex("00FF")));
    WAIT_VERIFY(w.console().text().endsWith(QByteArray::fromHex("00FF")));
    w.hexMonitor().view().sync();
    const QString expected = QStringLiteral("0A 03 04 00 01 00 02 90 F2 \n\n00 FF \n\n");
    QCOMPARE(w.hexEdit->toPlainText(), expected);
    QCOMPARE(w.hexEdit->textCursor().position(), expected.size());
    QCOMPARE(w.modbusParser().model().size(), 0);
    QCOMPARE(w.state().replyAwaited, qint16(1)); // no parser, so the request is still pending

    w.parserEnableCheck->setChecked(true);
    QVERIFY(board.sendTo(w, reply));
    QVERIFY(board.sendTo(w, reply));
    WAIT_COMPARE(w.modbusParser().model().text().count("CRC = 90F2  Good"), qsizetype(2));
    const QByteArray text = w.modbusParser().model().text();
    QVERIFY2(text.startsWith("Time reply = ") && text.count("Time reply") == 1, text.constData());
    WAIT_COMPARE(w.parserEdit->toPlainText(), shown(text));

    w.clearParserButton->click();
    w.clearHexButton->click();
    WAIT_COMPARE(w.parserEdit->toPlainText() + w.hexEdit->toPlainText(), QString());

    // The largest datagram overflows the monitor at once: it keeps the hex limits' tail.
    const QByteArray big(65507, '\xA5');
    QVERIFY(board.sendTo(w, big));
    WAIT_COMPARE(w.hexMonitor().model().text(),
                 HexText::logEntry(big).right(BoundedText::HexTrimTo));
}

void TestModbusPanels::ethernetGatewayClosesFlashDisk() {
    Terminal w;
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    QVERIFY(w.flashDiskFrame->isEnabled());

    w.deviceAddressEdit->setFocus();
    w.ethGatewayCheck->click();
    QVERIFY(!w.flashDiskFrame->isEnabled());
    QCOMPARE(w.focusWidget(), w.commandEdit);

    // The set-up command is meant for the intermediary board: plain, though the mode is on.
    w.deviceAddressEdit->setFocus();
    w.initEthPortButton->click();
    QByteArray wire;
    QVERIFY(board.receive(&wire, Patience));
    QCOMPARE(wire, QByteArray("UART 2,7\r\n"));
    QCOMPARE(w.focusWidget(), w.commandEdit);

    // Reconnecting with the mode still on keeps "Flash disk" closed.
    w.disconnectButton->click();
    QVERIFY(connectWindow(w, board.port()));
    QVERIFY(w.ethGatewayFrame->isEnabled());
    QVERIFY(!w.flashDiskFrame->isEnabled());
    w.ethGatewayCheck->click();
    QVERIFY(w.flashDiskFrame->isEnabled());
}

// The USB controller's set-up goes out only in the via-USB mode, and then plain even with RTU
// framing on.
void TestModbusPanels::initPort() {
    Terminal w;
    PtyPair pty;
    QVERIFY(openSerial(w, pty));
    w.rtuGatewayCheck->setChecked(true);
    w.viaUsbCheck->setChecked(true);
    w.deviceAddressEdit->setFocus();
    w.initUsbPortButton->click();
    QCOMPARE(w.focusWidget(), w.deviceAddressEdit);
    w.viaUsbCheck->setChecked(false);
    w.initUsbPortButton->click();
    sendMarker(w);
    const QByteArray expected = "UART 2,7\r\n" + Marker;
    QCOMPARE(pty.receive(expected.size(), Patience).toHex(' '), expected.toHex(' '));
}

QTEST_MAIN(TestModbusPanels)
#include "tst_modbuspanels.moc"
