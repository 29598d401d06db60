// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clip_encoder.h"
#include "platform/clip_player.h"
#include "platform/clipboard.h"
#include "platform/mail_composer.h"
#include "platform/screen_grabber.h"
#include "platform/sound_player.h"
#include "platform/sound_recorder.h"
#include "platform/tray_icon.h"
#include "platform/url_opener.h"
#include "platform/window_service.h"

#include <functional>
#include <memory>
#include <string>

class QIcon;

namespace kadrix {

// Every service of the platform that the window uses, made in one place and
// handed to the window whole. Never null.
struct Services {
    std::unique_ptr<ScreenGrabber> grabber;
    std::unique_ptr<WindowService> windows;
    std::unique_ptr<TrayIcon> tray;
    std::unique_ptr<SoundRecorder> recorder;
    std::unique_ptr<SoundPlayer> soundPlayer;
    // A player for each clip view; a player starts the media back-end, so
    // each view makes its own when it first plays.
    ClipPlayerFactory clipPlayers;
    ClipEncoderFactory clipEncoders;
    // The desktop's mail composer, and its opener of pages and documents.
    std::unique_ptr<MailComposer> mail;
    std::unique_ptr<UrlOpener> urls;
    std::unique_ptr<Clipboard> clipboard;
    // What the user is told once at start where the screen cannot be grabbed;
    // empty where it can.
    std::string notice;
};

// The composition root: the platform's real services. On an X server, its
// grab and shaped windows in an X11 session, the compositor's grab and
// see-through 32-bit windows in a Wayland session (XWayland); the null
// display services without an X server. Needs the application object.
// trayPicture is asked for when the icon is first shown; without one, the
// window has no icon in the notification area.
Services chooseServices(std::function<QIcon()> trayPicture = {});

// Services that do nothing and say so when asked: for a display that offers
// none, and the base that tests put their fakes into.
Services nullServices();

} // namespace kadrix
