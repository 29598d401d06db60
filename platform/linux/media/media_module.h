// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clip_player.h"
#include "platform/sound_player.h"
#include "platform/sound_recorder.h"

// The media services on Qt Multimedia live in a module of their own, loaded
// when the program first plays or records: Qt Multimedia and the libraries
// under it (the sound server's client, codecs, networking) would otherwise
// cost every start some 10 ms of linking and 3 MB. These are its entry
// points; each returns a new service that the caller owns.
extern "C" {
kadrix::SoundRecorder* kadrixMediaSoundRecorder();
kadrix::ClipPlayer* kadrixMediaClipPlayer();
kadrix::SoundPlayer* kadrixMediaSoundPlayer();
}

namespace kadrix {

// The module's file, installed in <prefix>/lib/kadrix beside <prefix>/bin.
inline constexpr char mediaModuleFileName[] = "kadrix-media.so";

} // namespace kadrix
