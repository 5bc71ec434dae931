#include "app/ShutdownSignals.h"
#include "app/StartOptions.h"
#include "app/UDP.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    StartOptions options;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Help, version and a wrong value are answered before Qt looks for a display, so they work
    // over ssh and in a package build.
    const auto early = options.read(arguments, StartOptions::Mode::Lenient);
    if (early != StartOptions::Outcome::Run) {
        QCoreApplication core(argc, argv); // names the program in the help
        return options.answer(early);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenmoor"));
    QApplication::setApplicationVersion(QStringLiteral(BRENMOOR_VERSION));
    const auto late = options.read(QApplication::arguments(), StartOptions::Mode::Strict);
    if (late != StartOptions::Outcome::Run)
        return options.answer(late);
    if (!options.filesDir().isEmpty()) {
        if (const auto failed = enterFilesDir(options.filesDir())) {
            std::fprintf(stderr, "brenmoor: cannot keep the files in %s\n",
                         failed->toLocal8Bit().constData());
            return 1;
        }
    }
    QApplication::setStyle(QStringLiteral("Fusion"));

    // Watching before the window is built: a session ended during start-up still gets the
    // normal shut-down. The handler runs from the event loop, when the window exists.
    UDP* window = nullptr;
    ShutdownSignals shutdown([&window] { window->closeBySignal(); });
    UDP terminal;
    window = &terminal;
    terminal.show();
    return QApplication::exec();
}
