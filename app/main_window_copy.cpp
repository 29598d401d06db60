// SPDX-License-Identifier: GPL-3.0-or-later
// "Копировать": the previewed picture to the clipboard.
#include "app/main_window.h"

#include "ui/picture_box.h"

namespace kadrix {

void TMain::N5Click() {
    // With no picture previewed there is nothing to copy, and the clipboard
    // keeps what it holds.
    if (Image1->pictureFile().empty())
        return;
    const QImage picture = Image1->picture();
    // At full size, not as Image1 shows it.
    services_.clipboard->setImage(picture);
}

} // namespace kadrix
