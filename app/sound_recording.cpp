// The timed sound recording: the desktop's sound input for the chosen
// seconds, saved as the next numbered WAV file.
#include "app/UnitMain.h"

#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "platform/sound_recorder.h"

#include <QProgressBar>
#include <QTimer>
#include <chrono>

namespace kadrix {

void TMain::startSoundRecording() {
    disableForRecording(*Timer4, *Timer3);
    // Nothing remembers this: the stop step shows the window in any case.
    if (isMaximized())
        hide();
    openSoundDevice();
    recordSound();
    savedCaption_ = windowTitle();
    setWindowTitle("Идёт запись...");
    soundRecording_ = true;
    // The progress bar and the disabled buttons change the see-through shape.
    seeThrough_->update();
    Timer4->start();
    Timer3->start();
}

void TMain::openSoundDevice() {
    recorder_->open();
}

void TMain::recordSound() {
    recorder_->record(std::chrono::milliseconds(Timer4->interval()));
}

void TMain::stopAndSaveSound() {
    if (!recorder_->isOpen())
        return;
    recorder_->stop();
    // The path Edit1 shows, as the file system's bytes.
    recorder_->save(outputPathFor(OutputKind::Sound));
}

void TMain::closeSoundDevice() {
    if (recorder_->isOpen())
        recorder_->close();
}

void TMain::Timer3Timer() {
    ProgressBar1->setValue(ProgressBar1->value() + progressStep_);
}

void TMain::Timer4Timer() {
    // Once per recording: the wait for the last of the sound and the
    // pending events below may let the stop timer fall due again.
    if (!soundRecording_)
        return;
    soundRecording_ = false;
    Timer3->stop();
    setWindowTitle("Создание wav...");
    titleStrip_->repaint();
    stopAndSaveSound();
    closeSoundDevice();
    setWindowTitle("wav создан");
    ++soundCounter_;
    showNextName(outputPathFor(OutputKind::Sound));
    setWindowTitle(savedCaption_);
    show();
    enableAfterRecording();
    Timer4->stop();
}

} // namespace kadrix
