// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/error.h"
#include "platform/clipboard.h"
#include "platform/mail_composer.h"
#include "platform/screen_grabber.h"
#include "platform/url_opener.h"
#include "platform/window_service.h"

namespace kadrix {

// The services of a display that offers no screen grab (no X server): each
// call says so instead of doing nothing silently.
class NullScreenGrabber final : public ScreenGrabber {
public:
    ImageView grab(const ScreenRect&) override {
        throw Error("This display offers no screen grab");
    }
};

class NullWindowService final : public WindowService {
public:
    bool canTakeAway() const override { return false; }
    std::unique_ptr<WindowAway> takeAway(NativeWindow, const std::vector<ScreenRect>&) override {
        return std::make_unique<WindowAway>();
    }
    void flush() override {}
};

// Where the desktop offers no way to hand over a message.
class NullMailComposer final : public MailComposer {
public:
    void compose(const MailMessage&, FailureReport failed) override { failed(noMailHandOffText()); }
};

// Where the desktop offers no way to open a page.
class NullUrlOpener final : public UrlOpener {
public:
    void open(const QUrl& url, FailureReport failed) override { failed(noPageOpenerText(url)); }
};

// Where there is no clipboard to offer a picture on.
class NullClipboard final : public Clipboard {
public:
    void setImage(const QImage&) override {}
};

} // namespace kadrix
