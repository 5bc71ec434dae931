// The request builder, the reply parser and the helpers under them: the CRC and the decimal field.
#include "modbus/Crc16.h"
#include "modbus/HexText.h"
#include "modbus/ModbusReply.h"
#include "modbus/ModbusRequest.h"

#include <QRandomGenerator>
#include <QTest>

using Fields = ModbusRequestFields;
Q_DECLARE_METATYPE(ModbusRequestFields)

namespace {

// Every part of the frame off: a row switches on only what it is about.
Fields nothingOn() {
    Fields f;
    f.deviceAddress.clear();
    f.function.clear();
    f.withDataAddress = f.withQuantity = f.withCrc = false;
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

// The expected "frame" of a refused request.
QByteArray refused(ModbusRefusal why) {
    return "refused " + QByteArray::number(int(why));
}

} // namespace

class TestModbusFrames : public QObject {
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void frame_data();
    void frame();
    void decimal_data();
    void decimal();
    void account_data();
    void account();
    void anyChunk();
};

void TestModbusFrames::crc_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    // Bytes above 0x7F, in and out, must keep their high bit.
    QTest::newRow("high bytes") << QByteArray::fromHex("FF80") << QByteArray::fromHex("41E0");
    QTest::newRow("low byte out") << QByteArray::fromHex("0A0300000002")
                                  << QByteArray::fromHex("C570");
    // High byte zero still gives two bytes.
    QTest::newRow("zero high byte") << QByteArray::fromHex("00BF") << QByteArray::fromHex("4000");
}

void TestModbusFrames::crc() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(crc16Bytes(input).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Value(input), quint16(quint8(expected[0]) | quint8(expected[1]) << 8));
}

// The whole frames the panels send are checked there; here each field on its own, and the
// fields that are refused.
void TestModbusFrames::frame_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("expected");

    // A one-byte field is padded, or cut to its last two digits; only upper-case hex digits
    // count, anything else (a character past Latin-1 too) reads as 0.
    Fields address = nothingOn();
    const char* const pairs[][2] = {{"1", "01"},  {"123", "23"}, {"FF", "FF"},
                                    {"1G", "10"}, {"f", "00"},   {"\u00C11", "01"}};
    for (const auto& [input, byte] : pairs) {
        address.deviceAddress = QString::fromUtf8(input);
        QTest::addRow("address %s", input) << address << QByteArray::fromHex(byte);
    }
    QTest::newRow("hex last four") << withAddress("12345", true) << QByteArray::fromHex("23 45");
    QTest::newRow("decimal 32767") << withAddress("32767", false) << QByteArray::fromHex("7F FF");
    // A field left out of the frame is not read, however wrong it is.
    Fields quantity = nothingOn();
    quantity.quantityIsHex = false;
    quantity.quantity = "99999";
    QTest::newRow("unused decimal") << quantity << QByteArray();

    QTest::newRow("empty hex data") << withData("", true) << QByteArray::fromHex("00");
    QTest::newRow("255 data bytes")
        << withData(QString(510, u'E'), true) << QByteArray(1, '\xFF') + QByteArray(255, '\xEE');
    QTest::newRow("cyrillic ascii") << withData(QString::fromUtf8("Привет"), false)
                                    << QByteArray::fromHex("06 CF F0 E8 E2 E5 F2");
    Fields lineEnd = withData("0102", true);
    lineEnd.withCrLf = true;
    QTest::newRow("CR LF alone") << lineEnd << QByteArray::fromHex("02 01 02 0D 0A");

    QTest::newRow("odd hex data") << withData("010", true) << refused(ModbusRefusal::OddHexData);
    QTest::newRow("megabyte odd hex")
        << withData(QString(1'000'001, u'A'), true) << refused(ModbusRefusal::OddHexData);
    QTest::newRow("256 hex bytes")
        << withData(QString(512, u'0'), true) << refused(ModbusRefusal::DataTooLong);
    QTest::newRow("256 characters")
        << withData(QString(256, u'x'), false) << refused(ModbusRefusal::DataTooLong);
    QTest::newRow("not in the code page") << withData(QString::fromUtf8("a\u4E2Db"), false)
                                          << refused(ModbusRefusal::DataNotEncodable);
    QTest::newRow("decimal 32768")
        << withAddress("32768", false) << refused(ModbusRefusal::AddressOutOfRange);
    quantity.withQuantity = true;
    QTest::newRow("decimal quantity") << quantity << refused(ModbusRefusal::QuantityOutOfRange);
}

void TestModbusFrames::frame() {
    QFETCH(Fields, fields);
    QFETCH(QByteArray, expected);
    const ModbusRequest request = buildModbusRequest(fields);
    QCOMPARE(request.refusal ? refused(*request.refusal) : request.frame.toHex(' '),
             expected.startsWith("refused") ? expected : expected.toHex(' '));
    QVERIFY(request.ok() || request.frame.isEmpty());
}

// The number at the start of the text, rounded half to even; -1 stands for "cannot be encoded".
void TestModbusFrames::decimal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    for (const auto& [text, value] : {std::pair{"2.5", 2},
                                      {"3.5", 4},
                                      {"2.5000001", 3},
                                      {".6", 1},
                                      {"12abc", 12},
                                      {"  42", 42},
                                      {"+7", 7},
                                      {"abc", 0},
                                      {"-0.5", 0},
                                      {"-1", -1},
                                      {"32766.5", 32766},
                                      {"32767.5", -1},
                                      {"5,9", 5},
                                      {"\u0663", 0}}) // the last an Arabic-Indic digit
        QTest::newRow(text) << QString::fromUtf8(text) << value;
    QTest::newRow("megabyte of digits") << QString(1'000'000, u'9') << -1;
}

void TestModbusFrames::decimal() {
    QFETCH(QString, text);
    QFETCH(int, value);
    const auto got = HexText::decimalField(text);
    QCOMPARE(got ? int(*got) : -1, value);
}

// The account's lines are given joined by '|'; the decimal point is ',' where the row says so.
void TestModbusFrames::account_data() {
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("elapsedMs"); // -1: no request waiting
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char* name, const char* hex, int ms, const char* account) {
        QTest::newRow(name) << QByteArray::fromHex(hex) << ms
                            << QByteArray(account).replace('|', "\r\n") + "\r\n\r\n";
    };
    row("read reply", "0A 03 04 00 01 00 02 90 F2", 15,
        "Time reply = 15 mS|Addr = 0A(10)  Funk = 03(3)|Number param = 2|Value #1 = 0001(1)|"
        "Value #2 = 0002(2)|CRC = 90F2  Good");
    row("bad CRC", "0A 03 04 00 01 00 02 90 F3", -1,
        "Addr = 0A(10)  Funk = 03(3)|Number param = 2|Value #1 = 0001(1)|Value #2 = 0002(2)|"
        "CRC = 90F3 - Bad  CRC = 90F2");
    row("one byte", "0A", -1, "Addr = 0A(10) Package not recognized ");
    row("empty", "", 0, "Time reply = 0 mS| Package not recognized ");
    row("two bytes", "0A 03", -1, "Addr = 0A(10)  Funk = 03(3)| Package not recognized ");
    row("short echo", "0A 06 00 01", -1, "Addr = 0A(10)  Funk = 06(6)| Package not recognized ");
    row("high values", "0A 03 04 80 00 FF FF 68 83", -1,
        "Addr = 0A(10)  Funk = 03(3)|Number param = 2|Value #1 = 8000(32768)|"
        "Value #2 = FFFF(65535)|CRC = 6883  Good");
    row("one data byte", "0A 01 01 05 00 EF 6D", -1,
        "Addr = 0A(10)  Funk = 01(1)|Number param = 0.5|CRC = EF6D  Good");
    // Three bytes give two values, the second reaching into the next byte.
    row("three data bytes", "0A 03 03 00 01 02 03 E5 92", -1,
        "Addr = 0A(10)  Funk = 03(3)|Number param = 1.5|Value #1 = 0001(1)|Value #2 = 0203(515)|"
        "CRC = E592  Good");
    row("zero count", "0A 03 00 51 32", -1,
        "Addr = 0A(10)  Funk = 03(3)|Number param = 0| Package not recognized ");
    row("count too large", "0A 03 06 00 01 00 02 E9 32", -1,
        "Addr = 0A(10)  Funk = 03(3)| Package not recognized ");
    row("function 0x11 text", "10 11 00 68 69 0F 11", -1,
        "Addr = 10(16)  Funk = 11(17)| Text = hi|CRC = 0F11  Good");
    row("shortest text", "10 43 00 41 35", -1,
        "Addr = 10(16)  Funk = 43(67)| Text = |CRC = 4135  Good");
    row("text too short", "10 43 05 68", -1,
        "Addr = 10(16)  Funk = 43(67)| Package not recognized ");
}

void TestModbusFrames::account() {
    QFETCH(QByteArray, packet);
    QFETCH(int, elapsedMs);
    QFETCH(QByteArray, expected);
    const ModbusReply reply = parseModbusReply(packet, elapsedMs >= 0, elapsedMs);
    QCOMPARE(renderModbusReply(reply), expected);
    if (expected.contains(".5"))
        QCOMPARE(renderModbusReply(reply, ','), QByteArray(expected).replace(".5", ",5"));
}

// Chunks of every short length and some long ones, random content: the account always closes
// with its empty line, and a CRC judged good is one that checks over the whole chunk.
void TestModbusFrames::anyChunk() {
    QRandomGenerator random(1234);
    for (qsizetype n = 0; n <= 302; ++n) {
        const qsizetype size = n <= 300 ? n : 65808 - n; // and the two largest datagrams
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
            QVERIFY(reply.values.size() <= 128);
            if (reply.recognized())
                QVERIFY(reply.crc->good() == (crc16Value(chunk) == 0) && out.endsWith("\r\n\r\n"));
            else
                QVERIFY(out.endsWith(" Package not recognized \r\n\r\n"));
        }
    }
}

QTEST_GUILESS_MAIN(TestModbusFrames)
#include "tst_modbusframes.moc"
