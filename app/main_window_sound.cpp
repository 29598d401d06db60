// SPDX-License-Identifier: GPL-3.0-or-later
// The timed sound recording: the desktop's sound input for the chosen
// seconds, saved as the next numbered WAV file.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "capture/sound_recording.h"

#include <QProgressBar>
#include <QTimer>
#include <chrono>

namespace kadrix {

void TMain::startSoundRecording() {
    disableForRecording(*Timer4, *Timer3);
    // Nothing remembers this: the stop step shows the window in any case.
    if (isMaximized())
        hide();
    soundRecording_ = std::make_unique<SoundRecording>(
        *services_.recorder, std::chrono::milliseconds(Timer4->interval()));
    savedCaption_ = windowTitle();
    setWindowTitle("Идёт запись...");
    // The progress bar and the disabled buttons change the see-through shape.
    seeThrough_->update();
    Timer4->start();
    Timer3->start();
}

bool TMain::soundRecording() const {
    return soundRecording_ != nullptr;
}

void TMain::Timer3Timer() {
    ProgressBar1->setValue(ProgressBar1->value() + progressStep_);
}

void TMain::Timer4Timer() {
    finishSoundRecording(SoundStop::AtLength);
}

void TMain::finishSoundRecording(SoundStop when) {
    // Once per recording: the wait for the last of the sound and the
    // pending events below may let the stop timer fall due again.
    if (!soundRecording_)
        return;
    std::unique_ptr<SoundRecording> recording = std::move(soundRecording_);
    Timer3->stop();
    setWindowTitle("Создание wav...");
    titleStrip_->repaint();
    const SoundOutcome outcome = recording->finish(when, outputPathFor(OutputKind::Sound));
    recording.reset(); // the input is released before any report
    // A number whose sound could not be saved stays free for the next one.
    if (outcome.numberUsed) {
        setWindowTitle("wav создан");
        counters_.advance(OutputKind::Sound);
        showNextName(outputPathFor(OutputKind::Sound));
    }
    setWindowTitle(savedCaption_);
    show();
    enableAfterRecording();
    Timer4->stop();
    if (!outcome.report.isEmpty())
        reportOnRecording(outcome.report, outcome.error);
}

} // namespace kadrix
