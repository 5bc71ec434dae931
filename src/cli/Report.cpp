#include "cli/Report.h"

#include "core/Cp1251.h"

#include <QJsonArray>
#include <QJsonDocument>

void Report::write(std::FILE* to, QByteArrayView bytes) {
    std::fwrite(bytes.data(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

void Report::board(QByteArrayView bytes) {
    if (mode_.json) {
        boardText_ += bytes;
        return;
    }
    if (mode_.raw)
        return write(out_, bytes);
    QByteArray text;
    text.reserve(bytes.size());
    lineEnds_.scan(
        bytes, [&](QByteArrayView run) { text += run; }, [&] { text += '\n'; });
    write(out_, stamped(text));
}

void Report::lineSent() {
    if (stamps_)
        stamps_->lineSent();
}

QByteArray Report::stamped(QByteArrayView text) {
    return stamps_ ? stamps_->stamp(text) : text.toByteArray();
}

void Report::jsonLine(const QJsonObject& object) {
    write(out_, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void Report::account(QByteArrayView text) {
    if (!mode_.json)
        write(out_, text);
}

int Report::fail(int code, const QString& message) {
    if (!failed())
        set(QStringLiteral("error"), message);
    write(err_, QStringLiteral("brenmoor-cli: %1\n").arg(message).toLocal8Bit());
    return code;
}

void Report::note(const QString& message) {
    write(err_, QStringLiteral("brenmoor-cli: %1\n").arg(message).toLocal8Bit());
}

void Report::summary(const QString& message) {
    if (!mode_.quiet && !mode_.json)
        note(message);
}

void Report::finish(int exitCode) {
    if (!mode_.json)
        return;
    QJsonObject object = fields_;
    object.insert(QStringLiteral("ok"), exitCode == 0);
    object.insert(QStringLiteral("exitCode"), exitCode);
    if (!boardText_.isEmpty()) {
        QJsonArray lines;
        for (const QByteArray& line : splitLines(boardText_))
            lines.append(Cp1251::toText(line));
        object.insert(QStringLiteral("board"), lines);
    }
    write(out_, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}
