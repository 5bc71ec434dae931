#include "modbus/Crc16.h"

#include <QTest>

class TestCrc16 : public QObject {
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void decode2_data();
    void decode2();
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
    QTest::newRow("empty") << QByteArray() << QByteArray::fromHex("FFFF");
    // Bytes above 0x7F must not be sign-extended into the register.
    QTest::newRow("high bytes") << QByteArray::fromHex("FF80") << QByteArray::fromHex("41E0");
    // High byte zero still gives two bytes.
    QTest::newRow("zero high byte") << QByteArray::fromHex("00BF") << QByteArray::fromHex("4000");
}

void TestCrc16::crc() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(CRC16(input).toHex(' '), expected.toHex(' '));
}

void TestCrc16::decode2_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("0A") << QByteArray("0A") << 10;
    QTest::newRow("A") << QByteArray("A") << 10;
    QTest::newRow("FF") << QByteArray("FF") << 255;
    QTest::newRow("ff lower case") << QByteArray("ff") << 0;
    QTest::newRow("1G bad low digit") << QByteArray("1G") << 16;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("three digits") << QByteArray("123") << 0;
    QTest::newRow("high byte") << QByteArray("\xC1"
                                             "1")
                               << 1;
}

void TestCrc16::decode2() {
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(int(Decode2(text)), value);
}

void TestCrc16::decode_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("9") << QByteArray("9") << 9;
    QTest::newRow("A") << QByteArray("A") << 10;
    QTest::newRow("F") << QByteArray("F") << 15;
    QTest::newRow("a") << QByteArray("a") << 0;
    QTest::newRow("colon after 9") << QByteArray(":") << 0;
    QTest::newRow("at before A") << QByteArray("@") << 0;
    QTest::newRow("space") << QByteArray(" ") << 0;
    QTest::newRow("AB two chars") << QByteArray("AB") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void TestCrc16::decode() {
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(int(Decode(text)), value);
}

QTEST_GUILESS_MAIN(TestCrc16)
#include "tst_crc16.moc"
