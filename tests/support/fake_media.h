// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/error.h"
#include "core/wav_file.h"
#include "platform/clip_player.h"
#include "platform/sound_player.h"
#include "platform/sound_recorder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace kadrix::test {

// What a fake media service was asked to do, kept after the window that
// owned the service is gone.
struct MediaCalls {
    std::vector<std::string> calls; // "open", "record", "stop", "save", "close", ...
    std::chrono::milliseconds recordLength{};
    std::string path; // saved to, opened or played
};

// A sound input that records silence of the asked length at once: a 8 kHz
// mono WAV file on save, like the real recorder's in form. Without an input
// nothing opens, as with no sound server.
class FakeSoundRecorder final : public SoundRecorder {
public:
    explicit FakeSoundRecorder(std::shared_ptr<MediaCalls> log, bool hasInput = true)
        : log_(std::move(log)), hasInput_(hasInput) {}

    bool open() override {
        log_->calls.push_back("open");
        open_ = hasInput_;
        return open_;
    }
    bool record(std::chrono::milliseconds length) override {
        log_->calls.push_back("record");
        log_->recordLength = length;
        return open_;
    }
    // How long stop() waits for the rest of the sound, running the
    // window's events meanwhile as the real one does.
    std::chrono::milliseconds stopTakes{};

    RecordedSound stop(SoundStop) override {
        log_->calls.push_back("stop");
        QDeadlineTimer wait(stopTakes);
        while (!wait.hasExpired())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                                QEventLoop::WaitForMoreEvents,
                                            static_cast<int>(wait.remainingTime()));
        return {.length = open_ ? log_->recordLength : std::chrono::milliseconds{0}};
    }
    std::string save(const std::string& path) override {
        log_->calls.push_back("save");
        log_->path = path;
        if (!open_)
            return "Nothing was recorded";
        const PcmFormat format{.channels = 1, .sampleRate = 8000, .bitsPerSample = 16};
        const std::vector<std::byte> silence(
            format.bytesPerSecond() * static_cast<std::size_t>(log_->recordLength.count()) / 1000);
        try {
            writeWavFile(path, format, silence);
        } catch (const Error& error) {
            return error.what();
        }
        return {};
    }
    bool close() override {
        log_->calls.push_back("close");
        open_ = false;
        return true;
    }
    bool isOpen() const override { return open_; }

private:
    std::shared_ptr<MediaCalls> log_;
    bool hasInput_;
    bool open_ = false;
};

// A player whose file, length and position a test sets; it moves only when
// told to, so the bar's rules can be checked step by step.
class FakeClipPlayer final : public ClipPlayer {
public:
    explicit FakeClipPlayer(std::shared_ptr<MediaCalls> log) : log_(std::move(log)) {}

    // What the next open finds: a clip, a sound, or a file it cannot play.
    bool nextHasVideo = true;
    std::chrono::milliseconds nextLength{2000};
    std::string nextError;

    void open(const std::string& path, QWidget*) override {
        log_->calls.push_back("open");
        log_->path = path;
        open_ = nextError.empty();
        if (!open_)
            throw Error(nextError);
        video_ = nextHasVideo;
        length_ = nextLength;
        position_ = {};
        state_ = State::Stopped;
    }
    void close() override {
        log_->calls.push_back("close");
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    bool hasVideo() const override { return open_ && video_; }
    bool canSeek() const override { return open_; }
    std::chrono::milliseconds length() const override { return length_; }
    std::chrono::milliseconds position() const override { return position_; }
    std::chrono::milliseconds lastFrame() const override {
        return video_ ? length_ - std::chrono::milliseconds(100) : length_;
    }
    bool atEnd() const override { return position_ >= lastFrame(); }
    State state() const override { return state_; }
    void play() override {
        log_->calls.push_back("play");
        state_ = State::Playing;
    }
    void pause() override {
        log_->calls.push_back("pause");
        state_ = State::Paused;
    }
    void stop() override {
        log_->calls.push_back("stop");
        state_ = State::Stopped;
    }
    void seek(std::chrono::milliseconds position) override {
        log_->calls.push_back("seek " + std::to_string(position.count()));
        position_ = position;
    }

private:
    std::shared_ptr<MediaCalls> log_;
    bool open_ = false;
    bool video_ = false;
    std::chrono::milliseconds length_{};
    std::chrono::milliseconds position_{};
    State state_ = State::Stopped;
};

// Plays nothing and says the sound was played.
class FakeSoundPlayer final : public SoundPlayer {
public:
    explicit FakeSoundPlayer(std::shared_ptr<MediaCalls> log) : log_(std::move(log)) {}
    bool playToEnd(const std::string& path) override {
        log_->calls.push_back("play");
        log_->path = path;
        return true;
    }

private:
    std::shared_ptr<MediaCalls> log_;
};

} // namespace kadrix::test
