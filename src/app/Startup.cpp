#include "app/Startup.h"

#include "core/Cp1251.h"
#include "core/IniFiles.h"
#include "core/TerminalState.h"
#include "form/Controls.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLocale>

void Startup::loadCommandBuffer(BufferState& s) {
    s.commandLines.fill(QByteArray());
    if (!QFile::exists(IniFiles::CommandIni)) {
        saveCommandBuffer(s);
        return;
    }
    // A file that cannot be read leaves the buffer empty; exit rewrites it.
    const auto lines = IniFiles::readLines(IniFiles::CommandIni, BufferState::BufferSlots);
    if (!lines)
        return;
    for (int i = 0; i < lines->size() && i < BufferState::BufferSlots; ++i)
        s.commandLines[i] = lines->at(i);
}

void Startup::loadHostList(LinkControls& c) {
    c.hostCombo->clear();
    // Missing, unreadable or without a single address: the built-in board, no message.
    const auto read = IniFiles::readHostList(IniFiles::TerminalIni);
    QList<QByteArray> items = read ? *read : QList<QByteArray>();
    if (items.isEmpty())
        items = {DefaultBoardAddress};
    for (const QByteArray& item : items)
        c.hostCombo->addItem(Cp1251::toText(item));
    c.hostCombo->setCurrentIndex(0);
}

std::optional<Failure> Startup::openLog(TrafficState& s) {
    if (const auto failed = s.log.open())
        return failed;
    const QString when =
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    s.log.append(QByteArray(LogBanner) + "\r\n" + Cp1251::toBytes(when) + "\r\n");
    return std::nullopt;
}

std::optional<Failure> Startup::saveCommandBuffer(const BufferState& s) {
    const QList<QByteArray> lines(s.commandLines.begin(), s.commandLines.end());
    return IniFiles::writeLines(IniFiles::CommandIni, lines);
}
