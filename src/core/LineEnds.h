#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The one rule for where a line ends in what the board sends and in the files the program
// reads: CR LF, a lone CR and a lone LF each end a line. A CR LF pair split across two pieces
// of input is still one line end, so the scanner carries the CR from one call to the next.
class LineEnds {
public:
    // Calls onText(bytes) for every run of bytes between line ends and onEnd() for every line
    // end, in order.
    template <class OnText, class OnEnd>
    void scan(QByteArrayView bytes, OnText&& onText, OnEnd&& onEnd) {
        qsizetype start = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char ch = bytes[i];
            if (ch != '\r' && ch != '\n')
                continue;
            if (i > start) {
                onText(bytes.sliced(start, i - start));
                afterCr_ = false;
            }
            start = i + 1;
            if (ch == '\n' && afterCr_) {
                afterCr_ = false; // the LF of a CR LF pair
                continue;
            }
            afterCr_ = ch == '\r';
            onEnd();
        }
        if (start < bytes.size()) {
            onText(bytes.sliced(start));
            afterCr_ = false;
        }
    }

    // afterCr: the text goes on after a CR whose LF, should it come first, ends no new line.
    void reset(bool afterCr = false) { afterCr_ = afterCr; }

private:
    bool afterCr_ = false;
};

// Where the next CR or LF stands in a text walked forwards. Each of the two is searched for
// again only once the walk has passed the last one found, so a long line is jumped over by the
// library's search and many short lines of one kind cost no more than one pass.
class NextLineEnd {
public:
    explicit NextLineEnd(QByteArrayView text) : text_(text) {}

    // The first CR or LF at or after `at`; the text's size where none is left.
    qsizetype from(qsizetype at) {
        if (cr_ < at)
            cr_ = find('\r', at);
        if (lf_ < at)
            lf_ = find('\n', at);
        return qMin(cr_, lf_);
    }

private:
    qsizetype find(char ch, qsizetype at) const {
        const qsizetype found = text_.indexOf(ch, at);
        return found < 0 ? text_.size() : found;
    }

    QByteArrayView text_;
    qsizetype cr_ = -1;
    qsizetype lf_ = -1;
};

// Collects whole lines from input that arrives in pieces; at most `limit` lines are kept, the
// rest is skipped without being stored.
class LineCollector {
public:
    explicit LineCollector(qsizetype limit = -1) : limit_(limit) {}

    void feed(QByteArrayView bytes);
    // The last line counts even without its line end, unless it is empty.
    QList<QByteArray> finish();
    // Only the lines that ended: for input that was cut off in the middle of a line.
    QList<QByteArray> finishWhole();
    bool full() const { return limit_ >= 0 && lines_.size() >= limit_; }

private:
    LineEnds ends_;
    QByteArray current_;
    QList<QByteArray> lines_;
    qsizetype limit_;
};

// Every line of a whole text, as LineCollector gives them.
QList<QByteArray> splitLines(QByteArrayView text);
