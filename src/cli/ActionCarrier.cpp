#include "cli/ActionCarrier.h"

#include "cli/LinkAdapter.h"
#include "cli/LocalFiles.h"
#include "core/LogFile.h"

#include <QElapsedTimer>
#include <QThread>

void ActionCarrier::carryOut(const TransferActions& actions) {
    using K = TransferAction::Kind;
    pausedNs_ = 0;
    for (const TransferAction& a : actions) {
        switch (a.kind) {
        case K::SendUdp:
        case K::SendSerial:
            if (!sendFailure_ && !fileFailure_) {
                sendFailure_ =
                    a.kind == K::SendUdp ? link_.udpSend(a.bytes) : link_.writeCom32(a.bytes);
            }
            break;
        case K::Log:
            if (log_)
                log_->append(a.bytes); // a failing log is reported by the link, once
            break;
        case K::AppendFile:
            if (!fileFailure_ && file_)
                fileFailure_ = file_->append(a.bytes);
            break;
        case K::CloseFile:
            if (file_)
                file_->close();
            break;
        case K::Pause: {
            // The window blocks its thread here on purpose: replies wait in the socket or the
            // port until the board has had its pause.
            QElapsedTimer paused;
            paused.start();
            QThread::msleep(static_cast<unsigned long>(a.value));
            pausedNs_ += paused.nsecsElapsed();
            break;
        }
        case K::ErrorBox:
            if (!errorBox_)
                errorBox_ = Failure{int(a.value), a.text};
            break;
        case K::Finished:
            finished_ = a.end;
            break;
        case K::SetCommandLine:
        case K::ConsoleAppend:
        case K::ConsoleReplace:
        case K::ConsoleToEnd:
        case K::ProgressText:
        case K::ProgressMax:
        case K::ProgressValue:
            break;
        }
    }
}
