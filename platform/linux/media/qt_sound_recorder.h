// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/wav_file.h"
#include "platform/sound_recorder.h"

#include <QDeadlineTimer>
#include <QIODevice>
#include <QPointer>
#include <cstddef>
#include <memory>
#include <vector>

class QAudioSource;
class QEventLoop;

namespace kadrix {

// Records 16-bit PCM from the desktop's default sound input at the rate and
// channel count the input prefers. The sound is kept in memory until saved:
// at most 30 s, a few megabytes, and a recording that is never saved leaves
// no file behind.
class QtSoundRecorder final : public SoundRecorder {
public:
    QtSoundRecorder();
    ~QtSoundRecorder() override;

    bool open() override;
    bool record(std::chrono::milliseconds length) override;
    RecordedSound stop(SoundStop when) override;
    std::string save(const std::string& path) override;
    bool close() override;
    bool isOpen() const override { return source_ != nullptr; }

private:
    void takeAvailable();
    bool complete() const { return samples_.size() >= wanted_; }

    std::unique_ptr<QAudioSource> source_;
    // The input goes with the sound server: the audio source deletes it.
    QPointer<QIODevice> input_;
    PcmFormat format_;
    std::vector<std::byte> samples_;
    std::size_t wanted_ = 0;
    QDeadlineTimer giveUp_;
    QEventLoop* waiting_ = nullptr;
};

} // namespace kadrix
