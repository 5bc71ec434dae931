#include "board/BoardProbes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// On a timeout the caller's comparison shows whatever did arrive.
constexpr int kTimeoutMs = 5000;

bool endsReply(const QByteArray& datagram) {
    return datagram.endsWith("OK\r\n") || datagram.endsWith("ND\r\n") ||
           datagram.endsWith("ERROR\r\n") || datagram.endsWith("Login:\r\n");
}
} // namespace

QByteArray fromHex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced));
}

UdpProbe::UdpProbe(quint16 boardPort) : m_boardPort(boardPort) {
    m_socket.bind(QHostAddress::LocalHost, 0);
    connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
        while (m_socket.hasPendingDatagrams())
            received.append(m_socket.receiveDatagram().data());
    });
}

void UdpProbe::send(const QByteArray& bytes) {
    m_socket.writeDatagram(bytes, QHostAddress::LocalHost, m_boardPort);
}

QList<QByteArray> UdpProbe::exchange(const QByteArray& line) {
    received.clear();
    send(line + "\r\n");
    static_cast<void>(QTest::qWaitFor(
        [this] { return !received.isEmpty() && endsReply(received.last()); }, kTimeoutMs));
    return received;
}

QByteArray UdpProbe::request(const QByteArray& datagram) {
    received.clear();
    send(datagram);
    static_cast<void>(QTest::qWaitFor([this] { return !received.isEmpty(); }, kTimeoutMs));
    return received.value(0);
}

PtyProbe::PtyProbe(const QString& path) {
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    termios tio{};
    ::tcgetattr(m_fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_fd, TCSANOW, &tio);
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            received.append(buffer, qsizetype(n));
    });
}

PtyProbe::~PtyProbe() {
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PtyProbe::send(const QByteArray& bytes) {
    // The pty holds only a few kilobytes: let the simulator drain it between writes.
    QDeadlineTimer deadline(kTimeoutMs);
    qsizetype at = 0;
    while (at < bytes.size() && !deadline.hasExpired()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n > 0)
            at += n;
        else if (errno != EAGAIN && errno != EINTR)
            return false;
        else
            QCoreApplication::processEvents();
    }
    return at == bytes.size();
}

QByteArray PtyProbe::request(const QByteArray& bytes, qsizetype size) {
    received.clear();
    send(bytes);
    static_cast<void>(QTest::qWaitFor([&] { return received.size() >= size; }, kTimeoutMs));
    return received;
}
