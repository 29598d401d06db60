// SPDX-License-Identifier: GPL-3.0-or-later
// The timed sound recording: the desktop's sound input for the chosen
// seconds, saved as the next numbered WAV file.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "platform/sound_recorder.h"

#include <QFile>
#include <QProgressBar>
#include <QTimer>
#include <chrono>

namespace kadrix {

namespace {

QString shownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString seconds(std::chrono::milliseconds length) {
    return QString::number(static_cast<double>(length.count()) / 1000, 'f', 1);
}

} // namespace

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

TMain::SoundOutcome TMain::stopAndSaveSound(SoundStop when) {
    SoundOutcome outcome;
    if (!recorder_->isOpen())
        return outcome;
    const RecordedSound sound = recorder_->stop(when);
    // The path Edit1 shows, as the file system's bytes.
    const std::string path = outputPathFor(OutputKind::Sound);
    const QString cutShort = "Запись звука прервалась: звуковой сервер перестал отвечать.";
    if (sound.length.count() == 0) {
        outcome.numberUsed = false;
        if (sound.cutShort)
            outcome.report = cutShort + " Звук не сохранён.";
        return outcome;
    }
    const std::string failure = recorder_->save(path);
    if (!failure.empty()) {
        outcome.numberUsed = false;
        outcome.report = QString("Не удалось сохранить звук в файл \"%1\".\n%2")
                             .arg(shownPath(path), QString::fromStdString(failure));
        outcome.error = true;
    } else if (sound.cutShort) {
        outcome.report =
            cutShort + QString(" Звук в файле \"%1\" короче: %2 с из %3 с.")
                           .arg(shownPath(path), seconds(sound.length),
                                seconds(std::chrono::milliseconds(Timer4->interval())));
    }
    return outcome;
}

void TMain::closeSoundDevice() {
    if (recorder_->isOpen())
        recorder_->close();
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
    soundRecording_ = false;
    Timer3->stop();
    setWindowTitle("Создание wav...");
    titleStrip_->repaint();
    const SoundOutcome outcome = stopAndSaveSound(when);
    closeSoundDevice();
    // A number whose sound could not be saved stays free for the next one.
    if (outcome.numberUsed) {
        setWindowTitle("wav создан");
        ++soundCounter_;
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
