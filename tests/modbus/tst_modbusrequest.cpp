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
    f.Text5.clear();
    f.Text6.clear();
    f.Check10 = false;
    f.Check11 = false;
    f.Check5 = false;
    return f;
}

Fields readTwoRegisters() {
    Fields f;
    f.Text5 = "0A";
    f.Text6 = "03";
    f.Text9 = "0000";
    f.Text10 = "0002";
    return f;
}

Fields withAddress(const QString& text, bool hex) {
    Fields f = nothingOn();
    f.Check10 = true;
    f.Check8 = hex;
    f.Text9 = text;
    return f;
}

Fields withData(const QString& text, bool hex) {
    Fields f = nothingOn();
    f.Check4 = true;
    f.Option7 = hex;
    f.Text7 = text;
    return f;
}

} // namespace

class TestModbusRequest : public QObject {
    Q_OBJECT
private slots:
    void frame_data();
    void frame();
    void refusal_data();
    void refusal();
    void decimal_data();
    void decimal();
    void hexLog_data();
    void hexLog();
};

void TestModbusRequest::frame_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("read two holding registers")
        << readTwoRegisters() << QByteArray::fromHex("0A 03 00 00 00 02 C5 70");
    Fields text;
    text.Text6 = "43";
    text.Check10 = text.Check11 = false;
    text.Check4 = true;
    text.Option7 = false;
    text.Text7 = "hello";
    QTest::newRow("text to device 0x10")
        << text << QByteArray::fromHex("10 43 05 68 65 6C 6C 6F E1 A2");
    QTest::newRow("start-up defaults")
        << Fields() << QByteArray::fromHex("10 03 00 00 00 00 46 8B");

    Fields address = nothingOn();
    const std::pair<const char*, const char*> addresses[] = {
        {"1", "01"}, {"A", "0A"}, {"123", "23"}, {"a", "00"}, {"1G", "10"}, {"FF", "FF"}};
    for (const auto& [input, byte] : addresses) {
        address.Text5 = input;
        QTest::addRow("address %s", input) << address << QByteArray::fromHex(byte);
    }
    QTest::newRow("hex 1") << withAddress("1", true) << QByteArray::fromHex("00 01");
    QTest::newRow("hex last four") << withAddress("12345", true) << QByteArray::fromHex("23 45");
    QTest::newRow("hex empty") << withAddress("", true) << QByteArray::fromHex("00 00");
    QTest::newRow("hex lower case") << withAddress("ab12", true) << QByteArray::fromHex("00 12");
    QTest::newRow("decimal 300") << withAddress("300", false) << QByteArray::fromHex("01 2C");
    QTest::newRow("decimal 255") << withAddress("255", false) << QByteArray::fromHex("00 FF");
    QTest::newRow("decimal empty") << withAddress("", false) << QByteArray::fromHex("00 00");
    QTest::newRow("decimal 32767") << withAddress("32767", false) << QByteArray::fromHex("7F FF");

    Fields quantity = nothingOn();
    quantity.Check11 = true;
    quantity.Check9 = false;
    quantity.Text10 = "4660";
    QTest::newRow("decimal quantity") << quantity << QByteArray::fromHex("12 34");
    // A field left out of the frame is not read, however wrong it is.
    quantity.Check11 = false;
    quantity.Text10 = "99999";
    QTest::newRow("unused decimal") << quantity << QByteArray();

    QTest::newRow("hex data") << withData("0102", true) << QByteArray::fromHex("02 01 02");
    QTest::newRow("empty hex data") << withData("", true) << QByteArray::fromHex("00");
    QTest::newRow("255 data bytes")
        << withData(QString(510, u'E'), true) << QByteArray(1, '\xFF') + QByteArray(255, '\xEE');
    QTest::newRow("cyrillic ascii") << withData(QString::fromUtf8("Привет"), false)
                                    << QByteArray::fromHex("06 CF F0 E8 E2 E5 F2");
    Fields dataOff = withData("0102", true);
    dataOff.Check4 = false;
    QTest::newRow("data block off") << dataOff << QByteArray();

    Fields crcOnly = nothingOn();
    crcOnly.Check5 = true;
    QTest::newRow("CRC of nothing") << crcOnly << QByteArray::fromHex("FF FF");
    Fields lineEnd = withData("0102", true);
    lineEnd.Check6 = true;
    QTest::newRow("CR LF alone") << lineEnd << QByteArray::fromHex("02 01 02 0D 0A");
    lineEnd.Check5 = true;
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
    QTest::newRow("megabyte hex") << withData(QString(1'000'000, u'A'), true)
                                  << ModbusRefusal::DataTooLong;
    QTest::newRow("256 characters")
        << withData(QString(256, u'x'), false) << ModbusRefusal::DataTooLong;
    QTest::newRow("not in the code page")
        << withData(QString::fromUtf8("a\u4E2Db"), false) << ModbusRefusal::DataNotEncodable;
    QTest::newRow("decimal 32768")
        << withAddress("32768", false) << ModbusRefusal::AddressOutOfRange;
    QTest::newRow("decimal -1") << withAddress("-1", false) << ModbusRefusal::AddressOutOfRange;
    QTest::newRow("rounds to 32768")
        << withAddress("32767.5", false) << ModbusRefusal::AddressOutOfRange;
    QTest::newRow("megabyte of digits")
        << withAddress(QString(1'000'000, u'9'), false) << ModbusRefusal::AddressOutOfRange;

    Fields quantity = readTwoRegisters();
    quantity.Check9 = false;
    quantity.Text10 = "70000";
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
    QTest::newRow("above top") << "32768" << -1;
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
    QTest::newRow("request") << QByteArray::fromHex("0A03000000 02C570")
                             << QByteArray("0A 03 00 00 00 02 C5 70 \r\n\r\n");
}

void TestModbusRequest::hexLog() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, entry);
    QCOMPARE(HexText::logEntry(bytes), entry);
}

QTEST_GUILESS_MAIN(TestModbusRequest)
#include "tst_modbusrequest.moc"
