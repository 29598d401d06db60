// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/clip_recording.h"

#include "capture/screen_under_window.h"
#include "core/clip/clip_timing.h"
#include "core/clip/frame_writer.h"
#include "core/error.h"
#include "core/file.h"
#include "core/naming/output_name.h"
#include "core/path.h"
#include "core/picture/bmp_writer.h"

#include <QLoggingCategory>
#include <utility>

// Late frame ticks are counted here, not shown to the user:
// QT_LOGGING_RULES="kadrix.recording.debug=true".
Q_LOGGING_CATEGORY(recordingLog, "kadrix.recording", QtWarningMsg)

namespace kadrix {

namespace {

// A tick this much later than the interval has missed its frame.
constexpr auto lateTick = std::chrono::milliseconds(frameIntervalMs * 3 / 2);

// The frames a recording of so many seconds takes, with a few to spare.
std::uint64_t plannedFrames(int seconds) {
    return static_cast<std::uint64_t>(seconds) * 1000 / frameIntervalMs + 5;
}

} // namespace

ClipRecording::ClipRecording(ScreenGrabber& grabber, WindowService& windows, RecordedArea area,
                             std::string folder, std::int32_t clipNumber, int seconds)
    : grabber_(grabber), windows_(windows), area_(area), folder_(std::move(folder)),
      lastTick_(std::chrono::steady_clock::now()),
      clip_(folder_, outputFileName(OutputKind::Video, clipNumber), clipFramesPerSecond,
            plannedFrames(seconds)),
      writer_(
          std::make_unique<FrameWriter>([this](const std::string& path, const ImageView& frame) {
              // The frame goes into the clip before it takes its name, so
              // that nothing can change the file in between.
              ReplacementFile file(path);
              writeBmp(file.out(), frame);
              clip_.add(file.temporaryPath());
              file.commit();
          })) {}

ClipRecording::~ClipRecording() = default;

void ClipRecording::tick() {
    const auto now = std::chrono::steady_clock::now();
    if (now - std::exchange(lastTick_, now) > lateTick)
        qCDebug(recordingLog) << "late frame tick" << ++lateTicks_;
    // The grab below reuses the memory of the frame before.
    writer_->wait();
    const ImageView frame = area_.frameWindow
                                ? grabUnderWindow(*area_.frameWindow, grabber_, windows_)
                                : grabber_.grab(area_.screen);
    // A file of the frame's name is not this recording's: the frame takes
    // the next number that is free, and the file stays as it is.
    nextFrame_ = freeFrameNumber(folder_, nextFrame_);
    frames_.push_back(outputFileName(OutputKind::Frame, nextFrame_));
    writer_->write(outputPath(OutputKind::Frame, nextFrame_, folder_), frame);
    ++nextFrame_;
}

std::vector<RecordingReport> ClipRecording::finish() {
    running_ = false;
    std::string writeError;
    try {
        writer_->wait();
    } catch (const Error& error) {
        writeError = error.what();
    }
    // A frame that could not be written is not this recording's, even where
    // a file of its name lies in the folder.
    frames_.resize(static_cast<std::size_t>(writer_->written()));
    writer_.reset();

    std::vector<RecordingReport> reports;
    std::string inputError;
    if (frames_.empty()) {
        reports.push_back({"Fr*.bmp файлы отсутствуют", false});
    } else {
        try {
            const ClipOutcome outcome = clip_.finish(frames_);
            clipWritten_ = true;
            inputError = outcome.inputError;
            std::vector<std::string> inClip;
            for (std::size_t i = 0; i < outcome.frames; ++i)
                inClip.push_back(joinPath(folder_, frames_[i]));
            // Deleting large files takes the file system a while.
            removal_ = std::jthread([inClip = std::move(inClip)] {
                for (const std::string& frame : inClip)
                    removeFile(frame);
            });
        } catch (const AviWriteError& error) {
            reports.push_back({error.what(), false});
        } catch (const Error& error) {
            inputError = error.what();
        }
    }
    if (!writeError.empty())
        reports.push_back({writeError, true});
    else if (!inputError.empty())
        reports.push_back({inputError, true});
    return reports;
}

} // namespace kadrix
