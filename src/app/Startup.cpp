#include "app/Startup.h"

#include "app/Controls.h"
#include "app/Cp1251.h"
#include "app/Dialogs.h"
#include "app/IniFiles.h"
#include "app/TerminalState.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

void Startup::loadCommandBuffer(TerminalState& s) {
    s.CmdBuffer.fill(QByteArray());
    if (!QFile::exists(IniFiles::CommandIni)) {
        saveCommandBuffer(s);
        return;
    }
    // A file that cannot be read leaves the buffer empty; exit rewrites it.
    bool readable = false;
    const QList<QByteArray> lines =
        IniFiles::readLines(IniFiles::CommandIni, TerminalState::BufferSlots, &readable);
    for (int i = 0; i < lines.size() && i < TerminalState::BufferSlots; ++i)
        s.CmdBuffer[i] = lines[i];
}

void Startup::loadHostList(Controls& c) {
    QList<QByteArray> items;
    c.ComboRemoteIP->clear();
    if (!IniFiles::readHostList(IniFiles::TerminalIni, &items))
        items = {DefaultBoardAddress};
    for (const QByteArray& item : items)
        c.ComboRemoteIP->addItem(Cp1251::toText(item));
    c.ComboRemoteIP->setCurrentIndex(0);
}

QString Startup::drawLocalPort() {
    return QString::number(5500 + QRandomGenerator::global()->bounded(1000));
}

bool Startup::openLog(TerminalState& s, int* number, QString* description) {
    if (!s.LogFileNumber.open()) {
        *number = fileErrorNumber(s.LogFileNumber.error());
        *description = s.LogFileNumber.errorString();
        return false;
    }
    const QString when =
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    s.LogFileNumber.append(QByteArray(LogBanner) + "\r\n" + Cp1251::toBytes(when) + "\r\n");
    return true;
}

bool Startup::saveCommandBuffer(const TerminalState& s) {
    const QList<QByteArray> lines(s.CmdBuffer.begin(), s.CmdBuffer.end());
    return IniFiles::writeLines(IniFiles::CommandIni, lines, nullptr).isEmpty();
}
