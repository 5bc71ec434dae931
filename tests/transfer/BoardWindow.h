#pragma once

#include "link/UdpPeer.h"

#include "board/BoardSimulator.h"
#include "console/ConsoleModel.h"
#include "form/TextProgressBar.h"
#include "transfer/Transfers.h"

#include <QDir>
#include <QPushButton>
#include <memory>

enum class Link { Udp, Serial };
Q_DECLARE_METATYPE(Link)
using Lines = QList<QByteArray>;

inline const QByteArray Program = "10 PRINT 1\r\n20 PRINT 2\r\n30 PRINT 3\r\n40 END\r\n";

// `size` bytes stepping by `step`: with an odd step, 256 of them hold every byte value.
inline QByteArray stepped(int size, int step = 7) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * step);
    return bytes;
}

// The window against the board simulator over loopback UDP or its pseudo-terminal, joined
// through the Connect or Open button.
struct BoardWindow {
    Terminal w;
    std::unique_ptr<board::BoardSimulator> board;

    bool boot(board::BoardOptions options) {
        options.udpPort = 0;
        board = std::make_unique<board::BoardSimulator>(options);
        QString why;
        const bool started = board->start(&why);
        if (!started)
            qWarning("board: %s", qPrintable(why));
        return started;
    }
    bool start(Link link, board::BoardOptions options = {}) {
        options.ptyEnabled = link == Link::Serial;
        options.udpEnabled = link == Link::Udp;
        if (!boot(options))
            return false;
        if (link == Link::Udp)
            return connectWindow(w, board->udpPort());
        w.portEdit->setText(board->ptyPath());
        w.openPortButton->click();
        return w.link().serialOpen();
    }

    static QString path(const char* name) { return QDir::current().absoluteFilePath(name); }
    static QByteArray read(const char* name) { return readFile(path(name)); }
    QByteArray log() { return w.logged(); }
    // The board's answer to the window's last command has come whole.
    bool answered() { return log().endsWith("OK\r\n"); }

    // The panels' buttons, their dialogs answered with a file here (holding `content` to open).
    void upload(const QByteArray& program) { click(w.uploadProgramButton, "prog.bas", program); }
    void save(const char* name) { click(w.saveProgramButton, name); }
    void sendFile(const QByteArray& bytes) { click(w.sendFileButton, "out.bin", bytes); }
    void receiveFile(const char* name) { click(w.receiveFileButton, name); }
    void click(QPushButton* button, const char* name, const QByteArray& content = {}) {
        const bool opens = button == w.uploadProgramButton || button == w.sendFileButton;
        if (opens)
            QVERIFY(writeFile(path(name), content));
        (opens ? w.dialogs().openAnswers : w.dialogs().saveAnswers) << path(name);
        button->click();
    }
};
