#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

// A board stand-in: the program opens the slave by its path, the test talks through the master.
// The slave stays open here too, so the master sees no hang-up between a close and an open.
class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        termios raw{};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            return;
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
    }
    ~PtyPair() { closeMaster(), ::close(slave_); }
    Q_DISABLE_COPY(PtyPair)

    bool ok() const { return master_ >= 0 && !path_.isEmpty(); }
    QString slavePath() const { return path_; }
    int slave() const { return slave_; }
    bool send(const QByteArray& bytes) {
        return ::write(master_, bytes.constData(), bytes.size()) == bytes.size();
    }
    // What the program wrote, gathered until `count` bytes came or the time ran out.
    QByteArray receive(qsizetype count, int timeoutMs = 20000) {
        QByteArray got;
        char buf[512];
        for (QDeadlineTimer end(timeoutMs); got.size() < count && !end.hasExpired();) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0)
                got.append(buf, qMax<ssize_t>(0, ::read(master_, buf, sizeof buf)));
        }
        return got;
    }
    // Waits, without the event loop, until the program's side holds `count` unread bytes.
    bool waitQueued(qsizetype count, int timeoutMs = 20000) {
        int queued = 0;
        for (QDeadlineTimer end(timeoutMs); !end.hasExpired(); QThread::msleep(1)) {
            if (::ioctl(slave_, FIONREAD, &queued) == 0 && queued >= count)
                return true;
        }
        return false;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};
