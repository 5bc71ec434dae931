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
        QObject::connect(buffer_.bufferLabels[n], &ClickLabel::clicked,
                         [this, n] { insertBufferLine(n); });
        QObject::connect(buffer_.deleteLineButtons[n], &QPushButton::clicked,
                         [this, n] { deleteBufferLine(n); });
    }
    QObject::connect(buffer_.clearBufferButton, &QPushButton::clicked, [this] { clearBuffer(); });
    QObject::connect(buffer_.addToBufferButton, &QPushButton::clicked, [this] { addToBuffer(); });
    QObject::connect(buffer_.clearLineButton, &QPushButton::clicked,
                     [this] { clearCommandLine(); });
}

void BufferPanel::focusCommandLine() {
    line_.commandEdit->setFocus();
    line_.commandEdit->end(false);
}

void BufferPanel::showBuffer() {
    for (int n = 0; n < BufferState::BufferSlots; ++n) {
        const QByteArray& slot = s_.commandLines[n];
        ClickLabel* label = buffer_.bufferLabels[n];
        const QString line = Cp1251::toText(slot);
        label->setText(line.left(CaptionChars));
        label->setToolTip(line);
        label->setAccessibleDescription(QStringLiteral("buffer line %1: %2")
                                            .arg(n + 1)
                                            .arg(ClickLabel::accessibleNameFor(line)));
    }
}

void BufferPanel::insertBufferLine(int n) {
    const QByteArray& slot = s_.commandLines[n];
    if (!slot.isEmpty())
        line_.commandEdit->setText(line_.commandEdit->text() + Cp1251::toText(slot));
    s_.lineFromBuffer = 1;
    focusCommandLine();
}

void BufferPanel::deleteBufferLine(int n) {
    CommandBuffer::remove(s_.commandLines, n);
    showBuffer();
    focusCommandLine();
}

void BufferPanel::clearBuffer() {
    s_.commandLines.fill(QByteArray());
    showBuffer();
}

void BufferPanel::addToBuffer() {
    const QString line = line_.commandEdit->text();
    if (!line.isEmpty() && s_.lineFromBuffer == 0) {
        CommandBuffer::insertFront(s_.commandLines, Cp1251::toBytes(line));
        showBuffer();
    }
    s_.lineFromBuffer = 0;
    s_.recallIndex = 0;
    focusCommandLine();
}

void BufferPanel::clearCommandLine() {
    line_.commandEdit->clear();
    line_.commandEdit->setFocus();
}
