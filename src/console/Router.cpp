#include "console/Router.h"

#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/Controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

Router::Router(ConsoleControls& consoleControls, CommandLineControls& line, TrafficState& traffic,
               ConsoleModel& console, QObject* parent)
    : QObject(parent), c_(consoleControls), line_(line), traffic_(traffic), console_(console) {
}

void Router::connectControls() {
    c_.consoleEdit->setReadOnly(true);
    c_.consoleEdit->installEventFilter(this);
    connect(c_.clearConsoleButton, &QPushButton::clicked, this, &Router::clearConsole);
}

void Router::routeBoardText(const QByteArray& text, const QString& otherSender) {
    console_.trim();
    if (toTransfers)
        toTransfers(text, otherSender);
    else
        console_.append(text);
}

bool Router::eventFilter(QObject* watched, QEvent* event) {
    if (watched != c_.consoleEdit || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Copying from the console stays possible; everything else typed there goes to the
    // command line.
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll))
        return false;
    // Tab moves on to the next control, as in every dialog; it is no key typed at the board.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    const QString typed = key->text();
    if (typed.isEmpty())
        return false;
    onConsoleKey(qint16(uchar(Cp1251::toBytes(typed.left(1)).at(0))));
    return true;
}

void Router::onConsoleKey(qint16 key) {
    if (key >= FirstPrintable)
        line_.commandEdit->setText(line_.commandEdit->text() +
                                   Cp1251::toText(QByteArray(1, char(key))));
    line_.commandEdit->setFocus();
    line_.commandEdit->end(false);
}

void Router::clearConsole() {
    // Reopened for appending: nothing is removed from the log. Should it fail, the log stays
    // closed and the console keeps working, as after a failed start.
    traffic_.log.close();
    traffic_.log.open();
    console_.clear();
    line_.commandEdit->setFocus();
}
