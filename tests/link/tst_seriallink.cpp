#include "PtyPair.h"
#include "SerialFixture.h"
#include "link/Gateway.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

namespace {

const QByteArray okFrame = QByteArray::fromHex("1043044F4B0D0A17A7");
const QByteArray listFrame = QByteArray::fromHex("1043064C4953540D0AE2D4");

QByteArray logText() {
    QFile log(QStringLiteral("Terminal.log"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray("<no log>");
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openAndClose_data();
    void openAndClose();
    void openFailures_data();
    void openFailures();
    void refusedWhileUdpConnected();
    void plainReceiveReachesLogAndRouter();
    void write_data();
    void write();
    void writeOnClosedPort();
    void lampSequence();
    void framedReceive();
    void partialFrameDroppedAfterSilence();
    void routerReplyEndsFrameLoop();
    void vanishedDevice();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<SerialFixture> f_;
};

void TestSerialLink::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir::setCurrent(dir_->path()));
    pty_ = std::make_unique<PtyPair>();
    QVERIFY(pty_->ok());
    f_ = std::make_unique<SerialFixture>();
}

void TestSerialLink::cleanup() {
    f_.reset();
    pty_.reset();
    QDir::setCurrent(QDir::tempPath());
    dir_.reset();
}

void TestSerialLink::openAndClose_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("speed");
    QTest::newRow("Option1") << 0 << int(B1200);
    QTest::newRow("Option4") << 3 << int(B9600);
    QTest::newRow("Option6") << 5 << int(B115200);
}

void TestSerialLink::openAndClose() {
    QFETCH(int, option);
    QFETCH(int, speed);
    Controls& c = f_->c;
    const QColor closedBase = c.Comm_number->palette().color(QPalette::Base);
    c.tbSendData->setText(QStringLiteral("typed"));

    QVERIFY(f_->open(pty_->slavePath(), option));
    QVERIFY(f_->dialogs.errors.isEmpty());
    termios t{};
    QCOMPARE(::tcgetattr(pty_->slave(), &t), 0);
    QCOMPARE(int(cfgetospeed(&t)), speed);
    QCOMPARE(c.tbSendData->text(), QString());
    QCOMPARE(c.BTNOpenCom->text(), QStringLiteral("Close"));
    QVERIFY(c.TMRComm->isActive());
    QCOMPARE(c.TMRComm->interval(), 20);
    QVERIFY(!c.Pic->isHidden());
    QVERIFY(c.Frame2->isEnabled() && c.Frame5->isEnabled());
    for (QRadioButton* o : c.Option)
        QVERIFY(!o->isEnabled());
    QCOMPARE(c.Comm_number->palette().color(QPalette::Base), QColor(0, 255, 0));

    // The button itself, as the operator clicks it.
    QTest::mouseClick(c.BTNOpenCom, Qt::LeftButton);
    QCOMPARE(f_->state.ComOpened, qint16(0));
    QVERIFY(!f_->port.isOpen());
    QCOMPARE(c.BTNOpenCom->text(), QStringLiteral("Open"));
    QVERIFY(!c.TMRComm->isActive());
    QVERIFY(c.Pic->isHidden());
    QVERIFY(!c.Frame2->isEnabled() && !c.Frame5->isEnabled());
    for (QRadioButton* o : c.Option)
        QVERIFY(o->isEnabled());
    QCOMPARE(c.Comm_number->palette().color(QPalette::Base), closedBase);
    QVERIFY(f_->dialogs.errors.isEmpty());

    // And open again on the same device.
    QVERIFY(f_->open(pty_->slavePath(), option));
}

void TestSerialLink::openFailures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("no digits") << "COM" << int(ErrorNumber::InvalidPortNumber);
    QTest::newRow("port 10") << "COM10" << int(ErrorNumber::InvalidPortNumber);
    QTest::newRow("missing device")
        << "/dev/brenmoor-no-such-port" << int(ErrorNumber::PortUnavailable);
}

void TestSerialLink::openFailures() {
    QFETCH(QString, name);
    QFETCH(int, number);
    QVERIFY(!f_->open(name));
    QCOMPARE(f_->dialogs.errors.size(), 1);
    QCOMPARE(f_->dialogs.errors.first().first, number);
    QVERIFY(!f_->dialogs.errors.first().second.isEmpty());
    QCOMPARE(f_->state.ComOpened, qint16(0));
    QCOMPARE(f_->c.BTNOpenCom->text(), QStringLiteral("Open"));
    QVERIFY(!f_->c.TMRComm->isActive());
    QVERIFY(f_->c.Option[0]->isEnabled());
}

void TestSerialLink::refusedWhileUdpConnected() {
    QVERIFY(f_->udp.setRemoteHost(QStringLiteral("127.0.0.1")));
    QVERIFY(f_->udp.setRemotePort(QStringLiteral("111")));
    QVERIFY(f_->udp.bind(QStringLiteral("0")));
    QCOMPARE(f_->udp.state(), UdpSocket::StateOpen);
    f_->c.tbSendData->setText(QStringLiteral("typed"));
    QVERIFY(!f_->open(pty_->slavePath()));
    QCOMPARE(f_->c.tbSendData->text(), QString());
    QVERIFY(f_->dialogs.errors.isEmpty());
    QCOMPARE(f_->c.BTNOpenCom->text(), QStringLiteral("Open"));
}

void TestSerialLink::plainReceiveReachesLogAndRouter() {
    QVERIFY(f_->open(pty_->slavePath(), 3));
    f_->c.Check3->setChecked(true); // "Via USB" without Check1 changes nothing
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    all += "READY\r\n";
    // In pieces, as a board's output arrives, with ticks in between.
    QByteArray seen;
    for (qsizetype at = 0; at < all.size(); at += 50) {
        QVERIFY(pty_->send(all.mid(at, 50)));
        seen += f_->tickUntil(qMin<qsizetype>(at + 50, all.size()) - seen.size());
    }
    QCOMPARE(seen.toHex(), all.toHex());
    QCOMPARE(f_->routed.join().toHex(), all.toHex());
    QCOMPARE(logText().toHex(), all.toHex());
    // The hex monitor sees every chunk before the router does.
    QCOMPARE(f_->calls.size(), 2 * f_->routed.size());
    for (qsizetype i = 0; i < f_->calls.size(); i += 2)
        QCOMPARE(f_->calls.mid(i, 2), (QStringList{"hex", "com"}));
    QCOMPARE(f_->c.Pic->fillColor(), QColor(255, 0, 0));
    QVERIFY(f_->console.text().isEmpty());
}

void TestSerialLink::write_data() {
    QTest::addColumn<bool>("check1");
    QTest::addColumn<bool>("check3");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("wire"); // empty: nothing may be written
    QTest::newRow("plain") << false << false << "16" << QByteArray("LIST\r\n")
                           << QByteArray("LIST\r\n");
    QTest::newRow("mdc") << true << true << "16" << QByteArray("PRINT 1\r\n")
                         << QByteArray("MDC 16,PRINT 1\r\n");
    QTest::newRow("mdc as typed") << true << true << "016" << QByteArray("LIST\r\n")
                                  << QByteArray("MDC 016,LIST\r\n");
    QTest::newRow("mdc too short") << true << true << "16" << QByteArray("\n") << QByteArray();
    QTest::newRow("framed") << true << false << "16" << QByteArray("LIST\r\n") << listFrame;
    QTest::newRow("framed 255") << true << false << "16" << QByteArray(253, 'x') + "\r\n"
                                << consoleTextFrame(16, QByteArray(253, 'x') + "\r\n").value();
    QTest::newRow("framed 256") << true << false << "16" << QByteArray(254, 'x') + "\r\n"
                                << QByteArray();
    QTest::newRow("framed address 256")
        << true << false << "256" << QByteArray("LIST\r\n") << QByteArray();
}

void TestSerialLink::write() {
    QFETCH(bool, check1);
    QFETCH(bool, check3);
    QFETCH(QString, address);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, wire);
    QVERIFY(f_->open(pty_->slavePath()));
    f_->c.Check1->setChecked(check1);
    f_->c.Check3->setChecked(check3);
    f_->c.Text3->setText(address);
    f_->state.RtuRxBuffer = "\x10\x43";

    QThread::msleep(20);
    QByteArray text = line;
    const int result = f_->link->WriteCOM32(text);
    QVERIFY(f_->c.TMRComm->remainingTime() > 10); // a send restarts the poll
    QCOMPARE(f_->state.RtuRxBuffer, QByteArray());
    QCOMPARE(f_->c.Pic->fillColor(), QColor(0, 192, 0));
    QCOMPARE(result, int(wire.size()));
    if (wire.isEmpty()) {
        QCOMPARE(pty_->drain().toHex(), QByteArray());
    } else {
        QCOMPARE(text.toHex(), wire.toHex());
        QCOMPARE(pty_->receive(wire.size()).toHex(), wire.toHex());
    }
}

void TestSerialLink::writeOnClosedPort() {
    f_->state.RtuRxBuffer = "\x10\x43\x04";
    QByteArray text("LIST\r\n");
    QCOMPARE(f_->link->WriteCOM32(text), 0);
    QCOMPARE(text, QByteArray("LIST\r\n"));
    QCOMPARE(f_->state.RtuRxBuffer, QByteArray());
    QCOMPARE(f_->c.Pic->fillColor(), QColor(255, 255, 255)); // the lamp was not touched
}

void TestSerialLink::lampSequence() {
    const QColor white(255, 255, 255), grey(128, 128, 128), red(255, 0, 0), green(0, 192, 0);
    Lamp* pic = f_->c.Pic;
    QVERIFY(f_->open(pty_->slavePath()));
    QCOMPARE(pic->fillColor(), white);
    auto ticks = [this](int n) {
        for (int i = 0; i < n; ++i)
            f_->link->TMRComm_Timer();
    };
    ticks(9);
    QCOMPARE(pic->fillColor(), white);
    ticks(1); // 10th tick after start
    QCOMPARE(pic->fillColor(), grey);
    ticks(8);
    QCOMPARE(pic->fillColor(), grey);
    ticks(1); // then every 9
    QCOMPARE(pic->fillColor(), white);

    // Counting goes on across a close and an open: 3 ticks now, 6 after reopening.
    ticks(3);
    f_->link->BTNOpenCom_Click();
    QVERIFY(f_->open(pty_->slavePath()));
    ticks(5);
    QCOMPARE(pic->fillColor(), white);
    ticks(1);
    QCOMPARE(pic->fillColor(), grey);

    // A received chunk turns it red; the next toggle makes it white, not grey.
    QVERIFY(pty_->send("x"));
    QThread::msleep(20);
    ticks(1);
    QCOMPARE(f_->state.RxData, QByteArray("x"));
    QCOMPARE(pic->fillColor(), red);
    ticks(7);
    QCOMPARE(pic->fillColor(), red);
    ticks(1);
    QCOMPARE(pic->fillColor(), white);

    // A send turns it green until the next toggle.
    QByteArray line("A\r\n");
    QCOMPARE(f_->link->WriteCOM32(line), 3);
    QCOMPARE(pic->fillColor(), green);
    ticks(8);
    QCOMPARE(pic->fillColor(), green);
    ticks(1);
    QCOMPARE(pic->fillColor(), white);
    QCOMPARE(f_->state.BlinkTicks, qint16(1));
}

void TestSerialLink::framedReceive() {
    QVERIFY(f_->open(pty_->slavePath()));
    f_->c.Check1->setChecked(true);
    QByteArray badCrc = listFrame;
    badCrc[10] = '\x00';
    const QByteArrayList chunks{okFrame.first(3), okFrame.sliced(3), okFrame + badCrc};
    for (const QByteArray& chunk : chunks) {
        QVERIFY(pty_->send(chunk));
        QThread::msleep(20);
        f_->link->TMRComm_Timer();
    }
    QCOMPARE(f_->routed, (QByteArrayList{"OK\r\n", "OK\r\n", "LIST\r\n"}));
    QCOMPARE(f_->console.text(), QByteArray("\r\nError CRC  >> LIST\r\n"));
    QCOMPARE(f_->state.RtuRxBuffer, QByteArray());
    // Log and hex monitor get the raw chunks, headers and CRCs included.
    QCOMPARE(logText().toHex(), chunks.join().toHex());
    QCOMPARE(f_->calls.count(QStringLiteral("hex")), 3);
}

void TestSerialLink::partialFrameDroppedAfterSilence() {
    QVERIFY(f_->open(pty_->slavePath()));
    f_->c.Check1->setChecked(true);
    QVERIFY(pty_->send(okFrame.first(4)));
    QThread::msleep(20);
    f_->link->TMRComm_Timer();
    QCOMPARE(f_->state.RtuRxBuffer, okFrame.first(4));
    for (int i = 0; i < 4; ++i)
        f_->link->TMRComm_Timer();
    QCOMPARE(f_->state.RtuRxBuffer, okFrame.first(4));
    f_->link->TMRComm_Timer(); // fifth silent tick
    QCOMPARE(f_->state.RtuRxBuffer, QByteArray());
    QCOMPARE(f_->state.RtuIdleTicks, qint16(5));
    f_->link->TMRComm_Timer();
    QCOMPARE(f_->state.RtuIdleTicks, qint16(5));

    // A new frame starts clean; using the buffer up restarts the timer for a full interval.
    QVERIFY(pty_->send(okFrame));
    QThread::msleep(20);
    QCOMPARE(f_->c.TMRComm->remainingTime(), 0);
    f_->link->TMRComm_Timer();
    QCOMPARE(f_->routed, QByteArrayList{"OK\r\n"});
    QCOMPARE(f_->console.text(), QByteArray());
    QVERIFY(f_->c.TMRComm->remainingTime() > 10);
}

// A reply sent from the router empties the receive buffer, so frames behind the one that
// caused it are not handed on in that tick.
void TestSerialLink::routerReplyEndsFrameLoop() {
    QVERIFY(f_->open(pty_->slavePath()));
    f_->c.Check1->setChecked(true);
    f_->link->comParser = [this] {
        f_->routed << f_->state.RxData;
        QByteArray reply("NEXT\r\n");
        f_->link->WriteCOM32(reply);
    };
    QVERIFY(pty_->send(okFrame + listFrame));
    QThread::msleep(20);
    f_->link->TMRComm_Timer();
    QCOMPARE(f_->routed, QByteArrayList{"OK\r\n"});
    QCOMPARE(f_->state.RtuRxBuffer, QByteArray());
    const QByteArray reply = consoleTextFrame(16, "NEXT\r\n").value();
    QCOMPARE(pty_->receive(reply.size()).toHex(), reply.toHex());
}

void TestSerialLink::vanishedDevice() {
    QVERIFY(f_->open(pty_->slavePath()));
    pty_->closeMaster();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    // The timer runs as in the window, with the event loop turning.
    QTest::qWait(400);
    const double cpuUsed = cpuSeconds() - cpuBefore;
    QVERIFY2(cpuUsed < 0.2, qPrintable(QStringLiteral("%1 s of CPU in 0.4 s").arg(cpuUsed)));
    QVERIFY(!f_->port.isOpen());
    QVERIFY(!f_->calls.contains(QStringLiteral("com")));
    QByteArray line("A\r\n");
    QCOMPARE(f_->link->WriteCOM32(line), 0);

    // The operator closes and opens again on a device that is back.
    QCOMPARE(f_->state.ComOpened, qint16(1));
    f_->link->BTNOpenCom_Click();
    QCOMPARE(f_->state.ComOpened, qint16(0));
    QVERIFY(f_->dialogs.errors.isEmpty());
    PtyPair again;
    QVERIFY(again.ok());
    QVERIFY(f_->open(again.slavePath()));
    QVERIFY(again.send("back\r\n"));
    QCOMPARE(f_->tickUntil(6), QByteArray("back\r\n"));
}

QTEST_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
