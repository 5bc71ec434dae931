#include "transfer/ActionRunner.h"

#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "core/TerminalState.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "form/TextProgressBar.h"

#include <QFile>
#include <QLineEdit>
#include <QThread>
#include <utility>

void ActionRunner::run(const TransferActions& actions) {
    using K = TransferAction::Kind;
    fileFailed_.reset();
    for (const TransferAction& a : actions) {
        switch (a.kind) {
        case K::SendUdp:
            if (links_.UDP_Send) {
                QByteArray text = a.bytes; // a gateway mode rewrites its own copy
                links_.UDP_Send(text);
            }
            break;
        case K::SendSerial:
            if (links_.WriteCOM32) {
                QByteArray text = a.bytes;
                links_.WriteCOM32(text);
            }
            break;
        case K::SetCommandLine:
            line_.tbSendData->setText(Cp1251::toText(a.bytes));
            break;
        case K::ConsoleAppend:
            console_.append(a.bytes, false);
            break;
        case K::ConsoleReplace:
            console_.clear();
            console_.append(a.bytes, false);
            break;
        case K::ConsoleToEnd:
            console_.append({}, true);
            break;
        case K::Log:
            // A log that cannot be written is reported by the receive path, once per run of
            // failures; the transfer goes on without it.
            traffic_.LogFileNumber.append(a.bytes);
            break;
        case K::AppendFile:
            appendFile(a.bytes);
            break;
        case K::CloseFile:
            file_.close();
            break;
        case K::Pause:
            // Blocks on purpose: a reply that arrives meanwhile must wait for the pause, or the
            // board would get the next command early.
            QThread::msleep(static_cast<unsigned long>(qMax<qint64>(0, a.value)));
            break;
        case K::ProgressText:
            if (bar_)
                bar_->setText(a.text);
            break;
        case K::ProgressMax:
            if (bar_)
                bar_->setMax(int(a.value));
            break;
        case K::ProgressValue:
            if (bar_)
                bar_->setCurrent(int(a.value));
            break;
        case K::ErrorBox:
            dialogs_.errorBox(int(a.value), a.text);
            break;
        case K::Finished:
            break;
        }
    }
    // Shown once the actions are out: the box's own event loop lets replies in, and they must
    // not overtake a command this run still had to send.
    if (fileFailed_)
        dialogs_.report(*std::exchange(fileFailed_, std::nullopt));
}

void ActionRunner::appendFile(const QByteArray& bytes) {
    // A transfer ended or cancelled closes its file: what still arrives goes nowhere.
    if (!file_.isOpen())
        return;
    if (file_.write(bytes) == bytes.size())
        return;
    // One box for a full disk, not one per chunk: the file is given up, the transfer runs on.
    fileFailed_ = fileFailure(file_);
    file_.close();
}
