#pragma once

#include "app/Dialogs.h"

#include <QDir>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// Moves the process into a fresh temporary directory for the lifetime of the object: the
// terminal's files live in the current directory.
class WorkDir {
public:
    WorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkDir() { QDir::setCurrent(previous_); }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
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
