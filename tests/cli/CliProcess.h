#pragma once

#include "TestFiles.h"
#include "board/BoardSimulator.h"

#include <QEventLoop>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <csignal>
#include <functional>
#include <memory>

struct CliResult {
    int exitCode = -1; // -1: crashed or killed
    QByteArray out;
    QByteArray err;
};

struct CliRun {
    // Called every 20 ms until it returns false (e.g. to signal the client mid-transfer).
    std::function<bool(QProcess&)> whileRunning;
    QString workDir;       // empty: the test's own
    qint64* pid = nullptr; // set once the client runs, before any of its bytes can arrive
    QString program = QStringLiteral(BRENMOOR_CLI_PATH);
};

// Runs brenmoor-cli (or how.program) inside the test's event loop, so a board in the test answers.
inline CliResult runCli(const QStringList& arguments, const CliRun& how = {}) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer poll;
    bool polling = bool(how.whileRunning);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (polling && process.state() == QProcess::Running)
            polling = how.whileRunning(process);
    });
    QTimer::singleShot(90000, &loop, &QEventLoop::quit);
    process.setWorkingDirectory(how.workDir);
    process.start(how.program, arguments);
    if (how.pid && process.waitForStarted())
        *how.pid = process.processId();
    poll.start(20);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// A scripted board; `signal` hits the client just before the answer to datagram `signalAt`.
class ScriptedBoard : public QObject {
public:
    std::function<QByteArray(const QByteArray&)> answer;
    QList<QByteArray> heard;
    qint64 clientPid = 0;
    int signalAt = 0;
    int signal = 0;

    ScriptedBoard() {
        socket_.bind(QHostAddress::LocalHost, 0);
        connect(&socket_, &QUdpSocket::readyRead, this, [this] {
            while (socket_.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket_.receiveDatagram();
                heard.append(d.data());
                if (heard.size() == signalAt)
                    ::kill(pid_t(clientPid), signal);
                const QByteArray reply = answer(d.data()); // none when empty
                if (!reply.isEmpty())
                    socket_.writeDatagram(reply, d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
    QStringList link() const {
        return {"--udp", QStringLiteral("127.0.0.1:%1").arg(socket_.localPort())};
    }

private:
    QUdpSocket socket_;
};

// A fresh folder and board simulator for each test function.
struct CliFixture {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<board::BoardSimulator> board;

    void fresh() {
        dir = std::make_unique<QTemporaryDir>();
        startBoard();
    }
    void startBoard(board::BoardOptions options = {}) {
        board.reset();
        options.udpPort = 0;
        board = std::make_unique<board::BoardSimulator>(options);
        QString why;
        QVERIFY2(board->start(&why), qPrintable(why));
    }
    // A wait for each answer that a busy machine still meets (a later --timeout wins).
    QStringList udp() const {
        return {"--udp", QStringLiteral("127.0.0.1:%1").arg(board->udpPort()), "--timeout", "20"};
    }
    QStringList serial() const {
        return {"--serial", board->ptyPath() + QStringLiteral(":115200"), "--timeout", "20"};
    }
    QString path(const QString& name) const { return dir->filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QVERIFY(writeFile(path(name), bytes));
    }
    QByteArray read(const QString& name) const {
        return QFile::exists(path(name)) ? readFile(path(name)) : QByteArray("<missing>");
    }
};
