// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/media_module.h"

#include "platform/linux/media/qt_clip_player.h"
#include "platform/linux/media/qt_sound_player.h"
#include "platform/linux/media/qt_sound_recorder.h"

#include <QList>
#include <QMediaFormat>

namespace {

// Qt Multimedia without a back-end plug-in knows no file format at all.
// Asking loads GStreamer, so it is asked when a file is first played.
bool haveMediaBackEnd() {
    return !QMediaFormat().supportedFileFormats(QMediaFormat::Decode).isEmpty();
}

} // namespace

kadrix::SoundRecorder* kadrixMediaSoundRecorder() {
    return new kadrix::QtSoundRecorder();
}

kadrix::ClipPlayer* kadrixMediaClipPlayer() {
    if (!haveMediaBackEnd())
        return new kadrix::NullClipPlayer();
    return new kadrix::QtClipPlayer();
}

kadrix::SoundPlayer* kadrixMediaSoundPlayer() {
    if (!haveMediaBackEnd())
        return new kadrix::NullSoundPlayer();
    return new kadrix::QtSoundPlayer();
}
