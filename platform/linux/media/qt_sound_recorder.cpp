// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/qt_sound_recorder.h"

#include "core/error.h"
#include "platform/linux/media/default_sound_input.h"

#include <QAudioSource>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace kadrix {

namespace {

// How long past its length a recording may take to come in: inputs start
// delivering 0.7 to 1.5 s after they are started.
constexpr std::chrono::milliseconds lateInput{3000};

QAudioFormat recordingFormat(const QAudioDevice& device) {
    QAudioFormat format = device.preferredFormat();
    format.setSampleFormat(QAudioFormat::Int16);
    if (format.sampleRate() <= 0 || format.channelCount() <= 0) {
        format.setSampleRate(44100);
        format.setChannelCount(2);
    }
    return format;
}

} // namespace

QtSoundRecorder::QtSoundRecorder() = default;

QtSoundRecorder::~QtSoundRecorder() {
    close();
}

bool QtSoundRecorder::open() {
    close();
    const QAudioDevice device = defaultSoundInput();
    if (device.isNull())
        return false;
    const QAudioFormat format = recordingFormat(device);
    if (!device.isFormatSupported(format))
        return false;
    format_ = PcmFormat{.channels = static_cast<std::uint16_t>(format.channelCount()),
                        .sampleRate = static_cast<std::uint32_t>(format.sampleRate()),
                        .bitsPerSample = 16};
    source_ = std::make_unique<QAudioSource>(device, format);
    return true;
}

bool QtSoundRecorder::record(std::chrono::milliseconds length) {
    if (!source_ || input_ || length.count() <= 0)
        return false;
    const std::uint64_t frames = std::uint64_t{format_.sampleRate} * length.count() / 1000;
    wanted_ = frames * format_.bytesPerFrame();
    samples_.clear();
    samples_.reserve(wanted_);
    giveUp_ = QDeadlineTimer(length + lateInput);
    // A quarter second of sound a read: the input wakes the program four
    // times a second instead of twenty.
    source_->setBufferSize(static_cast<qsizetype>(format_.bytesPerSecond() / 4));
    input_ = source_->start();
    if (!input_)
        return false;
    QObject::connect(input_, &QIODevice::readyRead, source_.get(), [this] { takeAvailable(); });
    QObject::connect(source_.get(), &QAudioSource::stateChanged, source_.get(), [this] {
        // An input that fails (the server went away) ends the wait at once.
        if (source_->error() != QAudio::NoError && waiting_)
            waiting_->quit();
    });
    return true;
}

void QtSoundRecorder::takeAvailable() {
    if (!input_)
        return;
    const QByteArray chunk = input_->readAll();
    const std::size_t room = wanted_ - std::min(wanted_, samples_.size());
    const auto* bytes = reinterpret_cast<const std::byte*>(chunk.constData());
    samples_.insert(samples_.end(), bytes,
                    bytes + std::min(room, static_cast<std::size_t>(chunk.size())));
    // The input is stopped by stop(), never here: stopping it deletes the
    // device whose signal is being handled.
    if (complete() && waiting_)
        waiting_->quit();
}

RecordedSound QtSoundRecorder::stop(SoundStop when) {
    if (!source_)
        return {};
    if (when == SoundStop::AtLength && input_ && !complete() &&
        source_->error() == QAudio::NoError && !giveUp_.hasExpired()) {
        QEventLoop loop;
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
        giveUp.start(std::max<qint64>(0, giveUp_.remainingTime()));
        waiting_ = &loop;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiting_ = nullptr;
    }
    if (input_) {
        takeAvailable();
        source_->stop();
        input_ = nullptr;
    }
    const std::uint64_t frames = samples_.size() / std::max(1u, format_.bytesPerFrame());
    return {.length = std::chrono::milliseconds(frames * 1000 / std::max(1u, format_.sampleRate)),
            .cutShort = when == SoundStop::AtLength && !complete()};
}

std::string QtSoundRecorder::save(const std::string& path) {
    if (!source_ || input_ || samples_.empty())
        return "Nothing was recorded";
    try {
        writeWavFile(path, format_, samples_);
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

bool QtSoundRecorder::close() {
    if (!source_)
        return false;
    if (waiting_)
        waiting_->quit();
    input_ = nullptr;
    source_.reset();
    samples_ = {};
    wanted_ = 0;
    return true;
}

} // namespace kadrix
