#pragma once

#include "board/CommandInterpreter.h"
#include "transfer/BasicTransfers.h"
#include "transfer/FlashDiskTransfers.h"

#include <QList>
#include <QTest>
#include <optional>

// Readable failure messages for QCOMPARE on actions.
inline char* toString(const TransferActions& actions) {
    QByteArray text;
    for (const TransferAction& a : actions)
        text += "\n  kind " + QByteArray::number(int(a.kind)) + " bytes \"" +
                a.bytes.toPercentEncoding(" \"") + "\" value " + QByteArray::number(a.value) +
                " text \"" + a.text.toUtf8() + "\" end " + QByteArray::number(int(a.end));
    return qstrdup(text.constData());
}

// A terminal without a window: carries transfer actions out the way the window does (console
// model, command line, log, local file, progress bar) against the simulated board's firmware,
// which answers every line with one chunk per reply line, as the real firmware does.
struct SimulatedTerminal {
    BasicTransfers basic;
    FlashDiskTransfers flash;
    board::CommandInterpreter board;
    bool udp = true;   // which link is open; the other send function sends nothing
    int dropEvery = 0; // lose every Nth chunk from the board
    int chunksOut = 0;

    QByteArray console, log, file;
    bool fileOpen = false;
    QList<QByteArray> sent;    // what reached the board, line ends included
    QList<QByteArray> pending; // board chunks not yet received
    QString progressText;
    int pausedMs = 0;
    std::optional<TransferAction::End> finished;

    SimulatedTerminal() : board(QString(), false) {}

    void carryOut(const TransferActions& actions) {
        using K = TransferAction::Kind;
        for (const TransferAction& a : actions) {
            switch (a.kind) {
            case K::SendUdp:
            case K::SendSerial:
                if (udp == (a.kind == K::SendUdp))
                    toBoard(a.bytes); // the other link is closed
                break;
            case K::ConsoleAppend:
                console += a.bytes;
                break;
            case K::ConsoleReplace:
                console = a.bytes;
                break;
            case K::Log:
                log += a.bytes;
                break;
            case K::AppendFile:
                if (!fileOpen)
                    QTest::qFail("bytes written to a closed file", __FILE__, __LINE__);
                file += a.bytes;
                break;
            case K::CloseFile:
                fileOpen = false;
                break;
            case K::Pause:
                pausedMs += int(a.value);
                break;
            case K::ProgressText:
                progressText = a.text;
                break;
            case K::Finished:
                finished = a.end;
                break;
            case K::SetCommandLine: // not observed here
            case K::ProgressMax:
            case K::ProgressValue:
            case K::ErrorBox:
            case K::ConsoleToEnd:
                break;
            }
        }
    }

    void toBoard(const QByteArray& bytes) {
        sent.append(bytes);
        for (const QByteArray& chunk : board.run(bytes)) {
            if (dropEvery > 0 && ++chunksOut % dropEvery == 0)
                continue;
            pending.append(chunk);
        }
    }

    // The receive router: the running transfer's parser, else the console.
    void receive(const QByteArray& chunk) {
        if (basic.LoadBasicMode())
            carryOut(basic.LOAD_BASIC_parser(chunk));
        else if (basic.SendBasicMode())
            carryOut(basic.SEND_BASIC_parser(chunk));
        else if (flash.SendFilesMode())
            carryOut(flash.SEND_FILES_parser(chunk, udp));
        else if (flash.LoadFilesMode())
            carryOut(flash.LOAD_FILES_parser(chunk, udp));
        else
            console += chunk;
    }

    // Delivers the board's chunks, and those they cause, until the board is silent.
    void run() {
        while (!pending.isEmpty())
            receive(pending.takeFirst());
    }

    void upload(const QByteArray& program) {
        carryOut(basic.closeProgramFile());
        carryOut(basic.startUpload(program));
        run();
    }
    void download() {
        carryOut(basic.closeProgramFile());
        file.clear();
        fileOpen = true;
        carryOut(basic.startDownload());
        run();
    }
    void sendFile(const QByteArray& name, const QByteArray& bytes) {
        carryOut(flash.startSend(name, bytes));
        run();
    }
};
