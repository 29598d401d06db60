// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/default_sound_input.h"

#include <QMediaDevices>
#include <QProcess>

namespace kadrix {

namespace {

// The sound server's default source by name ("alsa_input.pci-..."), which is
// the id Qt gives the device; empty where it cannot be learnt (no pactl, no
// server, a server that does not answer in time).
QByteArray serverDefaultSource() {
    QProcess pactl;
    pactl.start("pactl", {"get-default-source"}, QIODevice::ReadOnly);
    if (!pactl.waitForFinished(2000)) {
        pactl.kill();
        pactl.waitForFinished(500);
        return {};
    }
    if (pactl.exitStatus() != QProcess::NormalExit || pactl.exitCode() != 0)
        return {};
    return pactl.readAllStandardOutput().trimmed();
}

} // namespace

QAudioDevice defaultSoundInput() {
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    if (inputs.isEmpty())
        return {};
    const QByteArray name = serverDefaultSource();
    for (const QAudioDevice& input : inputs)
        if (!name.isEmpty() && input.id() == name)
            return input;
    return QMediaDevices::defaultAudioInput();
}

} // namespace kadrix
