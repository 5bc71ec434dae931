#include "core/Settings.h"

#include "core/FileAccess.h"
#include "core/LineEnds.h"

namespace {
// Far beyond any file this program writes; a larger one is not ours and is not read.
constexpr qint64 MaxSettingsBytes = 64 * 1024;

void readNumber(const QByteArray& value, int min, int max, int& into) {
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (ok && n >= min && n <= max)
        into = n;
}
} // namespace

Settings Settings::read(const QString& path) {
    const Expected<QByteArray> content = FileAccess::readFile(path, MaxSettingsBytes);
    return content ? parse(*content) : Settings{};
}

std::optional<Failure> Settings::write(const QString& path) const {
    return FileAccess::replaceFile(path, text());
}

Settings Settings::parse(const QByteArray& content) {
    Settings s;
    QByteArray section;
    for (const QByteArray& raw : splitLines(content)) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = section + '.' + line.left(equals).trimmed().toLower();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if (key == "console.timestamps")
            s.showTimestamps = value == "1" || value.toLower() == "true";
        else if (key == "link.reply_wait_ms")
            readNumber(value, MinReplyWaitMs, MaxReplyWaitMs, s.replyWaitMs);
        else if (key == "modbus.poll_period_ms")
            readNumber(value, MinPollPeriodMs, MaxPollPeriodMs, s.pollPeriodMs);
    }
    return s;
}

QByteArray Settings::text() const {
    return "[console]\r\ntimestamps=" + QByteArray(showTimestamps ? "1" : "0") +
           "\r\n\r\n[link]\r\nreply_wait_ms=" + QByteArray::number(replyWaitMs) +
           "\r\n\r\n[modbus]\r\npoll_period_ms=" + QByteArray::number(pollPeriodMs) + "\r\n";
}
