#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace board {

// The board's flash disk: named files with one open file at a time, either for writing
// (append) or for reading (a cursor that walks forward). Contents stay in memory; with a
// folder they are also written through so an operator can inspect them.
class FlashDisk {
public:
    static constexpr qsizetype kCapacity = 1024 * 1024;
    static constexpr qsizetype kMaxNameLength = 64;

    explicit FlashDisk(const QString& folder = QString());

    static bool isValidName(const QByteArray& name);

    bool openForWrite(const QByteArray& name); // creates or empties
    bool openForRead(const QByteArray& name);
    bool append(const QByteArray& bytes);
    // Next bytes of the file open for reading, at most `count`; false when none is open.
    bool read(qsizetype count, QByteArray* out);
    void close();

    int fileCount() const { return int(m_files.size()); }
    qsizetype usedBytes() const;
    qsizetype freeBytes() const { return kCapacity - usedBytes(); }

private:
    enum class Mode { Closed, Write, Read };

    void loadFolder();
    bool writeThrough(const QByteArray& bytes, bool truncate);

    QString m_folder;
    QMap<QString, QByteArray> m_files;
    QString m_open;
    Mode m_mode = Mode::Closed;
    qsizetype m_cursor = 0;
};

} // namespace board
