// SPDX-License-Identifier: GPL-3.0-or-later
// The timed clip recording: a frame every 200 ms while the chosen seconds
// run, put into the next numbered clip as it goes.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "capture/clip_recording.h"
#include "capture/screen_under_window.h"
#include "core/error.h"
#include "core/path.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <utility>

namespace kadrix {

void TMain::startClipRecording() {
    // Coarse timers may fall due 5 % early: a 10-second recording would lose
    // its last frames, and the frame rhythm would wander.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2->setTimerType(Qt::PreciseTimer);
    disableForRecording(*Timer2, *Timer1);
    RecordedArea area{.frameWindow = this, .screen = {}};
    if (isMaximized()) {
        // Frames are then the whole screen the window is on.
        area = RecordedArea{.frameWindow = nullptr, .screen = screenRectInPixels(*this)};
        hiddenForRecording_ = true;
        hide();
    }
    savedCaption_ = windowTitle();
    setWindowTitle("Идёт запись...");
    // The last recording's frame files are gone before this one numbers its own.
    clipRecording_.reset();
    clipRecording_ = std::make_unique<ClipRecording>(
        *services_.grabber, *services_.windows, area, currentFolder(),
        counters_.next(OutputKind::Video), SpinEdit1->value());
    seeThrough_->update();
    Timer1->start();
    Timer2->start();
}

bool TMain::recording() const {
    return clipRecording_ && clipRecording_->running();
}

std::int32_t TMain::frameCounter() const {
    return recording() ? clipRecording_->nextFrameNumber() : 1;
}

void TMain::Timer1Timer() {
    try {
        clipRecording_->tick();
    } catch (const Error& error) {
        // One report, not one a tick: the recording ends with the frames it has.
        finishRecording();
        reportOnRecording(QString::fromStdString(error.what()), true);
        return;
    }
    ProgressBar1->setValue(ProgressBar1->value() + progressStep_);
}

std::vector<std::string> TMain::FillList() const {
    std::vector<std::string> frames;
    if (clipRecording_)
        for (const std::string& name : clipRecording_->frames())
            frames.push_back(joinPath(clipRecording_->folder(), name));
    return frames;
}

void TMain::Timer2Timer() {
    finishRecording();
}

void TMain::finishRecording() {
    // Once per recording, also when message boxes let the stop timer fall
    // due again.
    if (!recording())
        return;
    Timer1->stop();
    Timer2->stop();
    setWindowTitle("Создание avi...");
    titleStrip_->repaint();
    const std::vector<RecordingReport> reports = clipRecording_->finish();
    if (clipRecording_->clipWritten())
        setWindowTitle("avi создан");
    counters_.advance(OutputKind::Video);
    showNextName(outputPathFor(OutputKind::Video));
    restoreAfterRecording();
    for (const RecordingReport& report : reports)
        reportOnRecording(QString::fromStdString(report.text), report.error);
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
