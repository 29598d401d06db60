#pragma once

#include "platform/mail_composer.h"
#include "platform/screen_grabber.h"
#include "platform/url_opener.h"

#include <memory>

namespace kadrix {

// The one place that picks the platform services for the display the
// program runs on. Returns none where the display offers no screen grab
// (not X11); the capture button then says so.
std::unique_ptr<ScreenGrabber> createScreenGrabber();

// The desktop's mail composer through xdg-email; a null one where that tool
// is not installed.
std::unique_ptr<MailComposer> createMailComposer();

// Opens the help page in the user's browser.
std::unique_ptr<UrlOpener> createUrlOpener();

} // namespace kadrix
