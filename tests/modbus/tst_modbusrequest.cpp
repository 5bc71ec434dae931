// The request builder and the helpers under it: crc16Bytes, the hex digit decoders, the decimal
// field and the hex log entry.
#include "modbus/Crc16.h"
#include "modbus/HexText.h"
#include "modbus/ModbusRequest.h"

#include <QTest>

using Fields = ModbusRequestFields;
Q_DECLARE_METATYPE(ModbusRequestFields)
Q_DECLARE_METATYPE(ModbusRefusal)

namespace {

// Every part of the frame off: a row switches on only what it is about.
Fields nothingOn() {
    Fields f;
    f.deviceAddress.clear();
    f.function.clear();
    f.withDataAddress = false;
    f.withQuantity = false;
    f.withCrc = false;
    return f;
}

Fields withAddress(const QString& text, bool hex) {
    Fields f = nothingOn();
    f.withDataAddress = true;
    f.dataAddressIsHex = hex;
    f.dataAddress = text;
    return f;
}

Fields withData(const QString& text, bool hex) {
    Fields f = nothingOn();
    f.withDataBlock = true;
    f.dataBlockIsHex = hex;
    f.dataBlock = text;
    return f;
}

} // namespace

class TestModbusRequest : public QObject {
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void decode_data();
    void decode();
    void frame_data();
    void frame();
    void refusal_data();
    void refusal();
    void decimal_data();
    void decimal();
    void hexLog_data();
    void hexLog();
};

void TestModbusRequest::crc_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("check string") << QByteArray("123456789") << QByteArray::fromHex("374B");
    QTest::newRow("nothing") << QByteArray() << QByteArray::fromHex("FFFF");
    QTest::newRow("read holding 1")
        << QByteArray::fromHex("010300000001") << QByteArray::fromHex("840A");
    // Bytes above 0x7F must not be sign-extended into the register.
    QTest::newRow("high bytes") << QByteArray::fromHex("FF80") << QByteArray::fromHex("41E0");
    // High byte zero still gives two bytes.
    QTest::newRow("zero high byte") << QByteArray::fromHex("00BF") << QByteArray::fromHex("4000");
}

void TestModbusRequest::crc() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(crc16Bytes(input).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Value(input), quint16(quint8(expected[0]) | quint8(expected[1]) << 8));
}

// hexDigitValue takes exactly one upper-case hex digit, hexByteValue one or two; anything else
// counts as 0.
void TestModbusRequest::decode_data() {
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

void TestModbusRequest::decode() {
    QFETCH(QByteArray, text);
    QFETCH(int, one);
    QFETCH(int, two);
    QCOMPARE(int(hexDigitValue(text)), one);
    QCOMPARE(int(hexByteValue(text)), two);
}

void TestModbusRequest::frame_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("expected");

    Fields read;
    read.deviceAddress = "0A";
    read.function = "03";
    read.dataAddress = "0000";
    read.quantity = "0002";
    QTest::newRow("read two holding registers")
        << read << QByteArray::fromHex("0A 03 00 00 00 02 C5 70");
    Fields text;
    text.function = "43";
    text.withDataAddress = text.withQuantity = false;
    text.withDataBlock = true;
    text.dataBlockIsHex = false;
    text.dataBlock = "hello";
    QTest::newRow("text to device 0x10")
        << text << QByteArray::fromHex("10 43 05 68 65 6C 6C 6F E1 A2");
    QTest::newRow("start-up defaults")
        << Fields() << QByteArray::fromHex("10 03 00 00 00 00 46 8B");

    // A one-byte field is padded, or cut to its last two digits.
    Fields address = nothingOn();
    for (const auto& [input, byte] : {std::pair{"1", "01"}, std::pair{"123", "23"}}) {
        address.deviceAddress = input;
        QTest::addRow("address %s", input) << address << QByteArray::fromHex(byte);
    }
    QTest::newRow("hex 1") << withAddress("1", true) << QByteArray::fromHex("00 01");
    QTest::newRow("hex last four") << withAddress("12345", true) << QByteArray::fromHex("23 45");
    QTest::newRow("decimal 300") << withAddress("300", false) << QByteArray::fromHex("01 2C");
    QTest::newRow("decimal 32767") << withAddress("32767", false) << QByteArray::fromHex("7F FF");

    Fields quantity = nothingOn();
    quantity.withQuantity = true;
    quantity.quantityIsHex = false;
    quantity.quantity = "4660";
    QTest::newRow("decimal quantity") << quantity << QByteArray::fromHex("12 34");
    // A field left out of the frame is not read, however wrong it is.
    quantity.withQuantity = false;
    quantity.quantity = "99999";
    QTest::newRow("unused decimal") << quantity << QByteArray();

    QTest::newRow("hex data") << withData("0102", true) << QByteArray::fromHex("02 01 02");
    QTest::newRow("empty hex data") << withData("", true) << QByteArray::fromHex("00");
    QTest::newRow("255 data bytes")
        << withData(QString(510, u'E'), true) << QByteArray(1, '\xFF') + QByteArray(255, '\xEE');
    QTest::newRow("cyrillic ascii") << withData(QString::fromUtf8("Привет"), false)
                                    << QByteArray::fromHex("06 CF F0 E8 E2 E5 F2");
    Fields dataOff = withData("0102", true);
    dataOff.withDataBlock = false;
    QTest::newRow("data block off") << dataOff << QByteArray();

    Fields lineEnd = withData("0102", true);
    lineEnd.withCrLf = true;
    QTest::newRow("CR LF alone") << lineEnd << QByteArray::fromHex("02 01 02 0D 0A");
    lineEnd.withCrc = true;
    QTest::newRow("CR LF after CRC") << lineEnd << QByteArray::fromHex("02 01 02 50 51 0D 0A");
}

void TestModbusRequest::frame() {
    QFETCH(Fields, fields);
    QFETCH(QByteArray, expected);
    const ModbusRequest request = buildModbusRequest(fields);
    QVERIFY(request.ok());
    QCOMPARE(request.frame.toHex(' '), expected.toHex(' '));
}

void TestModbusRequest::refusal_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<ModbusRefusal>("reason");

    QTest::newRow("odd hex data") << withData("010", true) << ModbusRefusal::OddHexData;
    QTest::newRow("megabyte odd hex")
        << withData(QString(1'000'001, u'A'), true) << ModbusRefusal::OddHexData;
    QTest::newRow("256 hex bytes")
        << withData(QString(512, u'0'), true) << ModbusRefusal::DataTooLong;
    QTest::newRow("256 characters")
        << withData(QString(256, u'x'), false) << ModbusRefusal::DataTooLong;
    QTest::newRow("not in the code page")
        << withData(QString::fromUtf8("a\u4E2Db"), false) << ModbusRefusal::DataNotEncodable;
    QTest::newRow("decimal 32768")
        << withAddress("32768", false) << ModbusRefusal::AddressOutOfRange;
    Fields quantity;
    quantity.quantityIsHex = false;
    quantity.quantity = "70000";
    QTest::newRow("decimal quantity") << quantity << ModbusRefusal::QuantityOutOfRange;
}

void TestModbusRequest::refusal() {
    QFETCH(Fields, fields);
    QFETCH(ModbusRefusal, reason);
    const ModbusRequest request = buildModbusRequest(fields);
    QVERIFY(!request.ok());
    QCOMPARE(request.refusal, std::optional<ModbusRefusal>(reason));
    QVERIFY(request.frame.isEmpty());
}

// The number at the start of the text, rounded half to even; -1 stands for "cannot be encoded".
void TestModbusRequest::decimal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("half down to even") << "2.5" << 2;
    QTest::newRow("half up to even") << "3.5" << 4;
    QTest::newRow("half of zero") << "0.5" << 0;
    QTest::newRow("just above half") << "2.5000001" << 3;
    QTest::newRow("below half") << "7.49999" << 7;
    QTest::newRow("fraction only") << ".6" << 1;
    QTest::newRow("trailing text") << "12abc" << 12;
    QTest::newRow("leading blanks") << "  42" << 42;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("no number") << "abc" << 0;
    QTest::newRow("minus zero point four") << "-0.4" << 0;
    QTest::newRow("minus half") << "-0.5" << 0;
    QTest::newRow("minus one") << "-1" << -1;
    QTest::newRow("top") << "32766.5" << 32766;
    QTest::newRow("rounds to 32768") << "32767.5" << -1;
    QTest::newRow("megabyte of digits") << QString(1'000'000, u'9') << -1;
    QTest::newRow("comma is not a point") << "5,9" << 5;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("\u0663") << 0;
}

void TestModbusRequest::decimal() {
    QFETCH(QString, text);
    QFETCH(int, value);
    const auto got = HexText::decimalField(text);
    QCOMPARE(got ? int(*got) : -1, value);
}

void TestModbusRequest::hexLog_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("entry");
    QTest::newRow("OK CR LF") << QByteArray("OK\r\n") << QByteArray("4F 4B 0D 0A \r\n\r\n");
    QTest::newRow("extremes") << QByteArray::fromHex("00FF") << QByteArray("00 FF \r\n\r\n");
    QTest::newRow("empty chunk") << QByteArray() << QByteArray("\r\n\r\n");
}

void TestModbusRequest::hexLog() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, entry);
    QCOMPARE(HexText::logEntry(bytes), entry);
}

QTEST_GUILESS_MAIN(TestModbusRequest)
#include "tst_modbusrequest.moc"
