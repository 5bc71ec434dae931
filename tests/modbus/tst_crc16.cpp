#include "modbus/Crc16.h"

#include <QTest>

class TestCrc16 : public QObject {
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void decode_data();
    void decode();
};

void TestCrc16::crc_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("check string") << QByteArray("123456789") << QByteArray::fromHex("374B");
    QTest::newRow("read holding 1")
        << QByteArray::fromHex("010300000001") << QByteArray::fromHex("840A");
    QTest::newRow("read holding 2")
        << QByteArray::fromHex("0A0300000002") << QByteArray::fromHex("C570");
    // Bytes above 0x7F must not be sign-extended into the register.
    QTest::newRow("high bytes") << QByteArray::fromHex("FF80") << QByteArray::fromHex("41E0");
    // High byte zero still gives two bytes.
    QTest::newRow("zero high byte") << QByteArray::fromHex("00BF") << QByteArray::fromHex("4000");
}

void TestCrc16::crc() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(CRC16(input).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Value(input), quint16(quint8(expected[0]) | quint8(expected[1]) << 8));
}

// Decode takes exactly one upper-case hex digit, Decode2 one or two; anything else counts as 0.
void TestCrc16::decode_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("one");
    QTest::addColumn<int>("two");
    QTest::newRow("9") << QByteArray("9") << 9 << 9;
    QTest::newRow("F") << QByteArray("F") << 15 << 15;
    QTest::newRow("lower case") << QByteArray("f") << 0 << 0;
    QTest::newRow("at before A") << QByteArray("@") << 0 << 0;
    QTest::newRow("FF") << QByteArray("FF") << 0 << 255;
    QTest::newRow("bad low digit") << QByteArray("1G") << 0 << 16;
    QTest::newRow("high byte") << QByteArray("\xC1"
                                             "1")
                               << 0 << 1;
    QTest::newRow("three digits") << QByteArray("123") << 0 << 0;
}

void TestCrc16::decode() {
    QFETCH(QByteArray, text);
    QFETCH(int, one);
    QFETCH(int, two);
    QCOMPARE(int(Decode(text)), one);
    QCOMPARE(int(Decode2(text)), two);
}

QTEST_GUILESS_MAIN(TestCrc16)
#include "tst_crc16.moc"
