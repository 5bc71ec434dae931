// The serial link through the real window and a pseudo-terminal; the test calls each tick's poll.
#include "PtyPair.h"
#include "TestSupport.h"

#include "console/ConsoleModel.h"
#include "console/Router.h"
#include "form/Lamp.h"
#include "link/BoardLink.h"
#include "link/Gateway.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "transfer/Transfers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <tuple>

namespace {
const QByteArray okFrame = QByteArray::fromHex("1043044F4B0D0A17A7");
const QByteArray listFrame = QByteArray::fromHex("1043064C4953540D0AE2D4");
} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void init() {
        pty_ = std::make_unique<PtyPair>();
        QVERIFY(pty_->ok());
        w_ = std::make_unique<Terminal>();
    }
    void cleanup() { w_.reset(); }
    void portsOpenedClosedAndRefused();
    void write();
    void lampAndFramedReceive();
    void vanishedDevice();

private:
    bool open(const QString& path, int option = 5) {
        w_->portEdit->setText(path);
        w_->speedOptions[option]->setChecked(true);
        w_->serialLink().openCloseClicked();
        return w_->link().serialOpen();
    }
    // n timer ticks; the activity lamp's colour after them.
    QColor ticks(int n) {
        for (int i = 0; i < n; ++i)
            w_->link().poll();
        return w_->activityLamp->fillColor();
    }
    // The board sends; once the bytes wait on the program's side, exactly one tick reads them.
    void feed(const QByteArray& bytes) {
        QVERIFY(pty_->send(bytes));
        QVERIFY(pty_->waitQueued(bytes.size()));
        ticks(1);
    }
    // A line written as the transfers write it: the characters written, 0 when nothing went out.
    int writeCom32(QByteArray& text) {
        const Expected<qint64> written = w_->link().writeSerial(text);
        return written ? int(*written) : 0;
    }

    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<Terminal> w_;
};

// Refused with a box that names the fault, or without one while UDP is connected. Every speed
// option reaches the port; Connect and Disconnect are refused while it is open.
void TestSerialLink::portsOpenedClosedAndRefused() {
    const QStringList found{"/dev/ttyUSB1", "/dev/ttyS0",   "/dev/ttyS8", "/dev/ttyS9",
                            "/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyS10"};
    QCOMPARE(SerialPort::portChoices(found), (QStringList{"/dev/ttyACM0", "COM1", "/dev/ttyS10",
                                                          "COM9", "/dev/ttyS9", "/dev/ttyUSB1"}));
    Terminal& w = *w_;
    const QString path = pty_->slavePath();
    QList<ScriptedDialogs::Error>& errors = w.dialogs().errors;
    const auto refused = [this](const QString& port) {
        QVERIFY(!open(port) && !w_->link().polling());
        QCOMPARE(w_->openPortButton->text(), QStringLiteral("Open"));
    };
    refused(QStringLiteral("COM"));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.takeFirst().number, int(ErrorNumber::InvalidPortNumber));
    // The operator must learn that the port is taken, not that permissions are wrong.
    auto other = std::make_unique<SerialPort>();
    other->setPortPath(path);
    QVERIFY(!other->open());
    refused(path);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().number, int(ErrorNumber::PortOpen));
    QCOMPARE(errors.takeFirst().description,
             path + QStringLiteral(" is in use by another program"));
    other.reset();

    const int speeds[] = {B1200, B2400, B4800, B9600, B19200, B115200};
    for (int option = 0; option < 6; ++option) {
        QVERIFY(open(path, option));
        termios t{};
        QCOMPARE(::tcgetattr(pty_->slave(), &t), 0);
        QCOMPARE(int(cfgetospeed(&t)), speeds[option]);
        QVERIFY(w.link().polling() && w.rtuFrame->isEnabled() &&
                !w.speedOptions[option]->isEnabled());
        QCOMPARE(accessibleText(w.openPortButton), QStringLiteral("Close"));
        w.localPortEdit->setText(QStringLiteral("0"));
        for (QPushButton* button : {w.connectButton, w.disconnectButton}) {
            w.commandEdit->setText(QStringLiteral("typed"));
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(w.commandEdit->text().isEmpty() && !w.link().udpOpen() &&
                    w.disconnectedMark->isVisibleTo(&w) && !w.ethGatewayFrame->isEnabled() &&
                    w.connectButton->isEnabled() && w.flashDiskFrame->isEnabled());
        }
        QTest::mouseClick(w.openPortButton, Qt::LeftButton); // the port is let go
        QVERIFY(!w.link().serialOpen() && !w.link().polling() && !w.rtuFrame->isEnabled() &&
                w.speedOptions[option]->isEnabled());
        QCOMPARE(accessibleText(w.openPortButton), QStringLiteral("Open"));
    }
    QVERIFY(
        !w.link().openUdp(QStringLiteral("127.0.0.1"), QStringLiteral("111"), QStringLiteral("0")));
    refused(path);
    QVERIFY(errors.isEmpty());
}

// What a line written as the transfers write it puts on the wire in each mode; where nothing may
// be written, a marker written after it must come first. The port is closed in the first row.
void TestSerialLink::write() {
    const QList<std::tuple<QString, QByteArray, QByteArray>> rows{
        {"closed", "LIST\r\n", ""},
        {"plain", "LIST\r\n", "LIST\r\n"},
        {"mdc", "PRINT 1\r\n", "MDC 16,PRINT 1\r\n"},
        {"mdc", "\n", ""}, // too short to wrap
        {"framed", "LIST\r\n", listFrame}};
    for (auto [mode, line, wire] : rows) {
        w_->rtuGatewayCheck->setChecked(mode == "mdc" || mode == "framed");
        w_->viaUsbCheck->setChecked(mode == "mdc");
        QByteArray text = line;
        QCOMPARE(writeCom32(text), int(wire.size()));
        QCOMPARE(w_->activityLamp->fillColor(),
                 mode != "closed" ? SerialLink::sentColor() : QColor(Qt::white));
        QCOMPARE(text.toHex(), (wire.isEmpty() ? line : wire).toHex());
        if (mode == "closed")
            QVERIFY(open(pty_->slavePath()));
        if (wire.isEmpty()) {
            w_->rtuGatewayCheck->setChecked(false);
            wire = "MARK\r\n";
            QCOMPARE(writeCom32(wire), 6);
        }
        QCOMPARE(pty_->receive(wire.size()).toHex(), wire.toHex());
    }
}

void TestSerialLink::lampAndFramedReceive() {
    QVERIFY(open(pty_->slavePath()));
    QCOMPARE(ticks(10), SerialLink::blinkOffColor()); // the 10th tick after start, then every 9
    QCOMPARE(ticks(9), SerialLink::blinkOnColor());
    feed("x");
    QCOMPARE(ticks(7), SerialLink::receivedColor());
    QCOMPARE(ticks(1), SerialLink::blinkOnColor()); // a toggle after traffic gives on, not off

    w_->rtuGatewayCheck->setChecked(true);
    QByteArray badCrc = listFrame;
    badCrc[10] = '\x00';
    const QByteArrayList chunks{okFrame.first(3), okFrame.sliced(3), okFrame + badCrc};
    for (const QByteArray& chunk : chunks)
        feed(chunk);
    QCOMPARE(w_->console().text(), QByteArray("xOK\r\nOK\r\n\r\nError CRC  >> LIST\r\nLIST\r\n"));
    // The log gets the raw chunks, headers and CRCs included.
    QVERIFY(w_->logged().endsWith(chunks.join()));

    // A transfer answering a routed frame empties the frame buffer: the tick's rest is its own.
    const QByteArray shown = w_->console().text();
    QByteArrayList routed;
    const auto toTransfers = w_->router().toTransfers;
    w_->router().toTransfers = [this, &routed](const QByteArray& text, const QString&) {
        routed << text;
        QByteArray next("20 END\r\n");
        writeCom32(next);
    };
    feed(okFrame + listFrame);
    QCOMPARE(routed, QByteArrayList{"OK\r\n"});
    QCOMPARE(pty_->receive(13).toHex(), consoleTextFrame(16, "20 END\r\n").value().toHex());
    QCOMPARE(w_->console().text(), shown);
    w_->router().toTransfers = toTransfers;

    // A partial frame survives four silent polls; after the fifth, its rest is no frame.
    for (int silent : {4, 5}) {
        feed(okFrame.first(4));
        ticks(silent);
        feed(okFrame.sliced(4));
    }
    QVERIFY(w_->console().text().endsWith("LIST\r\nOK\r\n\r\nError ADDR  >> K\r\n\x17\xA7"
                                          "\r\nError CMD  >> K\r\n\x17\xA7"));
}

// The device goes away mid-upload: the upload ends with the port, told once.
void TestSerialLink::vanishedDevice() {
    QVERIFY(open(pty_->slavePath()));
    QVERIFY(writeFile(QStringLiteral("prog.bas"), "10 A\r\n20 B\r\n30 C\r\n"));
    w_->dialogs().openAnswers << QDir::current().absoluteFilePath(QStringLiteral("prog.bas"));
    w_->uploadProgramButton->click();
    QCOMPARE(pty_->receive(6), QByteArray("10 A\r\n"));
    QVERIFY(w_->transfers().basic().uploading());
    pty_->closeMaster();
    // With the event loop turning: told once, the poll stops, the panel stays open to be closed.
    WAIT_VERIFY(w_->link().serialLost());
    QVERIFY(!w_->link().polling() && !w_->transfers().basic().running());
    QCOMPARE(w_->dialogs().errors.size(), 1);
    QCOMPARE(w_->openPortButton->text(), QStringLiteral("Close"));

    // The operator closes and opens again on a device that is back: every byte comes through.
    w_->serialLink().openCloseClicked();
    pty_ = std::make_unique<PtyPair>();
    QVERIFY(open(pty_->slavePath(), 3));
    const QByteArray all = allBytes() + "back\r\n";
    feed(all);
    QVERIFY(w_->console().text().endsWith(all));
    QVERIFY(w_->logged().endsWith(all));
}

QTEST_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
