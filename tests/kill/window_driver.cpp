// The real window, scripted for the kill tests: kill_window_driver JOB BOARD_PORT TARGET [options]
//   flood (TARGET unused): connect, print "port N", rewrite both .ini files without pause;
//   receive|save: connect, Recieve DATA.BIN or Save the program into TARGET; exit 0 if whole.
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
    if (argc < 4)
        return 2;
    const QByteArray job = argv[1];
    const QString boardPort = QString::fromLocal8Bit(argv[2]);
    const QString target = QString::fromLocal8Bit(argv[3]);
    argv[3] = argv[0]; // the rest, from argv + 3, is brenmoor's own command line
    int rest = argc - 3;
    char** args = argv + 3;

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
        w.boardFileEdit->setText(QStringLiteral("DATA.BIN"));
        (job == "receive" ? w.receiveFileButton : w.saveProgramButton)->click();
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
