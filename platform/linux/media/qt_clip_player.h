// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clip_player.h"

#include <QPointer>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace kadrix {

class PlayerSource;
class VideoView;

// Plays clips and sounds through Qt Multimedia (GStreamer). A file is held
// by a player of its own, which close() destroys, so that nothing keeps the
// file open afterwards.
class QtClipPlayer final : public ClipPlayer {
public:
    QtClipPlayer();
    ~QtClipPlayer() override;

    void open(const std::string& path, QWidget* display) override;
    void close() override;
    bool isOpen() const override { return player_ != nullptr; }
    bool hasVideo() const override;
    bool canSeek() const override;
    std::chrono::milliseconds length() const override;
    std::chrono::milliseconds position() const override;
    std::chrono::milliseconds lastFrame() const override;
    bool atEnd() const override;
    State state() const override { return state_; }
    void play() override;
    void pause() override;
    void stop() override;
    void seek(std::chrono::milliseconds position) override;

private:
    std::unique_ptr<QMediaPlayer> player_;
    std::unique_ptr<QAudioOutput> audio_;
    std::unique_ptr<PlayerSource> source_;
    QPointer<VideoView> view_;
    State state_ = State::Stopped;
};

} // namespace kadrix
