// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/sound_recording.h"

#include <QFile>

namespace kadrix {

namespace {

QString shownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString seconds(std::chrono::milliseconds length) {
    return QString::number(static_cast<double>(length.count()) / 1000, 'f', 1);
}

} // namespace

SoundRecording::SoundRecording(SoundRecorder& recorder, std::chrono::milliseconds length)
    : recorder_(recorder), length_(length) {
    // Each step is left out when no input is open.
    recorder_.open();
    recorder_.record(length_);
}

SoundRecording::~SoundRecording() {
    if (recorder_.isOpen())
        recorder_.close();
}

SoundOutcome SoundRecording::finish(SoundStop when, const std::string& path) {
    SoundOutcome outcome;
    if (!recorder_.isOpen())
        return outcome;
    const RecordedSound sound = recorder_.stop(when);
    const QString cutShort = "Запись звука прервалась: звуковой сервер перестал отвечать.";
    if (sound.length.count() == 0) {
        outcome.numberUsed = false;
        if (sound.cutShort)
            outcome.report = cutShort + " Звук не сохранён.";
        return outcome;
    }
    const std::string failure = recorder_.save(path);
    if (!failure.empty()) {
        outcome.numberUsed = false;
        outcome.report = QString("Не удалось сохранить звук в файл \"%1\".\n%2")
                             .arg(shownPath(path), QString::fromStdString(failure));
        outcome.error = true;
    } else if (sound.cutShort) {
        outcome.report =
            cutShort + QString(" Звук в файле \"%1\" короче: %2 с из %3 с.")
                           .arg(shownPath(path), seconds(sound.length), seconds(length_));
    }
    return outcome;
}

} // namespace kadrix
