// SPDX-License-Identifier: GPL-3.0-or-later
// "Копировать": the previewed picture to the clipboard.
#include "app/UnitMain.h"

#include "browser/picture_box.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kadrix {

void TMain::N5Click() {
    // With no picture previewed there is nothing to copy, and the clipboard
    // keeps what it holds.
    if (Image1->pictureFile().empty())
        return;
    const QImage picture = Image1->picture();
    // At full size, not as Image1 shows it. Other programs paste it as
    // image/png or image/bmp; on X11 the clipboard lives as long as this
    // program does.
    QGuiApplication::clipboard()->setImage(picture);
}

} // namespace kadrix
