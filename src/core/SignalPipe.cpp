#include "core/SignalPipe.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void writeSignalNumber(int number) {
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalPipe::SignalPipe(std::initializer_list<int> watched, QObject* parent)
    : QObject(parent), watched_(watched) {
    if (pipeFds[0] >= 0 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a pipe the signals keep their default action: the process ends
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalPipe::drain);
    struct sigaction action {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : watched_)
        ::sigaction(number, &action, nullptr);
}

SignalPipe::~SignalPipe() {
    if (!notifier_)
        return;
    for (const int number : watched_)
        ::signal(number, SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalPipe::drain() {
    char byte = 0;
    int last = 0;
    while (::read(pipeFds[0], &byte, 1) == 1) {
        last = static_cast<unsigned char>(byte);
        if (first_ == 0)
            first_ = last;
    }
    if (last != 0)
        emit raised(last);
}
