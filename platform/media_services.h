// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clip_player.h"
#include "platform/sound_player.h"
#include "platform/sound_recorder.h"

#include <memory>

namespace kadrix {

// The one place that picks the media services: Qt Multimedia over the
// desktop's sound server and GStreamer, from the media module, or the null
// services where the module or Qt Multimedia's back-end is missing. A
// recorder or sound player is cheap to make: the module is loaded, and the
// back-end asked for, when it is first used; a clip player loads them when
// made.
std::unique_ptr<SoundRecorder> createSoundRecorder();
std::unique_ptr<ClipPlayer> createClipPlayer();
std::unique_ptr<SoundPlayer> createSoundPlayer();

} // namespace kadrix
