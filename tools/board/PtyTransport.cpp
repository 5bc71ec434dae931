#include "board/PtyTransport.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace board {

namespace {
// Replies wait here while nobody drains the pty; beyond this they are lost.
constexpr qsizetype kMaxOutgoing = 1024 * 1024;
constexpr int kRetryAfterEioMs = 200;
} // namespace

PtyTransport::PtyTransport(QObject* parent) : QObject(parent) {
}

PtyTransport::~PtyTransport() {
    if (!m_link.isEmpty() && QFileInfo(m_link).symLinkTarget() == m_path)
        QFile::remove(m_link);
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyTransport::open(const QString& linkPath, QString* error) {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        if (error)
            *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_path = QString::fromLocal8Bit(name);

    // Raw on the slave so no byte is translated or echoed; the slave stays open in this
    // process so the master never sees a hang-up when the terminal closes the port.
    termios tio{};
    if (::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyTransport::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyTransport::flushOutput);

    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.isSymLink())
            QFile::remove(linkPath);
        if (!QFile::link(m_path, linkPath)) {
            if (error)
                *error = QStringLiteral("cannot create the link %1 to %2").arg(linkPath, m_path);
            return false;
        }
        m_link = linkPath;
    }
    return true;
}

void PtyTransport::readMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, qsizetype(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // EIO or EOF: no slave is open right now. Back off instead of spinning on it.
        m_readNotifier->setEnabled(false);
        QTimer::singleShot(kRetryAfterEioMs, this, [this] { m_readNotifier->setEnabled(true); });
        return;
    }
}

void PtyTransport::send(const QByteArray& data) {
    if (m_master < 0 || m_outgoing.size() + data.size() > kMaxOutgoing)
        return;
    m_outgoing.append(data);
    flushOutput();
}

void PtyTransport::flushOutput() {
    while (!m_outgoing.isEmpty()) {
        const ssize_t n = ::write(m_master, m_outgoing.constData(), size_t(m_outgoing.size()));
        if (n > 0) {
            m_outgoing.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writeNotifier->setEnabled(true);
            return;
        }
        m_outgoing.clear(); // the pty is gone; nobody would read these bytes
        break;
    }
    m_writeNotifier->setEnabled(false);
}

} // namespace board
