#include "cli/ReplyQueue.h"

#include "cli/Interrupt.h"
#include "cli/LinkAdapter.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

ReplyQueue::ReplyQueue(LinkAdapter& link, Interrupt& interrupt, Reads reads)
    : interrupt_(interrupt) {
    clock_.start();
    if (reads == Reads::Lines) {
        connect(&link, &LinkAdapter::textReceived, this, &ReplyQueue::onText);
    } else {
        connect(&link, &LinkAdapter::chunkReceived, this, [this](const QByteArray& chunk) {
            chunks_.append({chunk, nowNs()});
            emit arrived();
        });
    }
    connect(&link, &LinkAdapter::lost, this, [this](const Failure& why) {
        lost_ = why;
        emit arrived();
    });
}

void ReplyQueue::onText(const QByteArray& text) {
    const qint64 now = nowNs();
    partial_ += text;
    qsizetype start = 0;
    for (;;) {
        const qsizetype lf = partial_.indexOf('\n', start);
        qsizetype end = lf + 1;
        if (lf < 0) {
            if (partial_.size() - start < MaxLine)
                break;
            end = start + MaxLine;
        }
        lines_.append({partial_.sliced(start, end - start), now});
        start = end;
    }
    partial_.remove(0, start);
    emit arrived();
}

ReplyQueue::Next ReplyQueue::nextLine(int timeoutMs) {
    return take(lines_, timeoutMs);
}

ReplyQueue::Next ReplyQueue::nextChunk(int timeoutMs) {
    return take(chunks_, timeoutMs);
}

QByteArray ReplyQueue::takePartial() {
    return std::exchange(partial_, QByteArray());
}

ReplyQueue::Next ReplyQueue::take(QList<Entry>& from, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (interrupt_.signalNumber() != 0)
            return {Status::Interrupted, {}, 0};
        if (!from.isEmpty()) {
            Entry e = from.takeFirst();
            return {Status::Got, std::move(e.bytes), e.arrivedNs};
        }
        if (lost_)
            return {Status::LinkLost, {}, 0};
        if (deadline.hasExpired())
            return {Status::TimedOut, {}, 0};
        // The event loop runs only here: the link's reads, the serial poll and the signal
        // pipe all come in through it.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &ReplyQueue::arrived, &loop, &QEventLoop::quit);
        connect(&interrupt_, &Interrupt::raised, &loop, &QEventLoop::quit);
        timer.start(int(qMax<qint64>(0, deadline.remainingTime())));
        loop.exec();
    }
}
