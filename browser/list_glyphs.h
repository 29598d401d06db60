#pragma once

#include <QIcon>

namespace kadrix::glyphs {

constexpr int size = 16;

// The browser lists' glyphs, drawn by the program. Looking icons up
// in the desktop's theme costs milliseconds at start, and their look differs
// from desktop to desktop; these are drawn once per list.
enum class Glyph { Picture, Clip, Sound, OtherFile, OpenFolder, ClosedFolder };

QIcon drawn(Glyph glyph);

} // namespace kadrix::glyphs
