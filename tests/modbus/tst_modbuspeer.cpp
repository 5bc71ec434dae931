// The request builder and the reply parser against libmodbus, a MODBUS RTU server that owes
// nothing to this program, listening on a pseudo-terminal.
#include "link/PtyPair.h"
#include "modbus/ModbusReply.h"
#include "modbus/ModbusRequest.h"

#include <QTest>
#include <atomic>
#include <memory>
#include <modbus.h>
#include <thread>

namespace {

constexpr int Slave = 0x0A;
constexpr int Registers = 16;

// libmodbus answering on the slave side until it is destroyed. The register map is filled
// before the thread starts and is afterwards only read back through MODBUS requests.
class LibmodbusServer {
public:
    LibmodbusServer(const QString& device, std::initializer_list<quint16> preset) {
        ctx_ = modbus_new_rtu(device.toLocal8Bit().constData(), 115200, 'N', 8, 1);
        map_ = modbus_mapping_new(0, 0, Registers, 0);
        if (!ctx_ || !map_ || modbus_set_slave(ctx_, Slave) != 0 || modbus_connect(ctx_) != 0)
            return;
        modbus_set_indication_timeout(ctx_, 0, 50'000); // lets the thread notice the stop
        int i = 0;
        for (const quint16 value : preset)
            map_->tab_registers[i++] = value;
        thread_ = std::thread([this] { serve(); });
    }
    ~LibmodbusServer() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (map_)
            modbus_mapping_free(map_);
        if (ctx_) {
            modbus_close(ctx_);
            modbus_free(ctx_);
        }
    }
    bool running() const { return thread_.joinable(); }

private:
    void serve() {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop_) {
            const int rc = modbus_receive(ctx_, query);
            if (rc > 0)
                modbus_reply(ctx_, query, rc, map_);
        }
    }

    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* map_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_ = false;
};

ModbusRequestFields request(const char* function, const QString& address, const QString& qty) {
    ModbusRequestFields f;
    f.Text5 = "0A";
    f.Text6 = function;
    f.Text9 = address;
    f.Text10 = qty;
    return f;
}

QList<QByteArray> accountLines(const ModbusReply& reply) {
    return renderModbusReply(reply).split('\n');
}

} // namespace

class TestModbusPeer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readHoldingRegisters();
    void writeSingleRegister();
    void writeMultipleRegisters();
    void addressOutOfRange();

private:
    // Sends the builder's frame and returns libmodbus's answer of `replySize` bytes, parsed.
    ModbusReply exchange(const ModbusRequestFields& fields, qsizetype replySize);
    QList<quint16> readBack(int address, int count);

    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<LibmodbusServer> server_;
};

void TestModbusPeer::init() {
    pty_ = std::make_unique<PtyPair>();
    QVERIFY(pty_->ok());
    server_ = std::make_unique<LibmodbusServer>(pty_->slavePath(),
                                                std::initializer_list<quint16>{0x1234, 0xBEEF});
    QVERIFY(server_->running());
}

void TestModbusPeer::cleanup() {
    server_.reset();
    pty_.reset();
}

ModbusReply TestModbusPeer::exchange(const ModbusRequestFields& fields, qsizetype replySize) {
    const ModbusRequest built = buildModbusRequest(fields);
    if (!built.ok() || !pty_->send(built.frame))
        return {};
    const QByteArray answer = pty_->receive(replySize);
    if (answer.size() != replySize)
        qWarning("libmodbus answered %s", answer.toHex(' ').constData());
    return Modbus_Parser(answer);
}

QList<quint16> TestModbusPeer::readBack(int address, int count) {
    const ModbusReply reply = exchange(
        request("03", QString::number(address, 16), QString::number(count, 16)), 5 + 2 * count);
    return reply.recognized() && reply.crc->good() ? reply.values : QList<quint16>();
}

void TestModbusPeer::readHoldingRegisters() {
    const ModbusReply reply = exchange(request("03", "0000", "0002"), 9);
    QCOMPARE(reply.kind, ModbusReply::Kind::ReadReply);
    QVERIFY(reply.recognized());
    QVERIFY(reply.crc->good());
    const QList<QByteArray> lines = accountLines(reply);
    QCOMPARE(lines.value(0), QByteArray("Addr = 0A(10)  Funk = 03(3)\r"));
    QCOMPARE(lines.value(1), QByteArray("Number param = 2\r"));
    QCOMPARE(lines.value(2), QByteArray("Value #1 = 1234(4660)\r"));
    QCOMPARE(lines.value(3), QByteArray("Value #2 = BEEF(48879)\r"));
    QVERIFY(lines.value(4).endsWith("  Good\r"));
}

void TestModbusPeer::writeSingleRegister() {
    ModbusRequestFields f = request("06", "5", "300");
    f.Check9 = false; // the value in decimal
    const ModbusReply echo = exchange(f, 8);
    QCOMPARE(echo.kind, ModbusReply::Kind::WriteEcho);
    QVERIFY(echo.recognized());
    QVERIFY(echo.crc->good());
    QCOMPARE(accountLines(echo).value(1), QByteArray("DataAddr = 0005(5)  Value = 012C(300)\r"));
    QCOMPARE(readBack(5, 1), QList<quint16>{300});
}

void TestModbusPeer::writeMultipleRegisters() {
    ModbusRequestFields f = request("10", "0002", "0003");
    f.Check4 = true;
    f.Text7 = "000A0014FFFF";
    const ModbusReply echo = exchange(f, 8);
    QCOMPARE(echo.kind, ModbusReply::Kind::WriteEcho);
    QVERIFY(echo.crc->good());
    QCOMPARE(accountLines(echo).value(1), QByteArray("DataAddr = 0002(2)  Value = 0003(3)\r"));
    QCOMPARE(readBack(0, 5), (QList<quint16>{0x1234, 0xBEEF, 10, 20, 0xFFFF}));
}

// libmodbus answers with exception 0x02 (illegal data address). Its three-byte body reads like a
// read reply whose byte count does not fit, so the account stops after the header.
void TestModbusPeer::addressOutOfRange() {
    const ModbusReply reply = exchange(request("03", "0100", "0001"), 5);
    QCOMPARE(reply.function, std::optional<quint8>(0x83));
    QVERIFY(!reply.recognized());
    QCOMPARE(renderModbusReply(reply),
             QByteArray("Addr = 0A(10)  Funk = 83(131)\r\n Package not recognized \r\n\r\n"));
    // The exchange left the server answering.
    QCOMPARE(readBack(1, 1), QList<quint16>{0xBEEF});
}

QTEST_GUILESS_MAIN(TestModbusPeer)
#include "tst_modbuspeer.moc"
