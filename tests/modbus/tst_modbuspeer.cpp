// The request builder and the reply parser against libmodbus, a MODBUS RTU server that owes
// nothing to this program, listening on a pseudo-terminal.
#include "link/PtyPair.h"
#include "modbus/ModbusReply.h"
#include "modbus/ModbusRequest.h"

#include <QTest>
#include <atomic>
#include <modbus.h>
#include <thread>

Q_DECLARE_METATYPE(ModbusRequestFields)

namespace {

// libmodbus as the RTU server of device 0x0A, answering in a thread of its own until destroyed.
// Registers 0 and 1 start as 0x1234 and 0xBEEF, the rest as 0.
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

// Sends the builder's frame and returns libmodbus's answer of `replySize` bytes, parsed.
ModbusReply exchange(PtyPair& pty, const ModbusRequestFields& fields, qsizetype replySize) {
    const ModbusRequest built = buildModbusRequest(fields);
    if (!built.ok() || !pty.send(built.frame))
        return {};
    const QByteArray answer = pty.receive(replySize, 20000); // a ceiling, not a pause
    if (answer.size() != replySize)
        qWarning("libmodbus answered %s", answer.toHex(' ').constData());
    return parseModbusReply(answer);
}

} // namespace

class TestModbusPeer : public QObject {
    Q_OBJECT
private slots:
    void exchange_data();
    void exchange();
};

void TestModbusPeer::exchange_data() {
    QTest::addColumn<ModbusRequestFields>("fields");
    QTest::addColumn<int>("replySize");
    QTest::addColumn<QByteArray>("account");       // up to the CRC's value
    QTest::addColumn<QList<quint16>>("registers"); // 0..5, read back afterwards as a read reply

    ModbusRequestFields multiple = request("10", "0002", "0003");
    multiple.withDataBlock = true;
    multiple.dataBlock = "000A0014FFFF";
    QTest::newRow("write multiple registers")
        << multiple << 8
        << QByteArray("Addr = 0A(10)  Funk = 10(16)\r\nDataAddr = 0002(2)  Value = 0003(3)\r\n"
                      "CRC = ")
        << QList<quint16>{0x1234, 0xBEEF, 10, 20, 0xFFFF, 0};
    // Exception 0x02 (illegal data address): its three-byte body reads like a read reply whose
    // byte count does not fit, so the account stops after the header.
    QTest::newRow("address out of range")
        << request("03", "0100", "0001") << 5
        << QByteArray("Addr = 0A(10)  Funk = 83(131)\r\n Package not recognized \r\n\r\n")
        << QList<quint16>{0x1234, 0xBEEF, 0, 0, 0, 0};
}

void TestModbusPeer::exchange() {
    QFETCH(ModbusRequestFields, fields);
    QFETCH(int, replySize);
    QFETCH(QByteArray, account);
    QFETCH(QList<quint16>, registers);
    PtyPair pty;
    QVERIFY(pty.ok());
    LibmodbusServer server(pty.slavePath());
    QVERIFY(server.thread.joinable());

    const ModbusReply reply = ::exchange(pty, fields, replySize);
    const QByteArray text = renderModbusReply(reply);
    QVERIFY2(text.startsWith(account), text.constData());
    QCOMPARE(reply.recognized(), text.size() > account.size());
    QVERIFY2(!reply.recognized() || text.endsWith("  Good\r\n\r\n"), text.constData());

    // What the server holds now, and proof that it still answers.
    const ModbusReply back = ::exchange(pty, request("03", "0", "6"), 5 + 2 * 6);
    QVERIFY(back.recognized() && back.crc->good());
    QCOMPARE(back.values, registers);
}

QTEST_GUILESS_MAIN(TestModbusPeer)
#include "tst_modbuspeer.moc"
