// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/error.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace kadrix {

// A clip or sound file opened for playback. Video is drawn into the display
// widget given at open, filling it.
class ClipPlayer {
public:
    enum class State { Stopped, Playing, Paused };

    virtual ~ClipPlayer() = default;

    // Opens path for playback, closing what was open first, and shows the
    // first picture of a clip. Throws kadrix::Error with the media back-end's
    // own text when the file cannot be played; the player is closed then.
    virtual void open(const std::string& path, QWidget* display) = 0;
    // Closes the file; afterwards the file is no longer held open and can be
    // deleted or replaced.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual bool hasVideo() const = 0;
    virtual bool canSeek() const = 0;
    virtual std::chrono::milliseconds length() const = 0;
    virtual std::chrono::milliseconds position() const = 0;
    // The position of the last picture of a clip: stepping forward stops
    // there, as a position past it shows nothing.
    virtual std::chrono::milliseconds lastFrame() const = 0;
    // Whether playback has run to the end (or stands on the last picture).
    virtual bool atEnd() const = 0;
    virtual State state() const = 0;

    // Plays from the current position to the end.
    virtual void play() = 0;
    // Holds playback at the current position.
    virtual void pause() = 0;
    // Ends playback; the picture shown and the position stay.
    virtual void stop() = 0;
    virtual void seek(std::chrono::milliseconds position) = 0;
};

// Where the program has no media back-end: nothing opens.
class NullClipPlayer final : public ClipPlayer {
public:
    void open(const std::string& path, QWidget*) override {
        throw Error("Нельзя открыть клип <" + path +
                    ">: не загружен модуль воспроизведения (Qt Multimedia)");
    }
    void close() override {}
    bool isOpen() const override { return false; }
    bool hasVideo() const override { return false; }
    bool canSeek() const override { return false; }
    std::chrono::milliseconds length() const override { return {}; }
    std::chrono::milliseconds position() const override { return {}; }
    std::chrono::milliseconds lastFrame() const override { return {}; }
    bool atEnd() const override { return false; }
    State state() const override { return State::Stopped; }
    void play() override {}
    void pause() override {}
    void stop() override {}
    void seek(std::chrono::milliseconds) override {}
};

// Makes a player for one clip view.
using ClipPlayerFactory = std::function<std::unique_ptr<ClipPlayer>()>;

} // namespace kadrix
