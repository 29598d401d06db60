// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/end_signals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kadrix {

namespace {

constexpr std::array endSignals{SIGTERM, SIGHUP, SIGINT};

// The pipe's write end, for the handler: it may call nothing but
// async-signal-safe functions, so it finds the pipe here.
volatile sig_atomic_t requestPipe = -1;

void onEndSignal(int) {
    const int savedErrno = errno;
    const char request = 1;
    // A full pipe already holds a request; one is enough.
    [[maybe_unused]] const ssize_t written = ::write(requestPipe, &request, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // The program's own reads and writes go on as if nothing had happened.
    action.sa_flags = SA_RESTART;
    for (const int signal : endSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot watch for the end of the session: %s", std::strerror(errno));
        return;
    }
    readEnd_ = UniqueFd(ends[0]);
    writeEnd_ = UniqueFd(ends[1]);
    requestPipe = writeEnd_.get();
    notifier_ = new QSocketNotifier(readEnd_.get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::takeRequests);
    setHandler(onEndSignal);
}

EndSignals::~EndSignals() {
    if (!writeEnd_)
        return;
    setHandler(SIG_DFL);
    requestPipe = -1;
}

void EndSignals::takeRequests() {
    std::array<char, 16> requests;
    bool any = false;
    while (::read(readEnd_.get(), requests.data(), requests.size()) > 0)
        any = true;
    if (any)
        emit requested();
}

} // namespace kadrix
