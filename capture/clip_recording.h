// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/assemble_clip.h"
#include "platform/screen_grabber.h"
#include "platform/window_service.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QWidget;

namespace kadrix {

class FrameWriter;

// Where a recording's frames come from: the screen under the capture frame,
// or a fixed rectangle of the screen (the whole screen the maximised frame
// is on, while the frame is hidden).
struct RecordedArea {
    QWidget* frameWindow = nullptr;
    ScreenRect screen; // where there is no frameWindow
};

// Something the end of a recording tells the user.
struct RecordingReport {
    std::string text;
    bool error = false; // an error report rather than a message
};

// One timed clip recording. At each tick a frame of the area is grabbed and
// handed to a writer thread, which writes it as the next free frame file
// ("Fr000001.bmp", skipping numbers that files already have) in the folder
// and then appends it to the clip under construction beside it. The stop
// step is then short: the clip's index and headers, the rename, and the
// frame files in the clip deleted on a thread of their own.
class ClipRecording {
public:
    // Starts recording the clip of the number into folder; seconds is the
    // length asked for, which sizes the clip's index.
    ClipRecording(ScreenGrabber& grabber, WindowService& windows, RecordedArea area,
                  std::string folder, std::int32_t clipNumber, int seconds);
    // Waits for the frame files to be deleted.
    ~ClipRecording();
    ClipRecording(const ClipRecording&) = delete;
    ClipRecording& operator=(const ClipRecording&) = delete;

    // A frame tick. Throws kadrix::Error when the frame before could not be
    // written, or this one cannot be grabbed: the recording ends then.
    void tick();
    // The stop step, once: the clip complete under its name, or the frames
    // kept aside (RecordingClip::finish). Returns what to tell the user, in
    // order.
    std::vector<RecordingReport> finish();

    bool running() const { return running_; }
    // Whether finish() made the clip.
    bool clipWritten() const { return clipWritten_; }
    // This recording's frames, names in the folder, in order.
    const std::vector<std::string>& frames() const { return frames_; }
    const std::string& folder() const { return folder_; }
    // The number the next frame tries first.
    std::int32_t nextFrameNumber() const { return nextFrame_; }

private:
    ScreenGrabber& grabber_;
    WindowService& windows_;
    RecordedArea area_;
    std::string folder_;
    std::vector<std::string> frames_;
    std::int32_t nextFrame_ = 1;
    int lateTicks_ = 0;
    std::chrono::steady_clock::time_point lastTick_;
    bool running_ = true;
    bool clipWritten_ = false;
    RecordingClip clip_;
    std::unique_ptr<FrameWriter> writer_; // after clip_, which it appends to
    std::jthread removal_;                // deletes the frames in the clip
};

} // namespace kadrix
