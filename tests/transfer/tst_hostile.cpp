// Junk during a transfer: from another sender it is set aside, told once, and the transfer
// completes exactly; in the board's serial stream it may eat a reply, never crash the window, and
// a transfer that reports success has the board's data.
#include "BoardWindow.h"

#include "core/LineEnds.h"

#include <QCheckBox>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum class Job { Upload, Save, Send, Receive };
enum class Line { Stranger, Serial, FramedSerial };

QByteArray junk(QRandomGenerator& random, Line line) {
    const int pick = random.bounded(10);
    if (line == Line::Stranger && pick < 6)
        return QByteArrayList{"OK\r\n", QByteArray(40, 'A') + "OK\r\n",
                              "ND\r\n", "ERROR\r\n",
                              "",       QByteArray(65507, char(random.bounded(256)))}
            .at(pick);
    if (line == Line::FramedSerial && pick < 4) // a frame for address 16 whose length lies
        return "\x10\x43\xC8" + QByteArray(random.bounded(1, 40), 'J');
    QByteArray bytes(random.bounded(1, 120), Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

int raw(int fd) { // and non-blocking
    termios t{};
    if (fd >= 0 && ::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return fd;
}

// A pseudo-terminal between the window and the board's, adding junk towards the window. Bytes a
// full terminal cannot take yet wait: the window must lose nothing the board sent.
class Relay : public QObject {
public:
    bool start(const QString& boardPath) {
        char name[256] = {};
        int slave = -1;
        if (::openpty(&window_.fd, &slave, name, nullptr, nullptr) != 0)
            return false;
        ::close(slave);
        raw(window_.fd);
        path = QString::fromLocal8Bit(name);
        board_.fd = raw(::open(QFile::encodeName(boardPath).constData(), O_RDWR | O_NOCTTY));
        if (board_.fd < 0)
            return false;
        for (End* from : {&window_, &board_}) {
            End* to = from == &window_ ? &board_ : &window_;
            connect(new QSocketNotifier(from->fd, QSocketNotifier::Read, this),
                    &QSocketNotifier::activated, this, [this, from, to] {
                        char buffer[4096];
                        for (ssize_t n; (n = ::read(from->fd, buffer, sizeof buffer)) > 0;)
                            pass(*to, QByteArray(buffer, n));
                    });
            from->writable = new QSocketNotifier(from->fd, QSocketNotifier::Write, this);
            from->writable->setEnabled(false);
            connect(from->writable, &QSocketNotifier::activated, this,
                    [this, from] { pass(*from, {}); });
        }
        return true;
    }
    ~Relay() override {
        qDeleteAll(findChildren<QSocketNotifier*>()); // before their descriptors close
        for (const End* end : {&window_, &board_})
            ::close(end->fd); // -1 when never opened: harmless
    }

    QString path;
    void toWindow(const QByteArray& bytes) { pass(window_, bytes); }

private:
    struct End {
        int fd = -1;
        QByteArray waiting;
        QSocketNotifier* writable = nullptr;
    };
    void pass(End& to, const QByteArray& bytes) {
        to.waiting += bytes;
        for (ssize_t n; !to.waiting.isEmpty() && (n = ::write(to.fd, to.waiting.constData(),
                                                              size_t(to.waiting.size()))) > 0;)
            to.waiting.remove(0, n);
        to.writable->setEnabled(!to.waiting.isEmpty());
    }

    End window_, board_;
};

} // namespace

Q_DECLARE_METATYPE(Job)
Q_DECLARE_METATYPE(Line)

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void junkDuringATransfer_data() {
        QTest::addColumn<Line>("line");
        QTest::addColumn<Job>("job");
        const char* lines[] = {"UDP, another sender", "serial", "framed serial"};
        const char* jobs[] = {"upload", "Save", "flash send", "flash receive"};
        for (int i = 0; i < 12; ++i)
            QTest::addRow("%s, %s", lines[i / 4], jobs[i % 4]) << Line(i / 4) << Job(i % 4);
    }
    void junkDuringATransfer();
};

void TestHostile::junkDuringATransfer() {
    QFETCH(Line, line);
    QFETCH(Job, job);
    BoardWindow t;
    Terminal& w = t.w;
    const QByteArray bytes = stepped(90, 11);
    QVERIFY(QDir::current().mkdir(QStringLiteral("disk")));
    QVERIFY(writeFile(BoardWindow::path("disk/DATA.BIN"), job == Job::Receive ? bytes : ""));
    board::BoardOptions options;
    options.diskDir = BoardWindow::path("disk");
    options.delayMs = 40; // the junk comes between the board's replies
    QVERIFY(t.boot(options));
    board::BoardSimulator& board = *t.board;
    if (job == Job::Save) { // a program on the board to list
        QUdpSocket programmer;
        for (const QByteArray& programLine : splitLines(Program))
            programmer.writeDatagram(programLine + "\r\n", QHostAddress::LocalHost,
                                     board.udpPort());
        WAIT_COMPARE(board.interpreter().program().lineCount(), 4);
    }
    Relay relay;
    if (line != Line::Stranger) {
        QVERIFY(relay.start(board.ptyPath()));
        w.rtuGatewayCheck->setChecked(line == Line::FramedSerial);
        w.rtuAddressEdit->setText(QStringLiteral("16"));
        w.portEdit->setText(relay.path);
        w.openPortButton->click();
        QVERIFY(w.link().serialOpen());
    } else {
        QVERIFY(connectWindow(w, board.udpPort()));
    }
    bool told = false; // the notice may be wiped soon after (an upload shows only its line)
    connect(&w.console(), &ConsoleModel::changed, this,
            [&] { told = told || w.console().text().contains("was set aside"); });
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    QRandomGenerator random(quint32(line) * 4 + quint32(job));
    QTimer flood;
    connect(&flood, &QTimer::timeout, this, [&] {
        const QByteArray noise = junk(random, line);
        if (line == Line::Stranger)
            stranger.writeDatagram(noise, QHostAddress::LocalHost, w.link().localPort());
        else
            relay.toWindow(noise);
    });
    flood.start(line == Line::Stranger ? 5 : 15);

    const QString target = BoardWindow::path("target.out");
    w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
    const bool flash = job == Job::Send || job == Job::Receive;
    job == Job::Upload ? t.upload(Program)
    : job == Job::Save ? t.save("target.out")
    : job == Job::Send ? t.sendFile(bytes)
                       : t.receiveFile("target.out");
    const Transfers& transfers = w.transfers();
    QVERIFY(transfers.running());
    // A reply the junk ate leaves the transfer waiting until "X"; a stranger's junk eats nothing.
    const bool stopped = !QTest::qWaitFor([&] { return !transfers.running(); },
                                          line == Line::Stranger ? 60000 : 15000);
    // What the board holds as the window is done: a fake "OK" would have pushed data out ahead.
    const int linesHeld = board.interpreter().program().lineCount();
    const qsizetype bytesHeld = board.interpreter().disk().usedBytes();
    if (stopped) {
        (flash ? w.closeTransferButton : w.stopButton)->click();
        WAIT_VERIFY(!transfers.running());
    }
    flood.stop();

    const QByteArray got = readFile(target);
    const bool done = flash ? w.fileProgressBar->text() == QLatin1String("OK")
                      : job == Job::Save
                          ? QFile::exists(target)
                          : w.console().text().contains("SEND BASIC PROGRAM COMPLETED");
    if (done && job == Job::Upload) { // the last line is on its way when the window is done
        QVERIFY2(linesHeld >= 3, qPrintable(QString::number(linesHeld)));
        WAIT_COMPARE(board.interpreter().program().lineCount(), 4);
    }
    if (job == Job::Save) { // every byte the board listed, in order: junk can only add bytes
        qsizetype at = 0;
        for (const char c : done ? Program : QByteArray()) {
            at = got.indexOf(c, at) + 1;
            QVERIFY2(at > 0, got.toPercentEncoding().constData());
        }
    }
    if (done && job == Job::Send)
        QCOMPARE(bytesHeld, bytes.size());
    if (job == Job::Receive) {
        QCOMPARE(QFile::exists(target), done);
        QVERIFY(bytes.startsWith(done ? got : readFile(target + QStringLiteral(".part"))));
    }
    if (line == Line::Stranger) {
        QVERIFY(done);
        QVERIFY2(told, "the junk came while the transfer ran, and the console said so");
        QVERIFY(w.console().text().count("was set aside") <= 1);
    }
    if (done && (job == Job::Receive || (job == Job::Save && line == Line::Stranger)))
        QCOMPARE(got, job == Job::Save ? Program : bytes);
    QVERIFY(w.dialogs().errors.isEmpty());
    qInfo("%s", done ? "completed" : stopped ? "stopped by X: a reply was eaten" : "ended");
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
