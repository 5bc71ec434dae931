// The request builder, the reply parser and the helpers under them (the CRC, the decimal field);
// last, both against libmodbus, an RTU server that owes nothing to this program, on a pty.
#include "link/PtyPair.h"
#include "modbus/Crc16.h"
#include "modbus/HexText.h"
#include "modbus/ModbusReply.h"
#include "modbus/ModbusRequest.h"

#include <QTest>
#include <atomic>
#include <modbus.h>
#include <thread>

using Fields = ModbusRequestFields;
Q_DECLARE_METATYPE(ModbusRequestFields)

namespace {

// Every part of the frame off but, when `text` is given, a data address or data block of it.
Fields only(const QString& text = {}, bool block = false, bool hex = true) {
    Fields f;
    f.deviceAddress.clear();
    f.function.clear();
    f.withQuantity = f.withCrc = false;
    f.withDataAddress = !text.isNull() && !block;
    f.withDataBlock = block;
    (block ? f.dataBlockIsHex : f.dataAddressIsHex) = hex;
    (block ? f.dataBlock : f.dataAddress) = text;
    return f;
}

QByteArray refused(ModbusRefusal why) {
    return "refused " + QByteArray::number(int(why));
}

// libmodbus as device 0x0A in a thread of its own; registers 0 and 1 are 0x1234 and 0xBEEF.
struct LibmodbusServer {
    modbus_t* ctx;
    modbus_mapping_t* map = modbus_mapping_new(0, 0, 16, 0);
    std::atomic<bool> stop = false;
    std::thread thread;

    explicit LibmodbusServer(const QString& device)
        : ctx(modbus_new_rtu(device.toLocal8Bit().constData(), 115200, 'N', 8, 1)) {
        if (!ctx || !map || modbus_set_slave(ctx, 0x0A) != 0 || modbus_connect(ctx) != 0)
            return;
        modbus_set_indication_timeout(ctx, 0, 50'000); // lets the thread notice the stop
        map->tab_registers[0] = 0x1234;
        map->tab_registers[1] = 0xBEEF;
        thread = std::thread([this] {
            uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
            while (!stop)
                if (const int rc = modbus_receive(ctx, query); rc > 0)
                    modbus_reply(ctx, query, rc, map);
        });
    }
    ~LibmodbusServer() {
        stop = true;
        if (thread.joinable())
            thread.join();
        modbus_mapping_free(map);
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
    }
};

ModbusRequestFields request(const char* function, const QString& address, const QString& qty) {
    ModbusRequestFields f;
    f.deviceAddress = "0A";
    f.function = function;
    f.dataAddress = address;
    f.quantity = qty;
    return f;
}

ModbusReply exchange(PtyPair& pty, const ModbusRequestFields& fields, qsizetype replySize) {
    const ModbusRequest built = buildModbusRequest(fields);
    if (!built.ok() || !pty.send(built.frame))
        return {};
    return parseModbusReply(pty.receive(replySize, 20000)); // a ceiling, not a pause
}

} // namespace

class TestModbusFrames : public QObject {
    Q_OBJECT
private slots:
    void crc();
    void frame_data();
    void frame();
    void decimal_data();
    void decimal();
    void account_data();
    void account();
    void libmodbusPeer();
};

// Bytes above 0x7F, in and out, keep their high bit; a high byte of zero still gives two bytes.
void TestModbusFrames::crc() {
    QCOMPARE(crc16Bytes(QByteArray::fromHex("FF80")).toHex(), QByteArray("41e0"));
    QCOMPARE(crc16Value(QByteArray::fromHex("FF80")), quint16(0xE041));
    QCOMPARE(crc16Bytes(QByteArray::fromHex("00BF")).toHex(), QByteArray("4000"));
    QCOMPARE(crc16Bytes(QByteArray::fromHex("0A0300000002")).toHex(), QByteArray("c570"));
}

// Each field on its own (whole frames are the panels' tests), and the refused ones.
void TestModbusFrames::frame_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("expected");

    // A one-byte field is padded, or cut to its last two digits; only upper-case hex digits
    // count, anything else (a character past Latin-1 too) reads as 0.
    Fields address = only();
    const char* const pairs[][2] = {{"1", "01"},  {"123", "23"}, {"FF", "FF"},
                                    {"1G", "10"}, {"f", "00"},   {"\u00C11", "01"}};
    for (const auto& [input, byte] : pairs) {
        address.deviceAddress = QString::fromUtf8(input);
        QTest::addRow("address %s", input) << address << QByteArray::fromHex(byte);
    }
    QTest::newRow("hex last four") << only("12345") << QByteArray::fromHex("23 45");
    QTest::newRow("decimal 32767") << only("32767", false, false) << QByteArray::fromHex("7F FF");
    // A field left out of the frame is not read, however wrong it is.
    Fields quantity = only();
    quantity.quantityIsHex = false;
    quantity.quantity = "99999";
    QTest::newRow("unused decimal") << quantity << QByteArray();

    QTest::newRow("empty hex data") << only("", true) << QByteArray::fromHex("00");
    QTest::newRow("255 data bytes")
        << only(QString(510, u'E'), true) << QByteArray(1, '\xFF') + QByteArray(255, '\xEE');
    QTest::newRow("cyrillic ascii") << only(QString::fromUtf8("Привет"), true, false)
                                    << QByteArray::fromHex("06 CF F0 E8 E2 E5 F2");

    QTest::newRow("odd hex data") << only("010", true) << refused(ModbusRefusal::OddHexData);
    QTest::newRow("256 hex bytes")
        << only(QString(512, u'0'), true) << refused(ModbusRefusal::DataTooLong);
    QTest::newRow("256 characters")
        << only(QString(256, u'x'), true, false) << refused(ModbusRefusal::DataTooLong);
    QTest::newRow("not in the code page") << only(QString::fromUtf8("a\u4E2Db"), true, false)
                                          << refused(ModbusRefusal::DataNotEncodable);
    QTest::newRow("decimal 32768")
        << only("32768", false, false) << refused(ModbusRefusal::AddressOutOfRange);
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
    const std::pair<const char*, int> rows[] = {
        {"2.5", 2},         {"3.5", 4},      {"2.5000001", 3}, {".6", 1},    {"12abc", 12},
        {"  42", 42},       {"+7", 7},       {"abc", 0},       {"-0.5", 0},  {"-1", -1},
        {"32766.5", 32766}, {"32767.5", -1}, {"5,9", 5},       {"\u0663", 0}};
    for (const auto& [text, value] : rows)
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
    row("empty", "", 0, "Time reply = 0 mS| Package not recognized ");
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

void TestModbusFrames::libmodbusPeer() {
    PtyPair pty;
    QVERIFY(pty.ok());
    LibmodbusServer server(pty.slavePath());
    QVERIFY(server.thread.joinable());

    ModbusRequestFields multiple = request("10", "0002", "0003");
    multiple.withDataBlock = true;
    multiple.dataBlock = "000A0014FFFF";
    QCOMPARE(renderModbusReply(::exchange(pty, multiple, 8)),
             QByteArray("Addr = 0A(10)  Funk = 10(16)\r\nDataAddr = 0002(2)  Value = 0003(3)\r\n"
                        "CRC = 20B3  Good\r\n\r\n"));
    // Exception 0x02 (illegal data address): its three-byte body reads like a read reply whose
    // byte count does not fit, so the account stops after the header.
    QCOMPARE(renderModbusReply(::exchange(pty, request("03", "0100", "0001"), 5)),
             QByteArray("Addr = 0A(10)  Funk = 83(131)\r\n Package not recognized \r\n\r\n"));

    // What the server holds now, and proof that it still answers.
    const ModbusReply back = ::exchange(pty, request("03", "0", "6"), 5 + 2 * 6);
    QVERIFY(back.recognized() && back.crc->good());
    QCOMPARE(back.values, (QList<quint16>{0x1234, 0xBEEF, 10, 20, 0xFFFF, 0}));
}

QTEST_GUILESS_MAIN(TestModbusFrames)
#include "tst_modbusframes.moc"
