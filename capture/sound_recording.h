// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/sound_recorder.h"

#include <QString>
#include <chrono>
#include <string>

namespace kadrix {

// What became of a sound recording.
struct SoundOutcome {
    // The number is this recording's: its sound is saved, or there was no
    // sound input at all. A number whose sound could not be saved stays
    // free for the next one.
    bool numberUsed = true;
    // What the user is told: a save that failed, a sound cut short.
    QString report;
    bool error = false;
};

// One timed recording of the desktop's sound input, saved at its end as a
// WAV file. Without a sound input nothing is recorded.
class SoundRecording {
public:
    // Opens the input and starts recording `length` of sound.
    SoundRecording(SoundRecorder& recorder, std::chrono::milliseconds length);
    // Releases the input.
    ~SoundRecording();
    SoundRecording(const SoundRecording&) = delete;
    SoundRecording& operator=(const SoundRecording&) = delete;

    // The stop step: the sound so far (Now) or the whole of it (AtLength)
    // saved at path, the file system's bytes.
    SoundOutcome finish(SoundStop when, const std::string& path);

private:
    SoundRecorder& recorder_;
    std::chrono::milliseconds length_;
};

} // namespace kadrix
