// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

// Plays a sound file to its end before returning. The window repaints
// meanwhile but takes no input, as a double click on a sound expects.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;

    // False when the file cannot be played (no sound server, not a sound);
    // never waits longer than the sound's length and 3 s more.
    virtual bool playToEnd(const std::string& path) = 0;
};

// Where the program has no media back-end: nothing plays.
class NullSoundPlayer final : public SoundPlayer {
public:
    bool playToEnd(const std::string&) override { return false; }
};

} // namespace kadrix
