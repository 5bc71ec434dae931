#include "console/BufferPanel.h"

#include "app/ClickLabel.h"
#include "app/Controls.h"
#include "app/Cp1251.h"
#include "app/TerminalState.h"
#include "console/CommandBuffer.h"

#include <QLineEdit>
#include <QPushButton>

void BufferPanel::connectControls() {
    for (int n = 0; n < TerminalState::BufferSlots; ++n) {
        QObject::connect(c_.Label13[n], &ClickLabel::clicked, [this, n] { Label13_Click(n); });
        QObject::connect(c_.Command17[n], &QPushButton::clicked, [this, n] { Command17_Click(n); });
    }
    QObject::connect(c_.Command20, &QPushButton::clicked, [this] { Command20_Click(); });
    QObject::connect(c_.Command21, &QPushButton::clicked, [this] { Command21_Click(); });
    QObject::connect(c_.Command22, &QPushButton::clicked, [this] { Command22_Click(); });
}

void BufferPanel::focusCommandLine() {
    c_.tbSendData->setFocus();
    c_.tbSendData->end(false);
}

void BufferPanel::Update_Buffer() {
    for (int n = 0; n < TerminalState::BufferSlots; ++n) {
        const QByteArray& slot = s_.CmdBuffer[n];
        c_.Label13[n]->setText(Cp1251::toText(slot.left(CaptionChars)));
        c_.Label13[n]->setToolTip(Cp1251::toText(slot));
    }
}

void BufferPanel::Label13_Click(int n) {
    const QByteArray& slot = s_.CmdBuffer[n];
    if (!slot.isEmpty())
        c_.tbSendData->setText(c_.tbSendData->text() + Cp1251::toText(slot));
    s_.FromBuffer = 1;
    focusCommandLine();
}

void BufferPanel::Command17_Click(int n) {
    CommandBuffer::remove(s_.CmdBuffer, n);
    Update_Buffer();
    focusCommandLine();
}

void BufferPanel::Command20_Click() {
    s_.CmdBuffer.fill(QByteArray());
    Update_Buffer();
}

void BufferPanel::Command21_Click() {
    const QString line = c_.tbSendData->text();
    if (!line.isEmpty() && s_.FromBuffer == 0) {
        CommandBuffer::insertFront(s_.CmdBuffer, Cp1251::toBytes(line));
        Update_Buffer();
    }
    s_.FromBuffer = 0;
    s_.BufferIndex = 0;
    focusCommandLine();
}

void BufferPanel::Command22_Click() {
    c_.tbSendData->clear();
    c_.tbSendData->setFocus();
}
