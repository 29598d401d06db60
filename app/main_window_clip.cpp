// SPDX-License-Identifier: GPL-3.0-or-later
// The timed clip recording: a frame every 200 ms while the chosen seconds
// run, then the frames assembled into the next numbered clip.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "capture/keep_painting.h"
#include "capture/screen_under_window.h"
#include "core/clip/assemble_clip.h"
#include "core/clip/clip_timing.h"
#include "core/clip/frame_writer.h"
#include "core/error.h"
#include "core/path.h"
#include "core/picture/bmp_writer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <utility>

// Late frame ticks are counted here, not shown to the user:
// QT_LOGGING_RULES="kadrix.recording.debug=true".
Q_LOGGING_CATEGORY(recordingLog, "kadrix.recording", QtWarningMsg)

namespace kadrix {

void TMain::startClipRecording() {
    // Coarse timers may fall due 5 % early: a 10-second recording would lose
    // its last frames, and the frame rhythm would wander.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2->setTimerType(Qt::PreciseTimer);
    disableForRecording(*Timer2, *Timer1);
    if (isMaximized()) {
        // Frames are then the whole screen the window is on.
        recordedScreen_ = screenRectInPixels(*this);
        hiddenForRecording_ = true;
        hide();
    }
    savedCaption_ = windowTitle();
    setWindowTitle("Идёт запись...");
    frameCounter_ = 1;
    recordedFrames_.clear();
    lateFrames_ = 0;
    frameWriter_ = std::make_unique<FrameWriter>(writeBmp);
    recording_ = true;
    seeThrough_->update();
    Timer1->start();
    Timer2->start();
    frameClock_.start();
}

void TMain::Timer1Timer() {
    if (frameClock_.restart() > Timer1->interval() * 3 / 2)
        qCDebug(recordingLog) << "late frame tick" << ++lateFrames_;
    try {
        // The grab below reuses the memory of the frame before.
        frameWriter_->wait();
        const ImageView frame = hiddenForRecording_ ? grabber_->grab(recordedScreen_)
                                                    : grabUnderWindow(*this, *grabber_, *windows_);
        // A file of the frame's name is not this recording's: the frame takes
        // the next number that is free, and the file stays as it is.
        frameCounter_ = freeFrameNumber(currentFolder(), frameCounter_);
        recordedFrames_.push_back(outputFileName(OutputKind::Frame, frameCounter_));
        frameWriter_->write(outputPathFor(OutputKind::Frame), frame);
    } catch (const Error& error) {
        // One report, not one a tick: the recording ends with the frames it has.
        finishRecording();
        reportOnRecording(QString::fromStdString(error.what()), true);
        return;
    }
    ++frameCounter_;
    ProgressBar1->setValue(ProgressBar1->value() + progressStep_);
}

std::vector<std::string> TMain::FillList() const {
    std::vector<std::string> frames;
    for (const std::string& name : recordedFrames_)
        frames.push_back(joinPath(currentFolder(), name));
    return frames;
}

void TMain::Timer2Timer() {
    const QString inputError = finishRecording();
    if (!inputError.isEmpty())
        reportOnRecording(inputError, true);
}

QString TMain::finishRecording() {
    // Once per recording, also when message boxes or the assembly let the
    // stop timer fall due again.
    if (!recording_)
        return {};
    recording_ = false;
    Timer1->stop();
    Timer2->stop();
    setWindowTitle("Создание avi...");
    titleStrip_->repaint();
    QString writeError;
    try {
        frameWriter_->wait();
    } catch (const Error& error) {
        writeError = QString::fromStdString(error.what());
    }
    // A frame that could not be written is not this recording's, even where
    // a file of its name lies in the folder.
    recordedFrames_.resize(static_cast<std::size_t>(frameWriter_->written()));
    frameWriter_.reset();
    const QString inputError = assembleRecording();
    ++videoCounter_;
    showNextName(outputPathFor(OutputKind::Video));
    restoreAfterRecording();
    return writeError.isEmpty() ? inputError : writeError;
}

QString TMain::assembleRecording() {
    const std::vector<std::string>& frames = recordedFrames_;
    if (frames.empty()) {
        reportOnRecording("Fr*.bmp файлы отсутствуют", false);
        return {};
    }
    ProgressBar1->setMaximum(static_cast<int>(frames.size()));
    ProgressBar1->setValue(0);
    const std::string folder = currentFolder();
    const std::string clip = outputFileName(OutputKind::Video, videoCounter_);
    QPointer<QProgressBar> bar = ProgressBar1;
    ClipOutcome outcome;
    try {
        runKeepingWindowsPainted([&] {
            outcome = assembleClip(folder, clip, frames, clipFramesPerSecond,
                                   [bar](std::size_t done, std::size_t) {
                                       QMetaObject::invokeMethod(
                                           bar,
                                           [bar, done] {
                                               if (bar)
                                                   bar->setValue(static_cast<int>(done));
                                           },
                                           Qt::QueuedConnection);
                                   });
        });
    } catch (const AviWriteError& error) {
        reportOnRecording(QString::fromStdString(error.what()), false);
        return {};
    } catch (const Error& error) {
        return QString::fromStdString(error.what());
    }
    setWindowTitle("avi создан");
    return QString::fromStdString(outcome.inputError);
}

void TMain::restoreAfterRecording() {
    setWindowTitle(savedCaption_);
    if (hiddenForRecording_) {
        hiddenForRecording_ = false;
        show();
    }
    if (std::exchange(showAfterRecording_, false))
        TrayIconClick();
    enableAfterRecording();
}

void TMain::disableForRecording(QTimer& stopTimer, const QTimer& stepTimer) {
    stopTimer.setInterval(SpinEdit1->value() * 1000);
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximum(stopTimer.interval());
    progressStep_ = stepTimer.interval();
    ProgressBar1->show();
    BitBtn1->setEnabled(false);
    BitBtn2->setEnabled(false);
    SpinEdit1->setEnabled(false);
    setBorderIcons(false, false);
}

void TMain::enableAfterRecording() {
    QApplication::processEvents();
    BitBtn1->setEnabled(true);
    BitBtn2->setEnabled(true);
    SpinEdit1->setEnabled(true);
    setBorderIcons(true, false);
    ProgressBar1->hide();
    seeThrough_->update();
}

} // namespace kadrix
