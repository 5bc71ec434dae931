#include "transfer/WindowSink.h"

#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "form/TextProgressBar.h"

#include <QLineEdit>

void WindowSink::boardText(const QByteArray& text) {
    console_.append(text);
}

void WindowSink::setCommandLine(const QByteArray& text) {
    line_.commandEdit->setText(Cp1251::toText(text));
}

void WindowSink::focusCommandLine() {
    line_.commandEdit->setFocus();
}

void WindowSink::consoleAppend(const QByteArray& text) {
    console_.append(text, false, ConsoleModel::Source::Terminal);
}

void WindowSink::boardMessage(const QByteArray& text) {
    // Echoes and the board's own messages stay visible after the "LOAD DATA = " text.
    console_.append(text + "\r\n", false);
}

void WindowSink::consoleReplace(const QByteArray& text) {
    console_.clear();
    console_.append(text, false, ConsoleModel::Source::Terminal);
}

void WindowSink::consoleToEnd() {
    console_.append({}, true);
}

void WindowSink::progressText(const QString& text) {
    bar_->setText(text);
}

void WindowSink::progressMax(qint64 value) {
    bar_->setMax(int(value));
}

void WindowSink::progressValue(qint64 value) {
    bar_->setCurrent(int(value));
}

void WindowSink::notice(const QString& text) {
    console_.append("\r\n" + Cp1251::toBytes(text) + "\r\n", false, ConsoleModel::Source::Terminal);
}

void WindowSink::errorBox(const Failure& failure) {
    dialogs_.report(failure);
}
