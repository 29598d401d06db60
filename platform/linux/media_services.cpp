#include "platform/media_services.h"

#include "core/error.h"
#include "platform/linux/qt_clip_player.h"
#include "platform/linux/qt_sound_player.h"
#include "platform/linux/qt_sound_recorder.h"

#include <QList>
#include <QMediaFormat>

namespace kadrix {

namespace {

// Qt Multimedia without a back-end plug-in knows no file format at all.
bool haveMediaBackEnd() {
    return !QMediaFormat().supportedFileFormats(QMediaFormat::Decode).isEmpty();
}

} // namespace

void NullClipPlayer::open(const std::string& path, QWidget*) {
    throw Error("No media player for \"" + path + "\"");
}

std::unique_ptr<SoundRecorder> createSoundRecorder() {
    return std::make_unique<QtSoundRecorder>();
}

std::unique_ptr<ClipPlayer> createClipPlayer() {
    if (!haveMediaBackEnd())
        return std::make_unique<NullClipPlayer>();
    return std::make_unique<QtClipPlayer>();
}

std::unique_ptr<SoundPlayer> createSoundPlayer() {
    if (!haveMediaBackEnd())
        return std::make_unique<NullSoundPlayer>();
    return std::make_unique<QtSoundPlayer>();
}

} // namespace kadrix
