#pragma once

#include "core/Failure.h"
#include "form/WidgetFloor.h"

#include <QString>

class QWidget;

// Every modal dialog the program shows goes through here, so tests can answer them without a
// screen and never wait on one.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Title "Error#N", the description as text, a critical icon and an OK button.
    virtual void errorBox(int number, const QString& description) = 0;
    void report(const Failure& failure) { errorBox(failure.number, failure.description); }
    virtual void message(const QString& title, const QString& text) = 0;
    // Empty result when the operator cancels. Filters pair descriptions and patterns:
    // "BAS files (*.bas)|*.bas".
    virtual QString openFile(const QString& title, const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& filter) = 0;

    // A transfer's file dialog: the chosen path, or empty after the "Cancel" message.
    QString askTransferFile(bool save, const QString& filter);
};

class WidgetDialogs : public Dialogs {
public:
    explicit WidgetDialogs(QWidget* parent) : parent_(parent) {}
    void errorBox(int number, const QString& description) override;
    void message(const QString& title, const QString& text) override;
    QString openFile(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter) override;

private:
    QWidget* parent_;
};
