// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/qt_clip_player.h"

#include "core/error.h"
#include "platform/linux/media/player_source.h"
#include "platform/linux/media/video_view.h"
#include "platform/linux/media/wait_for_player.h"

#include <QAudioOutput>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <algorithm>

namespace kadrix {

namespace {

using std::chrono::milliseconds;

// Opening a clip takes milliseconds; a file the back-end chokes on must not
// hold the window for long.
constexpr milliseconds openTimeout{10000};
// A clip whose pictures the back-end cannot draw (8-bit with a palette)
// opens without an error but never shows one.
constexpr milliseconds firstFrameTimeout{1500};
// Our clips run at 10 pictures a second.
constexpr milliseconds defaultFrameInterval{100};

} // namespace

QtClipPlayer::QtClipPlayer() = default;

QtClipPlayer::~QtClipPlayer() {
    close();
}

void QtClipPlayer::open(const std::string& path, QWidget* display) {
    close();
    player_ = std::make_unique<QMediaPlayer>();
    audio_ = std::make_unique<QAudioOutput>();
    player_->setAudioOutput(audio_.get());
    if (display) {
        view_ = new VideoView(display);
        player_->setVideoOutput(view_->videoSink());
    }
    source_ = std::make_unique<PlayerSource>(path);
    player_->setSource(source_->url());
    waitForPlayer(*player_, openTimeout, [this] {
        const QMediaPlayer::MediaStatus status = player_->mediaStatus();
        return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::InvalidMedia;
    });
    if (player_->error() == QMediaPlayer::NoError &&
        player_->mediaStatus() == QMediaPlayer::LoadedMedia) {
        // Pausing shows the first picture; a missing decoder only shows
        // itself here.
        player_->pause();
        if (player_->hasVideo() && view_)
            waitForPlayer(*player_, firstFrameTimeout, [this] { return view_->hasFrame(); });
    }
    if (player_->error() != QMediaPlayer::NoError ||
        player_->mediaStatus() != QMediaPlayer::LoadedMedia) {
        // The back-end's own reason, where it gives one, after the user's words.
        QString text = "Нельзя открыть клип <" + QString::fromStdString(path) + ">";
        if (!player_->errorString().isEmpty())
            text += ": " + player_->errorString();
        close();
        throw Error(text.toStdString());
    }
    QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, player_.get(),
                     [this](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::EndOfMedia)
                             state_ = State::Stopped;
                     });
    state_ = State::Stopped;
}

void QtClipPlayer::close() {
    // The player first: it still draws into the view while it runs.
    player_.reset();
    audio_.reset();
    source_.reset();
    delete view_;
    state_ = State::Stopped;
}

bool QtClipPlayer::hasVideo() const {
    return player_ && player_->hasVideo();
}

bool QtClipPlayer::canSeek() const {
    return player_ && player_->isSeekable();
}

milliseconds QtClipPlayer::length() const {
    return player_ ? milliseconds(player_->duration()) : milliseconds{};
}

milliseconds QtClipPlayer::position() const {
    return player_ ? milliseconds(player_->position()) : milliseconds{};
}

milliseconds QtClipPlayer::lastFrame() const {
    if (!player_ || !player_->hasVideo())
        return length();
    milliseconds interval = defaultFrameInterval;
    const double rate = player_->metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
    if (rate > 0)
        interval = milliseconds(static_cast<long long>(1000 / rate));
    return std::max(milliseconds{}, length() - interval);
}

bool QtClipPlayer::atEnd() const {
    return player_ &&
           (player_->mediaStatus() == QMediaPlayer::EndOfMedia || position() >= lastFrame());
}

void QtClipPlayer::play() {
    if (!player_)
        return;
    player_->play();
    state_ = State::Playing;
}

void QtClipPlayer::pause() {
    if (!player_)
        return;
    player_->pause();
    state_ = State::Paused;
}

void QtClipPlayer::stop() {
    if (!player_)
        return;
    // Paused, not stopped: a stopped back-end goes back to the start and
    // shows no picture.
    player_->pause();
    state_ = State::Stopped;
}

void QtClipPlayer::seek(milliseconds position) {
    if (!player_)
        return;
    // A back-end that ran to the end has let the clip go; pausing takes it
    // up again, so the picture at the new position is shown.
    if (player_->playbackState() == QMediaPlayer::StoppedState)
        player_->pause();
    player_->setPosition(position.count());
}

} // namespace kadrix
