// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QImage;

namespace kadrix {

// The text cell of the caption is this many pixels high.
inline constexpr int captionCellHeight = 15;

// The caption's face: Liberation Sans (the metrics of the face the caption
// was designed in), or the desktop's sans face where it is missing; sized so
// that its cell is 15 pixels high and widened to an average character of 10
// pixels.
QFont captionFont();

// Writes text into picture with its cell's top left corner at (0, top),
// opaquely: the cells are white behind the glyphs. Text beyond the picture's
// edges is cut off; an empty text changes nothing.
void drawCaption(QImage& picture, const QString& text, const QColor& color, int top);

} // namespace kadrix
