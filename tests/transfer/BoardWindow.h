#pragma once

#include "link/UdpPeer.h"

#include "board/BoardSimulator.h"
#include "core/TerminalState.h"
#include "transfer/Transfers.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

enum class Link { Udp, Serial };
Q_DECLARE_METATYPE(Link)

// The window against the board simulator, joined over loopback UDP or over the simulator's
// pseudo-terminal, as an operator joins them: through the Connect or Open button.
struct BoardWindow {
    Terminal w;
    std::unique_ptr<board::BoardSimulator> board;

    bool start(Link link, board::BoardOptions options = {}) {
        options.udpPort = 0;
        options.ptyEnabled = link == Link::Serial;
        options.udpEnabled = link == Link::Udp;
        board = std::make_unique<board::BoardSimulator>(options);
        QString why;
        if (!board->start(&why)) {
            qWarning("board: %s", qPrintable(why));
            return false;
        }
        if (link == Link::Udp)
            return connectWindow(w, board->udpPort());
        w.portEdit->setText(board->ptyPath());
        w.openPortButton->click();
        return w.link().serialOpen();
    }

    // A file in the window's working directory.
    static QString path(const QString& name) { return QDir::current().absoluteFilePath(name); }
    static void write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }
    QByteArray log() const { return readFile(path(QStringLiteral("Terminal.log"))); }
};

inline void addLinks() {
    QTest::addColumn<Link>("link");
}
