#pragma once

#include "board/BoardOptions.h"
#include "board/CommandInterpreter.h"
#include "board/LineAssembler.h"
#include "board/ModbusFrames.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <utility>

namespace board {

class PtyTransport;
class UdpTransport;

// One simulated board reachable over UDP and a pseudo-terminal at the same time. Both
// links share the program, the flash disk and the registers, as on the real hardware.
class BoardSimulator : public QObject {
    Q_OBJECT
public:
    explicit BoardSimulator(const BoardOptions& options, QObject* parent = nullptr);
    ~BoardSimulator() override;

    bool start(QString* error);

    quint16 udpPort() const; // the bound port, 0 when UDP is off or not started
    QString ptyPath() const; // empty when the pty is off or not started
    const CommandInterpreter& interpreter() const { return m_interpreter; }
    // Everything the terminal put on the wire since the last take, on either link, in order
    // (the first 16 MiB of it, so a flood cannot eat memory).
    QByteArray takeHeard() { return std::exchange(m_heard, QByteArray()); }

private:
    using Sink = std::function<void(const QByteArray&)>;
    struct Pending {
        qint64 due;
        Sink sink;
        QList<QByteArray> units;
    };

    void onDatagram(const QByteArray& data, const QHostAddress& from, quint16 port);
    void onSerial(const QByteArray& data);
    void hear(const QByteArray& data);
    void runText(LineAssembler& lines, const QByteArray& bytes, const Sink& sink);
    void runConsoleFrame(const QByteArray& frame, const Sink& sink);
    void dispatch(QList<QByteArray> units, const Sink& sink);
    void sendNow(const QList<QByteArray>& units, const Sink& sink);
    void queue(qint64 due, const Sink& sink, QList<QByteArray> units);
    void flushOutbox();

    BoardOptions m_options;
    CommandInterpreter m_interpreter;
    RegisterBank m_registers;
    std::unique_ptr<UdpTransport> m_udp;
    std::unique_ptr<PtyTransport> m_pty;

    QHash<QString, LineAssembler> m_udpLines; // per sender, so interleaved peers stay apart
    LineAssembler m_serialLines;
    QByteArray m_serialFrame; // start of a frame whose remaining bytes are still on the way
    QTimer m_serialFrameTimer;

    quint64 m_unitsOut = 0;
    QByteArray m_heard;
    QElapsedTimer m_clock;
    std::deque<Pending> m_outbox;
    QTimer m_outboxTimer;
};

} // namespace board
