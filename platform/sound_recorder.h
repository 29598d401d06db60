// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

namespace kadrix {

// When a recording stops.
enum class SoundStop {
    // Once its whole length is in (the recording's own end).
    AtLength,
    // With what has come in so far, at once (the program ends).
    Now,
};

// What a stopped recording holds.
struct RecordedSound {
    std::chrono::milliseconds length{0};
    // The input ended before the recording's whole length was in (the sound
    // server went away, or stopped delivering): the sound is shorter than
    // asked. Never so for a recording stopped Now.
    bool cutShort = false;
};

// The desktop's sound input driven as a recording device: open a new, empty
// recording, record, stop, save it as a WAV file, close.
class SoundRecorder {
public:
    virtual ~SoundRecorder() = default;

    // Opens the desktop's default sound input for a new, empty recording;
    // false where there is none (no sound server, no input device).
    virtual bool open() = 0;
    // Starts recording `length` of sound; the recording never grows beyond
    // it. False when nothing is open or the input refuses to start.
    virtual bool record(std::chrono::milliseconds length) = 0;
    // Ends the recording. AtLength: a sound input starts delivering a second
    // or so late, so this waits for the rest, but never past `length` + 3 s
    // after record(): a stalled input cannot freeze the window. The window
    // repaints meanwhile but takes no input.
    virtual RecordedSound stop(SoundStop when) = 0;
    // Writes the recording as a WAV file at path, replacing a file there
    // only once the new one is whole. Returns why it could not (the write
    // error's text), or nothing when the file is written.
    virtual std::string save(const std::string& path) = 0;
    // Releases the input and the recording.
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;
};

// Where the program has no sound input at all: nothing opens.
class NullSoundRecorder final : public SoundRecorder {
public:
    bool open() override { return false; }
    bool record(std::chrono::milliseconds) override { return false; }
    RecordedSound stop(SoundStop) override { return {}; }
    std::string save(const std::string&) override { return "No sound input"; }
    bool close() override { return false; }
    bool isOpen() const override { return false; }
};

} // namespace kadrix
