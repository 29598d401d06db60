// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktop/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace kadrix {

void SystemClipboard::setImage(const QImage& picture) {
    QGuiApplication::clipboard()->setImage(picture);
}

} // namespace kadrix
