#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <sys/mount.h>

// A loaded machine may be slow: a wait ends as soon as its condition holds, or fails after 20 s.
#define WAIT_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 20000)
#define WAIT_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, 20000)

inline QByteArray readFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A 64 KB tmpfs mounted on the empty folder `path` while this lives: a disk that fills.
// Mounting needs root (as in CI); a test without it skips.
class SmallDisk {
public:
    explicit SmallDisk(const QString& path) : path_(QFile::encodeName(path)) {
        mounted_ = ::mount("tmpfs", path_.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount2(path_.constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY(SmallDisk)
    bool mounted() const { return mounted_; }

private:
    QByteArray path_;
    bool mounted_ = false;
};

// Every byte value once, 00 to FF.
inline QByteArray allBytes() {
    QByteArray out(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        out[b] = char(b);
    return out;
}

// `count` lines "PREFIXn" with n from `first`, each ended by `end`.
inline QByteArray numberedLines(const QByteArray& prefix, int count, int first = 0,
                                const QByteArray& end = "\r\n") {
    QByteArray out;
    for (int i = first; i < first + count; ++i)
        out += prefix + QByteArray::number(i) + end;
    return out;
}
