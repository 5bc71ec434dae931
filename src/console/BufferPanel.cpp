#include "console/BufferPanel.h"

#include "console/CommandBuffer.h"
#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/ClickLabel.h"
#include "form/Controls.h"

#include <QLineEdit>
#include <QPushButton>

void BufferPanel::connectControls() {
    for (int n = 0; n < BufferState::BufferSlots; ++n) {
        QObject::connect(buffer_.Label13[n], &ClickLabel::clicked, [this, n] { Label13_Click(n); });
        QObject::connect(buffer_.Command17[n], &QPushButton::clicked,
                         [this, n] { Command17_Click(n); });
    }
    QObject::connect(buffer_.Command20, &QPushButton::clicked, [this] { Command20_Click(); });
    QObject::connect(buffer_.Command21, &QPushButton::clicked, [this] { Command21_Click(); });
    QObject::connect(buffer_.Command22, &QPushButton::clicked, [this] { Command22_Click(); });
}

void BufferPanel::focusCommandLine() {
    line_.tbSendData->setFocus();
    line_.tbSendData->end(false);
}

void BufferPanel::Update_Buffer() {
    for (int n = 0; n < BufferState::BufferSlots; ++n) {
        const QByteArray& slot = s_.CmdBuffer[n];
        ClickLabel* label = buffer_.Label13[n];
        const QString line = Cp1251::toText(slot);
        label->setText(line.left(CaptionChars));
        label->setToolTip(line);
        label->setAccessibleDescription(QStringLiteral("buffer line %1: %2")
                                            .arg(n + 1)
                                            .arg(ClickLabel::accessibleNameFor(line)));
    }
}

void BufferPanel::Label13_Click(int n) {
    const QByteArray& slot = s_.CmdBuffer[n];
    if (!slot.isEmpty())
        line_.tbSendData->setText(line_.tbSendData->text() + Cp1251::toText(slot));
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
    const QString line = line_.tbSendData->text();
    if (!line.isEmpty() && s_.FromBuffer == 0) {
        CommandBuffer::insertFront(s_.CmdBuffer, Cp1251::toBytes(line));
        Update_Buffer();
    }
    s_.FromBuffer = 0;
    s_.BufferIndex = 0;
    focusCommandLine();
}

void BufferPanel::Command22_Click() {
    line_.tbSendData->clear();
    line_.tbSendData->setFocus();
}
