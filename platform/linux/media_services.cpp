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

// Picks the real or the null player when the first sound is played: asking
// Qt Multimedia for its back-end loads GStreamer, which would otherwise cost
// every start of the window tens of milliseconds.
class FirstUseSoundPlayer final : public SoundPlayer {
public:
    bool playToEnd(const std::string& path) override {
        if (!chosen_) {
            if (haveMediaBackEnd())
                chosen_ = std::make_unique<QtSoundPlayer>();
            else
                chosen_ = std::make_unique<NullSoundPlayer>();
        }
        return chosen_->playToEnd(path);
    }

private:
    std::unique_ptr<SoundPlayer> chosen_;
};

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
    return std::make_unique<FirstUseSoundPlayer>();
}

} // namespace kadrix
