// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clipboard.h"

namespace kadrix {

// The display's clipboard through Qt. On X11 the clipboard's contents live
// as long as this program does.
class SystemClipboard final : public Clipboard {
public:
    void setImage(const QImage& picture) override;
};

} // namespace kadrix
