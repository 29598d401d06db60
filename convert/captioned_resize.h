// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace kadrix {

struct Caption {
    QString text;
    QColor color;
    int top = 0; // the top of the text cell, in rows of the unscaled picture
};

// The viewer's JPEG picture: the caption written into picture, then
// the whole scaled to height rows with its aspect kept, nearest neighbour, so
// the caption scales with it. A height that rounds a side to 0 gives a null
// image. Throws kadrix::Error when the result would be wider than a JPEG can
// be, before any memory is taken for it.
QImage captionedResize(QImage picture, const Caption& caption, int height);

} // namespace kadrix
