#include "modbus/Crc16.h"
#include "modbus/ModbusReply.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The packet closed with its correct CRC.
QByteArray framed(const char* hex) {
    const QByteArray body = QByteArray::fromHex(hex);
    return body + crc16Bytes(body);
}

QByteArray lines(std::initializer_list<const char*> list) {
    QByteArray out;
    for (const char* line : list)
        out += QByteArray(line) + "\r\n";
    return out;
}

} // namespace

class TestModbusReply : public QObject {
    Q_OBJECT
private slots:
    void account_data();
    void account();
    void decimalPoint();
    void anyChunk();
};

void TestModbusReply::account_data() {
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("elapsedMs"); // -1: no request waiting
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("read reply") << QByteArray::fromHex("0A 03 04 00 01 00 02 90 F2") << 15
                                << lines({"Time reply = 15 mS", "Addr = 0A(10)  Funk = 03(3)",
                                          "Number param = 2", "Value #1 = 0001(1)",
                                          "Value #2 = 0002(2)", "CRC = 90F2  Good", ""});
    QTest::newRow("write echo") << QByteArray::fromHex("0A 06 00 01 00 03 99 70") << -1
                                << lines({"Addr = 0A(10)  Funk = 06(6)",
                                          "DataAddr = 0001(1)  Value = 0003(3)", "CRC = 9970  Good",
                                          ""});
    QTest::newRow("console text") << QByteArray::fromHex("10 43 05 68 65 6C 6C 6F E1 A2") << -1
                                  << lines({"Addr = 10(16)  Funk = 43(67)", " Text = hello",
                                            "CRC = E1A2  Good", ""});
    QTest::newRow("bad CRC") << QByteArray::fromHex("0A 03 04 00 01 00 02 90 F3") << -1
                             << lines({"Addr = 0A(10)  Funk = 03(3)", "Number param = 2",
                                       "Value #1 = 0001(1)", "Value #2 = 0002(2)",
                                       "CRC = 90F3 - Bad  CRC = 90F2", ""});
    QTest::newRow("exception") << QByteArray::fromHex("0A 83 02 B1 33") << -1
                               << lines({"Addr = 0A(10)  Funk = 83(131)",
                                         " Package not recognized ", ""});
    QTest::newRow("one byte") << QByteArray::fromHex("0A") << -1
                              << lines({"Addr = 0A(10) Package not recognized ", ""});
    QTest::newRow("empty") << QByteArray() << 0
                           << lines({"Time reply = 0 mS", " Package not recognized ", ""});
    QTest::newRow("two bytes") << QByteArray::fromHex("0A 03") << -1
                               << lines({"Addr = 0A(10)  Funk = 03(3)", " Package not recognized ",
                                         ""});
    QTest::newRow("short echo") << QByteArray::fromHex("0A 06 00 01") << -1
                                << lines({"Addr = 0A(10)  Funk = 06(6)", " Package not recognized ",
                                          ""});
    QTest::newRow("high values") << framed("0A 03 04 80 00 FF FF") << -1
                                 << lines({"Addr = 0A(10)  Funk = 03(3)", "Number param = 2",
                                           "Value #1 = 8000(32768)", "Value #2 = FFFF(65535)",
                                           "CRC = 6883  Good", ""});
    QTest::newRow("one data byte")
        << framed("0A 01 01 05 00") << -1
        << lines({"Addr = 0A(10)  Funk = 01(1)", "Number param = 0.5", "CRC = EF6D  Good", ""});
    // Three bytes give two values, the second reaching into the next byte.
    QTest::newRow("three data bytes")
        << framed("0A 03 03 00 01 02 03") << -1
        << lines({"Addr = 0A(10)  Funk = 03(3)", "Number param = 1.5", "Value #1 = 0001(1)",
                  "Value #2 = 0203(515)", "CRC = E592  Good", ""});
    QTest::newRow("zero count") << framed("0A 03 00") << -1
                                << lines({"Addr = 0A(10)  Funk = 03(3)", "Number param = 0",
                                          " Package not recognized ", ""});
    QTest::newRow("count too large")
        << QByteArray::fromHex("0A 03 06 00 01 00 02 E9 32") << -1
        << lines({"Addr = 0A(10)  Funk = 03(3)", " Package not recognized ", ""});
    QTest::newRow("function 0x11 text")
        << framed("10 11 00 68 69") << -1
        << lines({"Addr = 10(16)  Funk = 11(17)", " Text = hi", "CRC = 0F11  Good", ""});
    QTest::newRow("shortest text")
        << framed("10 43 00") << -1
        << lines({"Addr = 10(16)  Funk = 43(67)", " Text = ", "CRC = 4135  Good", ""});
    QTest::newRow("text too short")
        << QByteArray::fromHex("10 43 05 68") << -1
        << lines({"Addr = 10(16)  Funk = 43(67)", " Package not recognized ", ""});
}

void TestModbusReply::account() {
    QFETCH(QByteArray, packet);
    QFETCH(int, elapsedMs);
    QFETCH(QByteArray, expected);
    const ModbusReply reply = parseModbusReply(packet, elapsedMs >= 0, elapsedMs);
    QCOMPARE(renderModbusReply(reply), expected);
}

void TestModbusReply::decimalPoint() {
    const QByteArray out = renderModbusReply(parseModbusReply(framed("0A 03 03 00 01 02 03")), ',');
    QVERIFY2(out.contains("\r\nNumber param = 1,5\r\n"), out.constData());
}

// Chunks of every short length and some long ones, random content: the account always closes
// with its empty line, and a CRC judged good is one that checks over the whole chunk.
void TestModbusReply::anyChunk() {
    QRandomGenerator random(1234);
    QList<qsizetype> sizes;
    for (qsizetype n = 0; n <= 300; ++n)
        sizes << n;
    sizes << 65507 << 65506;
    for (const qsizetype size : sizes) {
        for (int round = 0; round < 20; ++round) {
            QByteArray chunk(size, Qt::Uninitialized);
            for (char& c : chunk)
                c = char(random.bounded(256));
            if (round % 4 == 1 && size >= 3) // a plausible byte count now and then
                chunk[2] = char(random.bounded(qMin<qsizetype>(size, 256)));
            if (round % 4 == 2 && size >= 2) // and a correct CRC
                chunk = chunk.left(size - 2) + crc16Bytes(chunk.left(size - 2));
            const ModbusReply reply = parseModbusReply(chunk);
            const QByteArray out = renderModbusReply(reply);
            QVERIFY(out.endsWith("\r\n\r\n"));
            QVERIFY(reply.values.size() <= 128);
            if (reply.recognized())
                QCOMPARE(reply.crc->good(), crc16Value(chunk) == 0);
            else
                QVERIFY(out.endsWith(" Package not recognized \r\n\r\n"));
        }
    }
}

QTEST_GUILESS_MAIN(TestModbusReply)
#include "tst_modbusreply.moc"
