#pragma once

#include <chrono>
#include <string>

namespace kadrix {

// The desktop's sound input driven as a recording device: open a new, empty
// recording, record, stop, save it as a WAV file, close. Failures are never
// shown to the user, so every step only says whether it worked.
class SoundRecorder {
public:
    virtual ~SoundRecorder() = default;

    // Opens the desktop's default sound input for a new, empty recording;
    // false where there is none (no sound server, no input device).
    virtual bool open() = 0;
    // Starts recording `length` of sound; the recording never grows beyond
    // it. False when nothing is open or the input refuses to start.
    virtual bool record(std::chrono::milliseconds length) = 0;
    // Ends the recording once its whole length is in. A sound input starts
    // delivering a second or so late, so this waits for the rest, but never
    // past `length` + 3 s after record(): a stalled input cannot freeze the
    // window. The window repaints meanwhile but takes no input.
    virtual bool stop() = 0;
    // Writes the recording as a WAV file at path, replacing a file there.
    virtual bool save(const std::string& path) = 0;
    // Releases the input and the recording.
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;
};

// Where the program has no sound input at all: nothing opens.
class NullSoundRecorder final : public SoundRecorder {
public:
    bool open() override { return false; }
    bool record(std::chrono::milliseconds) override { return false; }
    bool stop() override { return false; }
    bool save(const std::string&) override { return false; }
    bool close() override { return false; }
    bool isOpen() const override { return false; }
};

} // namespace kadrix
