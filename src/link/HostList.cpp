#include "link/HostList.h"

#include "app/Controls.h"
#include "app/Cp1251.h"
#include "app/Dialogs.h"
#include "app/IniFiles.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void HostList::connectControls() {
    QObject::connect(c_.Add_ip, &QPushButton::clicked, [this] { Add_ip_Click(); });
    QObject::connect(c_.Del_ip, &QPushButton::clicked, [this] { Del_ip_Click(); });
    QObject::connect(c_.SaveIP, &QPushButton::clicked, [this] { SaveIP_Click(); });
}

void HostList::Add_ip_Click() {
    const QString text = c_.ComboRemoteIP->currentText();
    if (!text.isEmpty()) {
        // Adding the entry must not change what the box shows.
        c_.ComboRemoteIP->addItem(text);
        c_.ComboRemoteIP->setEditText(text);
    }
    c_.tbSendData->setFocus();
}

void HostList::Del_ip_Click() {
    const int index = c_.ComboRemoteIP->currentIndex();
    if (index >= 0 && c_.ComboRemoteIP->itemText(index) == c_.ComboRemoteIP->currentText())
        c_.ComboRemoteIP->removeItem(index);
    c_.tbSendData->setFocus();
}

void HostList::SaveIP_Click() {
    QList<QByteArray> lines;
    for (int i = 0; i < c_.ComboRemoteIP->count(); ++i)
        lines.append(Cp1251::toBytes(c_.ComboRemoteIP->itemText(i)));
    int error = 0;
    const QString why = IniFiles::writeLines(IniFiles::TerminalIni, lines, &error);
    if (why.isEmpty())
        return;
    c_.CommonDialog1->errorBox(fileErrorNumber(error), why);
    c_.tbSendData->setFocus();
}
