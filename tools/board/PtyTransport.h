#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace board {

// The board's serial port: a pseudo-terminal whose slave side the terminal opens.
class PtyTransport : public QObject {
    Q_OBJECT
public:
    explicit PtyTransport(QObject* parent = nullptr);
    ~PtyTransport() override;

    // Creates the pty and, when `linkPath` is not empty, a symlink to its slave.
    bool open(const QString& linkPath, QString* error);
    QString path() const { return m_path; }
    void send(const QByteArray& data);

signals:
    void received(const QByteArray& data);

private:
    void readMaster();
    void flushOutput();

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QString m_link;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_outgoing;
};

} // namespace board
