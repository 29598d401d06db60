// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file.h"

#include <QObject>

class QSocketNotifier;

namespace kadrix {

// The system's requests that the program end: SIGTERM (the desktop session
// ends, or someone ends the program), SIGHUP (the terminal it was started
// from went away) and SIGINT (Ctrl+C there). Each arrives as the signal
// `requested` from the event loop, so that the program can finish what it is
// writing before it goes; the signal handler itself only writes a byte to a
// pipe. One object at a time; while it lives, those signals no longer end
// the process by themselves.
class EndSignals final : public QObject {
    Q_OBJECT

public:
    // Where no pipe can be made the signals keep ending the process at once,
    // and a warning says so.
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

signals:
    void requested();

private:
    void takeRequests();

    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kadrix
