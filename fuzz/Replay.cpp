// Runs a fuzz target's function over saved inputs without libFuzzer: every file in the folders
// named by BRENMOOR_FUZZ_INPUTS (colon-separated), or the files given as arguments. A fault
// traps or is caught by the sanitizers; no input at all is a failure too, so a lost corpus
// cannot pass unnoticed.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool replay(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);
#ifdef BRENMOOR_FUZZ_INPUTS
    if (argc == 1) {
        for (const QString& dir : QStringLiteral(BRENMOOR_FUZZ_INPUTS).split(u':')) {
            QDirIterator it(dir, QDir::Files);
            while (it.hasNext())
                files << it.next();
        }
    }
#endif
    files.sort();
    for (const QString& path : files) {
        std::printf("%s\n", qPrintable(path)); // the last name shown is the input that failed
        std::fflush(stdout);
        if (!replay(path))
            return 1;
    }
    std::printf("%lld inputs replayed\n", qlonglong(files.size()));
    return files.isEmpty() ? 1 : 0;
}
