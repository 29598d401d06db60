// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// The standard colours the window is painted in. Maroon is also the key
// colour that turns see-through in the capture frame.
namespace kadrix::colors {

inline const QColor maroon{128, 0, 0};
inline const QColor green{0, 128, 0};
inline const QColor olive{128, 128, 0};
inline const QColor navy{0, 0, 128};
inline const QColor teal{0, 128, 128};
// The shaded side of a bevel.
inline const QColor grey{128, 128, 128};
// The frame lines of the group boxes and the rims of the mode buttons.
inline const QColor silver{192, 192, 192};

} // namespace kadrix::colors
