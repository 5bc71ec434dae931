#include "link/Gateway.h"
#include "modbus/Crc16.h"

#include <QTest>

namespace {

QByteArray frame(int address, const QByteArray& payload) {
    return consoleTextFrame(address, payload).value_or(QByteArray());
}

// "OK" CR LF to address 16, as the board sends it.
const QByteArray okFrame = QByteArray::fromHex("1043044F4B0D0A17A7");
const QByteArray listFrame = QByteArray::fromHex("1043064C4953540D0AE2D4");

} // namespace

class TestGateway : public QObject {
    Q_OBJECT
private slots:
    void mdc_data();
    void mdc();
    void address_data();
    void address();
    void frames_data();
    void frames();
    void cutter_data();
    void cutter();
};

void TestGateway::mdc_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("line"); // "-" for no line
    QTest::newRow("print") << QByteArray("PRINT 1\r\n") << QByteArray("16")
                           << QByteArray("MDC 16,PRINT 1\r\n");
    QTest::newRow("address as typed")
        << QByteArray("LIST\r\n") << QByteArray("016") << QByteArray("MDC 016,LIST\r\n");
    QTest::newRow("last two always cut")
        << QByteArray("ABC") << QByteArray("1") << QByteArray("MDC 1,A\r\n");
    QTest::newRow("one char") << QByteArray("\n") << QByteArray("16") << QByteArray("-");
}

void TestGateway::mdc() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, line);
    const std::optional<QByteArray> got = mdcLine(text, address);
    QCOMPARE(got.value_or("-"), line);
}

void TestGateway::address_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("address");
    QTest::newRow("16") << "16" << 16;
    QTest::newRow("rounds up") << "16.6" << 17;
    QTest::newRow("tie to even") << "16.5" << 16;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("trailing text") << "16abc" << 16;
    QTest::newRow("leading zero") << "016" << 16;
    QTest::newRow("minus") << "-1" << -1;
    QTest::newRow("above a byte") << "256" << 256;
    QTest::newRow("huge") << "99999999999999999999" << 1000000;
}

void TestGateway::address() {
    QFETCH(QString, text);
    QFETCH(int, address);
    QCOMPARE(rtuAddress(text), address);
}

void TestGateway::frames_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected"); // hex, "-" for no frame
    QTest::newRow("OK") << 16 << QByteArray("OK\r\n") << QByteArray("1043044F4B0D0A17A7");
    QTest::newRow("LIST") << 16 << QByteArray("LIST\r\n") << QByteArray("1043064C4953540D0AE2D4");
    QTest::newRow("address 0") << 0 << QByteArray("A") << QByteArray("004301413050");
    QTest::newRow("address 255") << 255 << QByteArray("A")
                                 << QByteArray("FF430141"
                                               "0044");
    QTest::newRow("address 256") << 256 << QByteArray("A") << QByteArray("-");
    QTest::newRow("256 chars") << 16 << QByteArray(256, 'x') << QByteArray("-");
}

void TestGateway::frames() {
    QFETCH(int, address);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);
    const std::optional<QByteArray> got = consoleTextFrame(address, payload);
    QCOMPARE(got ? got->toHex().toUpper() : QByteArray("-"), expected);
}

// Every chunk is one timer tick: RxData becomes the chunk, the chunk joins the buffer, and the
// cutter runs. Each tick is rendered as its actions ("C:" console text, "R:" routed payload)
// followed by "used" or "wait".
void TestGateway::cutter_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::addColumn<QByteArray>("bufferLeft");

    QTest::newRow("whole") << QByteArrayList{okFrame} << QByteArrayList{"R:OK\r\n", "used"}
                           << QByteArray();
    QTest::newRow("3 then 6") << QByteArrayList{okFrame.first(3), okFrame.sliced(3)}
                              << QByteArrayList{"wait", "R:OK\r\n", "used"} << QByteArray();

    QByteArrayList bytes;
    QByteArrayList byteTicks{"C:\r\nError CMD  >> \x10", "wait"};
    for (qsizetype i = 0; i < okFrame.size(); ++i) {
        bytes << okFrame.sliced(i, 1);
        if (i > 0 && i < okFrame.size() - 1)
            byteTicks << "wait";
    }
    byteTicks << "R:OK\r\n"
              << "used";
    QTest::newRow("byte by byte") << bytes << byteTicks << QByteArray();

    QTest::newRow("two frames one chunk")
        << QByteArrayList{okFrame + listFrame} << QByteArrayList{"R:OK\r\n", "R:LIST\r\n", "used"}
        << QByteArray();
    QByteArray badCrc = okFrame;
    badCrc[8] = '\x00';
    QTest::newRow("bad crc still routed")
        << QByteArrayList{badCrc}
        << QByteArrayList{"C:\r\nError CRC  >> OK\r\n", "R:OK\r\n", "used"} << QByteArray();
    QTest::newRow("one character")
        << QByteArrayList{"\x10"} << QByteArrayList{"C:\r\nError CMD  >> \x10", "wait"}
        << QByteArray("\x10");
    const QByteArray other = frame(17, "OK\r\n");
    QTest::newRow("wrong address")
        << QByteArrayList{other}
        << QByteArrayList{"C:\r\nError ADDR  >> " + other, "R:OK\r\n", "used"} << QByteArray();
    // On the second pass the message shows the previous frame's payload, not the chunk.
    QByteArray wrongFunction = listFrame.first(9);
    wrongFunction[1] = 'D';
    wrongFunction += CRC16(wrongFunction);
    QTest::newRow("second frame bad function")
        << QByteArrayList{okFrame + wrongFunction}
        << QByteArrayList{"R:OK\r\n", "C:\r\nError CMD  >> OK\r\n", "R:LIST\r\n", "used"}
        << QByteArray();
    QTest::newRow("frame then partial")
        << QByteArrayList{okFrame + listFrame.first(4), listFrame.sliced(4)}
        << QByteArrayList{"R:OK\r\n", "wait", "R:LIST\r\n", "used"} << QByteArray();
    QTest::newRow("empty payload")
        << QByteArrayList{frame(16, QByteArray())} << QByteArrayList{"R:", "used"} << QByteArray();
    QTest::newRow("high address byte") << QByteArrayList{frame(16, "\xFF\x80")}
                                       << QByteArrayList{"R:\xFF\x80", "used"} << QByteArray();
}

void TestGateway::cutter() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, expected);
    QFETCH(QByteArray, bufferLeft);

    QByteArray buffer;
    QByteArray rxData;
    qint16 dataLen = 0;
    QByteArray crcCalc;
    QByteArray crcRecv;
    FrameCutter cutter({buffer, rxData, dataLen, crcCalc, crcRecv}, 16);
    QByteArrayList got;
    for (const QByteArray& chunk : chunks) {
        rxData = chunk;
        buffer += chunk;
        QList<CutAction> actions;
        const bool usedUp = cutter.run(actions);
        for (const CutAction& a : actions)
            got << (a.kind == CutAction::Kind::Console ? "C:" : "R:") + a.bytes;
        got << (usedUp ? "used" : "wait");
    }
    QCOMPARE(got, expected);
    QCOMPARE(buffer.toHex(), bufferLeft.toHex());
}

QTEST_GUILESS_MAIN(TestGateway)
#include "tst_gateway.moc"
