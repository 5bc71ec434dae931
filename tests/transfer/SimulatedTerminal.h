#pragma once

#include "TestFiles.h"

#include "board/CommandInterpreter.h"
#include "transfer/TransferSink.h"
#include "transfer/Transfers.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

// A sink that records what the operator would see and hands each line sent to the board's
// firmware, whose replies (one chunk per line, as the real one's) wait in `pending` until `run`.
struct SimulatedTerminal : TransferSink {
    Transfers transfers{*this};
    board::CommandInterpreter board{QString(), false};
    bool udp = true;   // which link is open; the other send function sends nothing
    int dropEvery = 0; // lose every Nth chunk from the board
    int chunksOut = 0;

    QByteArray console, logged;
    QList<QByteArray> sent;    // what reached the board, line ends included
    QList<QByteArray> pending; // board chunks not yet received
    QString barText;
    int pausedMs = 0;
    std::optional<TransferAction::End> ended;
    QList<Failure> errors;
    QStringList notices;
    QTemporaryDir dir;

    void send(Channel channel, const QByteArray& line) override {
        if (udp != (channel == Channel::Udp))
            return;
        sent.append(line);
        for (const QByteArray& chunk : board.run(line)) {
            if (dropEvery == 0 || ++chunksOut % dropEvery != 0)
                pending.append(chunk);
        }
    }
    bool udpOpen() const override { return udp; }
    QString boardName() const override {
        return udp ? QStringLiteral("127.0.0.1:111") : QStringLiteral("/dev/ttyUSB0");
    }
    void log(const QByteArray& line) override { logged += line; }
    void pause(int ms) override { pausedMs += ms; }
    void boardText(const QByteArray& text) override { console += text; }
    void consoleAppend(const QByteArray& text) override { console += text; }
    void boardMessage(const QByteArray& text) override { console += text + "\r\n"; }
    void consoleReplace(const QByteArray& text) override { console = text; }
    void progressText(const QString& text) override { barText = text; }
    void errorBox(const Failure& failure) override { errors.append(failure); }
    void notice(const QString& text) override { notices.append(text); }
    void finished(TransferAction::End how) override { ended = how; }

    void receive(const QByteArray& chunk, const QString& otherSender = QString()) {
        transfers.receive(chunk, otherSender);
    }
    void run() { // the board's chunks, and those they cause, until the board is silent
        while (!pending.isEmpty())
            receive(pending.takeFirst());
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // Under the file's name once a transfer completed, in its part file before.
    QByteArray programFile() const { return readFile(transfers.programFile().path()); }
    QByteArray programPart() const { return readFile(transfers.programFile().partPath()); }
    QByteArray flashFile() const { return readFile(transfers.flashFile().path()); }
    QByteArray flashPart() const { return readFile(transfers.flashFile().partPath()); }

    void upload(const QByteArray& program) {
        transfers.closeProgramFile();
        transfers.startUpload(program);
        run();
    }
    void sendFile(const QByteArray& name, const QByteArray& bytes) {
        transfers.startSend(name, bytes);
        run();
    }
    void receiveFile(const QByteArray& name) { transfers.startReceive(name, path("received.bin")); }
};
