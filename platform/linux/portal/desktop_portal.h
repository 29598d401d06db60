// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/error.h"

#include <QDBusConnection>
#include <QImage>
#include <QString>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kadrix {

class PortalRequest;

// The user said no to the desktop's question.
class PortalRefused : public Error {
public:
    using Error::Error;
};

// One monitor of a screen-cast session: its stream and its place in the
// desktop's logical layout (a size of 0: the stream's own).
struct MonitorStream {
    std::uint32_t node = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ScreenCastSession {
    int remote = -1; // PipeWire, opened by the portal for this session
    std::vector<MonitorStream> monitors;
    QString restoreToken; // empty where the portal gives none
};

// The desktop's portal (org.freedesktop.portal.Desktop) on a connection of
// its own, which keeps a screen-cast session open as long as it lives. Its
// requests block the calling thread, which runs its own event loop meanwhile
// for the answers: call them off the window's thread.
class DesktopPortal {
public:
    DesktopPortal();
    ~DesktopPortal();
    DesktopPortal(const DesktopPortal&) = delete;
    DesktopPortal& operator=(const DesktopPortal&) = delete;

    // The versions of the interfaces the portal offers; 0: not offered.
    std::uint32_t screenCastVersion();
    std::uint32_t screenshotVersion();

    // Opens a session on every monitor, the pointer left out, that the desktop
    // keeps permitted across runs: with a token from an earlier session the
    // user is not asked again. Throws PortalRefused or kadrix::Error.
    ScreenCastSession startScreenCast(const QString& restoreToken);
    // The whole desktop through the Screenshot interface, without a dialog
    // where the desktop allows. Throws PortalRefused or kadrix::Error.
    QImage screenshot();

    // From any thread: a screen cast being started ends unanswered (its
    // dialog closed) and throws kadrix::Error.
    void cancel();

private:
    QDBusConnection bus_;
    std::mutex mutex_;
    PortalRequest* starting_ = nullptr; // the screen cast's requests
    bool cancelled_ = false;
    QString session_; // the open screen-cast session's object
};

} // namespace kadrix
