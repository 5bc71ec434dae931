// An operator at the real window, scripted, for the kill tests to kill midway and start again:
//   kill_window_driver flood BOARD_PORT [brenmoor's options]: connect, print "port N", then
//     rewrite terminal.ini and command.ini without pause, a new version number on every line;
//   kill_window_driver receive|save BOARD_PORT TARGET [options]: connect, then Recieve the
//     board's DATA.BIN or Save its program into TARGET; exit 0 when it completed, 1 otherwise.
#include "TestSupport.h"

#include "app/StartOptions.h"
#include "app/Startup.h"
#include "link/BoardLink.h"
#include "transfer/Transfers.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const QByteArray job = argv[1];
    const QString boardPort = QString::fromLocal8Bit(argv[2]);
    const QString target = job == "flood" || argc < 4 ? QString() : QString::fromLocal8Bit(argv[3]);
    const int skip = target.isEmpty() ? 2 : 3;
    int rest = argc - skip;
    std::vector<char*> restArgs{argv[0]};
    for (int i = skip + 1; i < argc; ++i)
        restArgs.push_back(argv[i]);
    restArgs.push_back(nullptr);
    char** args = restArgs.data();

    StartOptions options;
    if (const auto exitCode = options.answerEarly(rest, args))
        return *exitCode;
    QApplication app(rest, args);
    if (const auto exitCode = options.settle(QApplication::arguments()))
        return *exitCode;
    ScriptedDialogs dialogs;
    TerminalWindow w(&dialogs);
    w.show();
    w.hostCombo->setEditText(QStringLiteral("127.0.0.1"));
    w.remotePortEdit->setText(boardPort);
    w.localPortEdit->setText(QStringLiteral("0"));
    w.connectButton->click();
    std::printf("port %u\n", w.link().localPort());
    std::fflush(stdout);

    QTimer work;
    int version = 0;
    if (job == "flood") {
        QObject::connect(&work, &QTimer::timeout, [&] {
            ++version;
            w.hostCombo->clear();
            for (int i = 0; i < 8; ++i)
                w.hostCombo->addItem(QStringLiteral("10.%1.0.%2").arg(version % 250).arg(i));
            w.saveHostsButton->click();
            for (int i = 0; i < BufferState::BufferSlots; ++i)
                w.state().commandLines[size_t(i)] =
                    "V" + QByteArray::number(version) + " line " + QByteArray::number(i);
            Startup::saveCommandBuffer(w.state());
        });
        work.start(0);
    } else {
        dialogs.saveAnswers << target;
        if (job == "receive") {
            w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
            w.receiveFileButton->click();
        } else {
            w.saveProgramButton->click();
        }
        QObject::connect(&work, &QTimer::timeout, [&] {
            if (w.transfers().running())
                return;
            const bool whole = QFile::exists(target) && !QFile::exists(target + ".part");
            QCoreApplication::exit(whole ? 0 : 1);
        });
        work.start(20);
    }
    QTimer::singleShot(120000, [] { QCoreApplication::exit(3); }); // never left running
    return QApplication::exec();
}
