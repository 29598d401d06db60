// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/sound_player.h"

namespace kadrix {

// Plays a sound file through Qt Multimedia to its end. Not QSoundEffect:
// with no sound server that waits forever.
class QtSoundPlayer final : public SoundPlayer {
public:
    bool playToEnd(const std::string& path) override;
};

} // namespace kadrix
