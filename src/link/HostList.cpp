#include "link/HostList.h"

#include "core/Cp1251.h"
#include "core/IniFiles.h"
#include "form/Controls.h"
#include "form/Dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void HostList::connectControls() {
    QObject::connect(link_.Add_ip, &QPushButton::clicked, [this] { Add_ip_Click(); });
    QObject::connect(link_.Del_ip, &QPushButton::clicked, [this] { Del_ip_Click(); });
    QObject::connect(link_.SaveIP, &QPushButton::clicked, [this] { SaveIP_Click(); });
}

void HostList::Add_ip_Click() {
    const QString text = link_.ComboRemoteIP->currentText();
    if (!text.isEmpty()) {
        // Adding the entry must not change what the box shows.
        link_.ComboRemoteIP->addItem(text);
        link_.ComboRemoteIP->setEditText(text);
    }
    line_.tbSendData->setFocus();
}

void HostList::Del_ip_Click() {
    const int index = link_.ComboRemoteIP->currentIndex();
    if (index >= 0 && link_.ComboRemoteIP->itemText(index) == link_.ComboRemoteIP->currentText())
        link_.ComboRemoteIP->removeItem(index);
    line_.tbSendData->setFocus();
}

void HostList::SaveIP_Click() {
    QList<QByteArray> lines;
    for (int i = 0; i < link_.ComboRemoteIP->count(); ++i)
        lines.append(Cp1251::toBytes(link_.ComboRemoteIP->itemText(i)));
    const auto failed = IniFiles::writeLines(IniFiles::TerminalIni, lines);
    if (!failed)
        return;
    dialogs_.report(*failed);
    line_.tbSendData->setFocus();
}
