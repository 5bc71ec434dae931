#include "board/BoardSimulator.h"

#include "board/PtyTransport.h"
#include "board/UdpTransport.h"

namespace board {

namespace {
constexpr int kMaxUdpPeers = 256;
constexpr std::size_t kMaxOutbox = 4096;
constexpr qsizetype kMaxHeard = 16 * 1024 * 1024;
// A frame split across reads normally completes within a few milliseconds.
constexpr int kFrameGapMs = 100;
} // namespace

BoardSimulator::BoardSimulator(const BoardOptions& options, QObject* parent)
    : QObject(parent), m_options(options), m_interpreter(options.diskDir, options.login) {
    m_serialFrameTimer.setSingleShot(true);
    m_serialFrameTimer.setInterval(kFrameGapMs);
    connect(&m_serialFrameTimer, &QTimer::timeout, this, [this] { m_serialFrame.clear(); });
    m_outboxTimer.setSingleShot(true);
    m_outboxTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_outboxTimer, &QTimer::timeout, this, &BoardSimulator::flushOutbox);
    m_clock.start();
}

BoardSimulator::~BoardSimulator() = default;

bool BoardSimulator::start(QString* error) {
    if (!m_options.udpEnabled && !m_options.ptyEnabled) {
        if (error)
            *error = QStringLiteral("both UDP and the pty are disabled; nothing to serve");
        return false;
    }
    if (m_options.udpEnabled) {
        m_udp = std::make_unique<UdpTransport>();
        if (!m_udp->bind(m_options.udpHost, m_options.udpPort, error)) {
            m_udp.reset();
            return false;
        }
        connect(m_udp.get(), &UdpTransport::datagramReceived, this, &BoardSimulator::onDatagram);
    }
    if (m_options.ptyEnabled) {
        m_pty = std::make_unique<PtyTransport>();
        if (!m_pty->open(m_options.ptyLink, error)) {
            m_pty.reset();
            return false;
        }
        connect(m_pty.get(), &PtyTransport::received, this, &BoardSimulator::onSerial);
    }
    return true;
}

quint16 BoardSimulator::udpPort() const {
    return m_udp ? m_udp->port() : 0;
}

QString BoardSimulator::ptyPath() const {
    return m_pty ? m_pty->path() : QString();
}

void BoardSimulator::hear(const QByteArray& data) {
    if (m_heard.size() < kMaxHeard)
        m_heard += data.left(kMaxHeard - m_heard.size());
}

void BoardSimulator::onDatagram(const QByteArray& data, const QHostAddress& from, quint16 port) {
    hear(data);
    UdpTransport* udp = m_udp.get();
    const Sink sink = [udp, from, port](const QByteArray& bytes) {
        udp->send(bytes, from, port);
    };

    const FrameMatch match = matchDatagram(data, m_options.modbusAddr);
    if (match.kind == FrameKind::ConsoleText) {
        runConsoleFrame(data, sink);
        return;
    }
    if (match.kind == FrameKind::Rtu) {
        dispatch({m_registers.respond(data)}, sink);
        return;
    }
    const QString peer = from.toString() + QLatin1Char('/') + QString::number(port);
    if (!m_udpLines.contains(peer) && m_udpLines.size() >= kMaxUdpPeers)
        m_udpLines.clear(); // a flood of senders must not grow the table without bound
    runText(m_udpLines[peer], data, sink);
}

void BoardSimulator::onSerial(const QByteArray& data) {
    hear(data);
    PtyTransport* pty = m_pty.get();
    const Sink sink = [pty](const QByteArray& bytes) {
        pty->send(bytes);
    };

    // A frame must be complete within kFrameGapMs of its first byte; counting from the
    // first byte bounds how much text a broken frame can swallow.
    bool resumed = !m_serialFrame.isEmpty();
    QByteArray input = m_serialFrame + data;
    m_serialFrame.clear();
    while (!input.isEmpty()) {
        const FrameMatch match = matchSerialFrame(input, m_options.modbusAddr);
        if (match.kind == FrameKind::Incomplete) {
            m_serialFrame = input; // at most a frame's worth of bytes
            if (!resumed)
                m_serialFrameTimer.start();
            return;
        }
        m_serialFrameTimer.stop();
        resumed = false;
        switch (match.kind) {
        case FrameKind::None:
        case FrameKind::Incomplete:
            runText(m_serialLines, input, sink);
            return;
        case FrameKind::ConsoleText:
            runConsoleFrame(input.left(match.length), sink);
            break;
        case FrameKind::Rtu:
            dispatch({m_registers.respond(input.left(match.length))}, sink);
            break;
        case FrameKind::BadConsoleText:
            break;
        }
        input.remove(0, match.length);
    }
}

void BoardSimulator::runText(LineAssembler& lines, const QByteArray& bytes, const Sink& sink) {
    for (const LineAssembler::Line& line : lines.feed(bytes)) {
        const QList<QByteArray> reply = line.tooLong
                                            ? QList<QByteArray>{QByteArrayLiteral("ERROR\r\n")}
                                            : m_interpreter.run(line.text);
        dispatch(chunkReply(reply, m_options.chunkMode, m_options.chunkBytes), sink);
    }
}

void BoardSimulator::runConsoleFrame(const QByteArray& frame, const Sink& sink) {
    QByteArray payload = consolePayload(frame);
    // The payload is one command line; its line end is optional.
    if (!payload.endsWith('\r') && !payload.endsWith('\n'))
        payload.append('\r');
    LineAssembler lines;
    for (const LineAssembler::Line& line : lines.feed(payload)) {
        QList<QByteArray> frames;
        const QList<QByteArray> chunks =
            chunkReply(m_interpreter.run(line.text), m_options.chunkMode, m_options.chunkBytes);
        for (const QByteArray& chunk : chunks)
            frames.append(wrapConsoleText(m_options.modbusAddr, chunk));
        dispatch(frames, sink);
    }
}

void BoardSimulator::dispatch(QList<QByteArray> units, const Sink& sink) {
    if (units.isEmpty())
        return;
    if (m_options.splitAt == 0) {
        if (m_options.delayMs <= 0 && m_outbox.empty())
            sendNow(units, sink);
        else
            queue(m_clock.elapsed() + m_options.delayMs, sink, std::move(units));
        return;
    }
    for (const QByteArray& unit : units) {
        const int cut = splitPoint(m_options.splitAt, unit.size());
        const qint64 due = m_clock.elapsed() + m_options.delayMs;
        if (cut <= 0 || cut >= unit.size()) {
            queue(due, sink, {unit});
            continue;
        }
        queue(due, sink, {unit.left(cut)});
        queue(due + m_options.splitGapMs, sink, {unit.mid(cut)});
    }
}

void BoardSimulator::queue(qint64 due, const Sink& sink, QList<QByteArray> units) {
    if (m_outbox.size() >= kMaxOutbox)
        return; // a slow board under a flood loses replies rather than memory
    // Pieces leave in the order they were made, never ahead of one queued before them.
    if (!m_outbox.empty())
        due = qMax(due, m_outbox.back().due);
    m_outbox.push_back({due, sink, std::move(units)});
    if (!m_outboxTimer.isActive())
        m_outboxTimer.start(int(qMax<qint64>(0, m_outbox.front().due - m_clock.elapsed())));
}

void BoardSimulator::sendNow(const QList<QByteArray>& units, const Sink& sink) {
    for (const QByteArray& unit : units) {
        ++m_unitsOut;
        if (m_options.dropEvery > 0 && m_unitsOut % quint64(m_options.dropEvery) == 0)
            continue;
        sink(unit);
    }
}

void BoardSimulator::flushOutbox() {
    // Replies leave in the order they were made; one timer serves the whole queue.
    while (!m_outbox.empty() && m_outbox.front().due <= m_clock.elapsed()) {
        const Pending next = std::move(m_outbox.front());
        m_outbox.pop_front();
        sendNow(next.units, next.sink);
    }
    if (!m_outbox.empty())
        m_outboxTimer.start(int(qMax<qint64>(0, m_outbox.front().due - m_clock.elapsed())));
}

} // namespace board
