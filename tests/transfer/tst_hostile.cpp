// Junk during a transfer, on both links: random bytes, empty and 65,507-byte datagrams from
// another sender, the same junk on the board's own line (through a relay the window takes for
// the board: over UDP from the board's address, on a serial line in the byte stream), and
// console-text frames whose length byte lies. Junk may end a transfer, or eat a reply so that
// it waits until "X"; it never crashes the window, and a transfer that reports success has
// the board's data: a received file exactly, an uploaded program exactly, a saved listing
// with every byte of the board's in order (junk on the board's own line cannot be told from
// the board's text and stays in it). Each row says what the operator saw.
#include "BoardWindow.h"

#include "console/ConsoleModel.h"
#include "core/LineEnds.h"
#include "form/TextProgressBar.h"

#include <QCheckBox>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum class Job { Upload, Save, Receive };
enum class Line { UdpOtherSender, UdpBoardAddress, Serial, FramedSerial };

const QByteArray Program = "10 PRINT 1\r\n20 PRINT 2\r\n30 PRINT 3\r\n40 END\r\n";

QByteArray boardFile() {
    QByteArray bytes(90, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 11);
    return bytes;
}

// Random bytes, line ends among them; now and then a datagram's extremes, or a console-text
// frame for the board's address whose length byte promises more than comes.
QByteArray junk(QRandomGenerator& random, Line line) {
    const int pick = random.bounded(10);
    if (line != Line::Serial && line != Line::FramedSerial && pick == 0)
        return QByteArray();
    if (line != Line::Serial && line != Line::FramedSerial && pick == 1)
        return QByteArray(65507, char(random.bounded(256)));
    if (line == Line::FramedSerial && pick < 4)
        return QByteArray("\x10"
                          "C") +
               char(200) + QByteArray(random.bounded(1, 40), 'J');
    QByteArray bytes(random.bounded(1, 120), Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

int openRaw(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios raw{};
    if (fd >= 0 && ::tcgetattr(fd, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(fd, TCSANOW, &raw);
    }
    return fd;
}

QByteArray drain(int fd) {
    QByteArray got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        got.append(buffer, n);
    return got;
}

// Passes everything between the window and the board, and adds junk to what goes to the
// window on the board's own line.
class Relay : public QObject {
public:
    bool startUdp(quint16 boardPort) {
        boardPort_ = boardPort;
        if (!front_.bind(QHostAddress::LocalHost, 0) || !back_.bind(QHostAddress::LocalHost, 0))
            return false;
        connect(&front_, &QUdpSocket::readyRead, this, [this] {
            while (front_.hasPendingDatagrams()) {
                const QNetworkDatagram d = front_.receiveDatagram();
                window_ = d.senderAddress();
                windowPort_ = quint16(d.senderPort());
                back_.writeDatagram(d.data(), QHostAddress::LocalHost, boardPort_);
            }
        });
        connect(&back_, &QUdpSocket::readyRead, this, [this] {
            while (back_.hasPendingDatagrams())
                toWindow(back_.receiveDatagram().data());
        });
        return true;
    }
    bool startSerial(const QString& boardPath) {
        char name[256] = {};
        int slave = -1;
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return false;
        ::close(slave);
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        board_ = openRaw(boardPath);
        fromWindow_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        fromBoard_ = std::make_unique<QSocketNotifier>(board_, QSocketNotifier::Read);
        connect(fromWindow_.get(), &QSocketNotifier::activated, this, [this] {
            const QByteArray bytes = drain(master_);
            (void)::write(board_, bytes.constData(), size_t(bytes.size()));
        });
        connect(fromBoard_.get(), &QSocketNotifier::activated, this,
                [this] { toWindow(drain(board_)); });
        return board_ >= 0;
    }
    ~Relay() override {
        fromWindow_.reset();
        fromBoard_.reset();
        for (const int fd : {master_, board_}) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    quint16 port() const { return front_.localPort(); }
    QString path() const { return path_; }
    void toWindow(const QByteArray& bytes) {
        if (master_ >= 0)
            (void)::write(master_, bytes.constData(), size_t(bytes.size()));
        else if (windowPort_ != 0)
            front_.writeDatagram(bytes, window_, windowPort_);
    }

private:
    QUdpSocket front_;
    QUdpSocket back_;
    quint16 boardPort_ = 0;
    QHostAddress window_;
    quint16 windowPort_ = 0;
    int master_ = -1;
    int board_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> fromWindow_;
    std::unique_ptr<QSocketNotifier> fromBoard_;
};

} // namespace

Q_DECLARE_METATYPE(Job)
Q_DECLARE_METATYPE(Line)

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void junkDuringATransfer_data();
    void junkDuringATransfer();
};

void TestHostile::junkDuringATransfer_data() {
    QTest::addColumn<Line>("line");
    QTest::addColumn<Job>("job");
    const QList<std::pair<const char*, Line>> lines{
        {"UDP, another sender", Line::UdpOtherSender},
        {"UDP, the board's address", Line::UdpBoardAddress},
        {"serial", Line::Serial},
        {"framed serial", Line::FramedSerial}};
    const QList<std::pair<const char*, Job>> jobs{
        {"upload", Job::Upload}, {"Save", Job::Save}, {"flash receive", Job::Receive}};
    for (const auto& [lineName, line] : lines) {
        for (const auto& [jobName, job] : jobs)
            QTest::addRow("%s, %s", lineName, jobName) << line << job;
    }
}

void TestHostile::junkDuringATransfer() {
    QFETCH(Line, line);
    QFETCH(Job, job);
    Terminal w;
    QTemporaryDir disk;
    QVERIFY(writeFile(disk.filePath(QStringLiteral("DATA.BIN")), boardFile()));
    board::BoardOptions options;
    options.udpPort = 0;
    options.diskDir = disk.path();
    options.delayMs = 20; // the junk comes between the board's replies
    board::BoardSimulator board(options);
    QString why;
    QVERIFY2(board.start(&why), qPrintable(why));
    if (job == Job::Save) { // a program on the board to list
        QUdpSocket programmer;
        for (const QByteArray& programLine : splitLines(Program))
            programmer.writeDatagram(programLine + "\r\n", QHostAddress::LocalHost,
                                     board.udpPort());
        QTRY_COMPARE(board.interpreter().program().lineCount(), 4);
    }

    Relay relay;
    const bool serial = line == Line::Serial || line == Line::FramedSerial;
    if (serial) {
        QVERIFY(relay.startSerial(board.ptyPath()));
        w.rtuGatewayCheck->setChecked(line == Line::FramedSerial);
        w.rtuAddressEdit->setText(QStringLiteral("16"));
        w.portEdit->setText(relay.path());
        w.openPortButton->click();
        QVERIFY(w.link().serialOpen());
    } else if (line == Line::UdpBoardAddress) {
        QVERIFY(relay.startUdp(board.udpPort()));
        QVERIFY(connectWindow(w, relay.port()));
    } else {
        QVERIFY(connectWindow(w, board.udpPort()));
    }
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    QRandomGenerator random(quint32(QTest::currentDataTag()[0]) + quint32(job));
    QTimer flood;
    connect(&flood, &QTimer::timeout, this, [&] {
        const QByteArray bytes = junk(random, line);
        if (line == Line::UdpOtherSender)
            stranger.writeDatagram(bytes, QHostAddress::LocalHost, w.link().localPort());
        else
            relay.toWindow(bytes);
    });
    flood.start(15);

    const QString target = BoardWindow::path(QStringLiteral("target.out"));
    switch (job) {
    case Job::Upload:
        BoardWindow::write(QStringLiteral("prog.bas"), Program);
        w.dialogs().openAnswers << BoardWindow::path(QStringLiteral("prog.bas"));
        w.uploadProgramButton->click();
        break;
    case Job::Save:
        w.dialogs().saveAnswers << target;
        w.saveProgramButton->click();
        break;
    case Job::Receive:
        w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
        w.dialogs().saveAnswers << target;
        w.receiveFileButton->click();
        break;
    }
    const Transfers& transfers = w.transfers();
    QVERIFY(transfers.running());
    // A reply the junk ate leaves the transfer waiting, as it waits for a lost one: "X" ends it.
    bool stopped = false;
    if (!QTest::qWaitFor([&] { return !transfers.running(); }, 15000)) {
        stopped = true;
        (job == Job::Receive ? w.closeTransferButton : w.stopButton)->click();
        QTRY_VERIFY(!transfers.running());
    }
    flood.stop();

    QString outcome;
    switch (job) {
    case Job::Upload: {
        const bool done = w.console().text().contains("SEND BASIC PROGRAM COMPLETED");
        outcome = done ? QStringLiteral("completed") : QStringLiteral("refused");
        if (done) // the last line is on its way when the window is done
            QTRY_COMPARE(board.interpreter().program().lineCount(), 4);
        break;
    }
    case Job::Save: {
        const bool done = QFile::exists(target);
        outcome = done ? QStringLiteral("completed") : QStringLiteral("ended, listing in .part");
        if (!done)
            break;
        // Every byte the board listed, in order: junk on its line can only add bytes.
        const QByteArray saved = readFile(target);
        qsizetype at = 0;
        for (const char c : Program) {
            at = saved.indexOf(c, at) + 1;
            QVERIFY2(at > 0, saved.toPercentEncoding().constData());
        }
        if (line == Line::UdpOtherSender)
            QCOMPARE(saved, Program);
        else if (saved != Program)
            outcome += QStringLiteral(", the junk in the file");
        break;
    }
    case Job::Receive: {
        const bool done = w.fileProgressBar->text() == QLatin1String("OK");
        QCOMPARE(QFile::exists(target), done);
        outcome = done ? QStringLiteral("completed") : w.fileProgressBar->text();
        if (done)
            QCOMPARE(readFile(target), boardFile());
        else if (QFile::exists(target + QStringLiteral(".part")))
            QVERIFY(boardFile().startsWith(readFile(target + QStringLiteral(".part"))));
        break;
    }
    }
    if (line == Line::UdpOtherSender)
        QCOMPARE(outcome, QStringLiteral("completed"));
    QVERIFY(w.dialogs().errors.isEmpty());
    qInfo("%s: %s%s", QTest::currentDataTag(), qPrintable(outcome),
          stopped ? " after X (a reply was eaten)" : "");
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
