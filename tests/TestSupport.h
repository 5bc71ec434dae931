#pragma once

#include "TestFiles.h"

#include "app/TerminalWindow.h"
#include "form/Dialogs.h"

#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// A fresh current directory for the object's lifetime: the terminal keeps its files there.
class WorkDir {
public:
    WorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkDir() { QDir::setCurrent(previous_); }
    Q_DISABLE_COPY(WorkDir)
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QString previous_;
    QTemporaryDir dir_;
};

// Dialogs that never wait: records what was shown and answers file dialogs from a script.
class ScriptedDialogs : public Dialogs {
public:
    struct Error {
        int number;
        QString description;
    };
    QList<Error> errors;
    QStringList messages;
    QStringList openAnswers; // taken from the front; empty means "cancelled"
    QStringList saveAnswers;

    void errorBox(int number, const QString& description) override {
        errors.append({number, description});
    }
    void message(const QString& title, const QString& text) override {
        messages.append(title + QLatin1Char('|') + text);
    }
    QString openFile(const QString&, const QString&) override {
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFile(const QString&, const QString&) override {
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};

// The window in a fresh working directory, with dialogs that never wait.
class Terminal : WorkDir, ScriptedDialogs, public TerminalWindow {
public:
    Terminal() : TerminalWindow(this) {}
    ScriptedDialogs& dialogs() { return *this; }
    // Terminal.log with everything handed to its writer so far.
    QByteArray logged() {
        state().log.flush();
        return readFile(QStringLiteral("Terminal.log"));
    }
};

// Types a line key by key (one key event per character, any script), then Enter.
inline void typeLine(QWidget* line, const QString& text, bool enter = true) {
    for (QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(line, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    if (enter)
        QTest::keyClick(line, Qt::Key_Return);
}

// What assistive technology hears for a control (its name, or another of its texts).
inline QString accessibleText(QObject* control, QAccessible::Text which = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(which) : QStringLiteral("<no interface>");
}
