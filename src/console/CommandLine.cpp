#include "console/CommandLine.h"

#include "console/CommandBuffer.h"
#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/Controls.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <utility>

CommandLine::CommandLine(CommandLineControls& line, BufferState& s, ConsoleModel& console,
                         QObject* parent)
    : QObject(parent), line_(line), s_(s), console_(console) {
    line_.commandEdit->installEventFilter(this);
}

bool CommandLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line_.commandEdit && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

bool CommandLine::pasteWithinLimit() {
    QLineEdit* line = line_.commandEdit;
    const qsizetype room = MaxTypedChars - (line->text().size() - line->selectedText().size());
    s_.lineFromBuffer = 0;
    line->insert(QGuiApplication::clipboard()->text().left(qMax<qsizetype>(0, room)));
    return true;
}

bool CommandLine::handleKey(QKeyEvent* key) {
    // A paste is typing too: it may fill the line up to the limit, no further.
    if (key->matches(QKeySequence::Paste))
        return pasteWithinLimit();
    // Tab moves the focus on and types nothing: no key handler sees it.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    static constexpr std::pair<int, qint16> keyDownCodes[] = {
        {Qt::Key_Backspace, Backspace}, {Qt::Key_Left, Left}, {Qt::Key_Up, Up},
        {Qt::Key_Right, Right},         {Qt::Key_Down, Down}, {Qt::Key_Delete, Delete}};
    qint16 code = 0;
    for (const auto& [qtKey, virtualKey] : keyDownCodes)
        if (key->key() == qtKey)
            code = virtualKey;
    if (code != 0) {
        onKeyDown(code);
        if (code == 0)
            return true;
    }
    // Keys that type no character (arrows, Delete, modifiers) have no key-press step.
    const QString typed = key->text();
    if (typed.isEmpty() || key->key() == Qt::Key_Delete)
        return false;
    const char16_t first = typed.at(0).unicode();
    qint16 ascii = first == u'\n' ? EnterKey : qint16(uchar(Cp1251::toBytes(typed.left(1)).at(0)));
    onKeyPress(ascii);
    if (ascii == 0)
        return true;
    // The typing limit applies to the operator only; lines the program writes are never cut.
    const bool inserts = ascii >= 32 && !(key->modifiers() & Qt::ControlModifier);
    return inserts && !line_.commandEdit->hasSelectedText() &&
           line_.commandEdit->text().size() >= MaxTypedChars;
}

void CommandLine::showRecalled() {
    line_.commandEdit->setText(Cp1251::toText(s_.commandLines[s_.recallIndex]));
    s_.lineFromBuffer = 1;
    line_.commandEdit->end(false);
}

void CommandLine::onKeyDown(qint16& keyCode) {
    const bool idleEmpty = s_.recallIndex == 0 && line_.commandEdit->text().isEmpty();
    switch (keyCode) {
    case Delete:
    case Left:
    case Right:
    case Backspace:
        s_.lineFromBuffer = 0;
        break;
    case Up:
        keyCode = 0;
        if (!idleEmpty)
            ++s_.recallIndex;
        s_.recallIndex = qint16(qBound(0, int(s_.recallIndex), 63));
        if (!s_.commandLines[s_.recallIndex].isEmpty())
            showRecalled();
        else
            s_.recallIndex = qint16(qBound(0, s_.recallIndex - 1, 63));
        break;
    case Down:
        keyCode = 0;
        if (!idleEmpty)
            --s_.recallIndex;
        if (s_.recallIndex < 0)
            s_.recallIndex = 0;
        if (s_.commandLines[s_.recallIndex].isEmpty() && s_.recallIndex != 0)
            break;
        showRecalled();
        break;
    default:
        break;
    }
}

void CommandLine::onKeyPress(qint16& key) {
    if (key != EnterKey) {
        s_.lineFromBuffer = 0;
        if (helpHook)
            helpHook(line_.commandEdit->text(), key);
        return;
    }
    key = 0;
    QString line = line_.commandEdit->text();
    if (!line.isEmpty()) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        line_.commandEdit->setText(line);
        // A line of spaces only ends up empty and, like an empty line, is not stored.
        if (s_.lineFromBuffer == 0 && !line.isEmpty()) {
            CommandBuffer::store(s_.commandLines, Cp1251::toBytes(line));
            if (showBuffer)
                showBuffer();
        }
    }
    s_.lineFromBuffer = 0;
    s_.recallIndex = 0;
    if (sendTypedLine)
        sendTypedLine();
    console_.append("\r\n");
}
