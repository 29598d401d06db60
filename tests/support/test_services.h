// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/services.h"
#include "platform/linux/desktop/system_clipboard.h"
#include "platform/media_services.h"

#include <memory>

namespace kadrix::test {

// What a test's window is made with unless the test puts its own fakes in:
// no screen grab, tray, sound or desktop tools, but clips play and encode,
// and pictures reach the clipboard, as in the program, since the tests read
// them back.
inline Services testServices() {
    Services services = nullServices();
    services.clipPlayers = createClipPlayer;
    services.clipEncoders = createClipEncoder;
    services.clipboard = std::make_unique<SystemClipboard>();
    return services;
}

} // namespace kadrix::test
