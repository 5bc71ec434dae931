#include "link/HostList.h"

#include "core/Cp1251.h"
#include "core/IniFiles.h"
#include "form/Controls.h"
#include "form/Dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void HostList::connectControls() {
    QObject::connect(link_.addHostButton, &QPushButton::clicked, [this] { addHost(); });
    QObject::connect(link_.deleteHostButton, &QPushButton::clicked, [this] { deleteHost(); });
    QObject::connect(link_.saveHostsButton, &QPushButton::clicked, [this] { saveHosts(); });
}

void HostList::addHost() {
    const QString text = link_.hostCombo->currentText();
    if (!text.isEmpty()) {
        // Adding the entry must not change what the box shows.
        link_.hostCombo->addItem(text);
        link_.hostCombo->setEditText(text);
    }
    line_.commandEdit->setFocus();
}

void HostList::deleteHost() {
    const int index = link_.hostCombo->currentIndex();
    if (index >= 0 && link_.hostCombo->itemText(index) == link_.hostCombo->currentText())
        link_.hostCombo->removeItem(index);
    line_.commandEdit->setFocus();
}

void HostList::saveHosts() {
    QList<QByteArray> lines;
    for (int i = 0; i < link_.hostCombo->count(); ++i)
        lines.append(Cp1251::toBytes(link_.hostCombo->itemText(i)));
    const auto failed = IniFiles::writeLines(IniFiles::TerminalIni, lines);
    if (!failed)
        return;
    dialogs_.report(*failed);
    line_.commandEdit->setFocus();
}
