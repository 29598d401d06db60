#pragma once

#include "platform/clip_player.h"
#include "platform/sound_player.h"
#include "platform/sound_recorder.h"

#include <memory>

namespace kadrix {

// The one place that picks the media services: Qt Multimedia over the
// desktop's sound server and GStreamer, or the null services where Qt
// Multimedia has no back-end. Creating them is cheap: the back-end is not
// asked for, and nothing is opened, until they are used.
std::unique_ptr<SoundRecorder> createSoundRecorder();
std::unique_ptr<ClipPlayer> createClipPlayer();
std::unique_ptr<SoundPlayer> createSoundPlayer();

} // namespace kadrix
