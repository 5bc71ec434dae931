#pragma once

#include "core/Failure.h"
#include "transfer/TransferAction.h"

#include <optional>

class LinkAdapter;
class LogFile;
class TargetFile;

// Carries a transfer's actions out without a window: sends on the link, log lines, the local
// file, pauses. What only a window shows (console, command line, progress bar) is left to the
// runner, which reports progress its own way; error boxes and the end are kept for it.
class ActionCarrier {
public:
    ActionCarrier(LinkAdapter& link, LogFile* log, TargetFile* file = nullptr)
        : link_(link), log_(log), file_(file) {}

    // After a failed send or file write the remaining sends and writes are skipped (they would
    // build on a step that did not happen); the file is still closed and the log still written.
    void carryOut(const TransferActions& actions);

    std::optional<TransferAction::End> finished() const { return finished_; }
    const std::optional<Failure>& errorBox() const { return errorBox_; }
    const std::optional<Failure>& sendFailure() const { return sendFailure_; }
    const std::optional<Failure>& fileFailure() const { return fileFailure_; }
    bool failed() const { return errorBox_ || sendFailure_ || fileFailure_; }
    // Time the last carryOut spent in Pause actions: the protocol's, not the client's.
    qint64 pausedNs() const { return pausedNs_; }

private:
    LinkAdapter& link_;
    LogFile* log_;
    TargetFile* file_;
    std::optional<TransferAction::End> finished_;
    std::optional<Failure> errorBox_, sendFailure_, fileFailure_;
    qint64 pausedNs_ = 0;
};
