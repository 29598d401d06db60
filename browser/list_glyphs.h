// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace kadrix::glyphs {

constexpr int size = 16;

// The browser's glyphs, drawn by the program. Looking icons up in the
// desktop's theme costs milliseconds at start, and their look differs from
// desktop to desktop; decoding a picture file would load the PNG decoder
// before the window is first shown, for one 16 x 16 glyph. The lists draw
// theirs once per list.
enum class Glyph { Picture, Clip, Sound, OtherFile, OpenFolder, ClosedFolder, DeleteAll };

QIcon drawn(Glyph glyph);

} // namespace kadrix::glyphs
