// The flash-disk reply rules on any line: only a line that is exactly a piece (40 upper-case hex
// digits, "OK") or an end marker (0..19 bytes as whole hex pairs, "ND") carries data, and the
// bytes it carries are exactly its digits; "ERROR" anywhere refuses; a line that holds "OK" or
// "ND" in any other shape is malformed, never ignored as chatter.
#include "FuzzInput.h"

#include "transfer/FlashDiskTransfers.h"

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArray trimmed(const QByteArray& line) {
    qsizetype from = 0;
    qsizetype to = line.size();
    while (from < to && blank(line[from]))
        ++from;
    while (to > from && blank(line[to - 1]))
        --to;
    return line.mid(from, to - from);
}

bool upperHex(QByteArrayView digits) {
    for (const char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray line = inputBytes(data, size);
    const QByteArray text = trimmed(line);
    const flash::Reply what = flash::reply(line);
    check((what == flash::Reply::Error) == line.contains("ERROR"));
    switch (what) {
    case flash::Reply::Piece:
        check(text.size() == 42 && text.endsWith("OK") && upperHex(text.first(40)));
        check(flash::hexDigits(flash::replyBytes(line)) == text.first(40));
        break;
    case flash::Reply::EndMarker: {
        const QByteArray digits = text.chopped(2);
        check(text.endsWith("ND") && digits.size() % 2 == 0 && digits.size() < 40);
        check(upperHex(digits) && flash::hexDigits(flash::replyBytes(line)) == digits);
        break;
    }
    case flash::Reply::BareOk:
        check(text == "OK");
        break;
    case flash::Reply::Malformed:
        check(line.contains("OK") || line.contains("ND"));
        break;
    case flash::Reply::Other:
        check(!line.contains("OK") && !line.contains("ND"));
        break;
    case flash::Reply::Error:
        break;
    }
    return 0;
}
