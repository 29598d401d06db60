// SPDX-License-Identifier: GPL-3.0-or-later
// The capture button and the still snapshot.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "capture/screen_under_window.h"
#include "core/error.h"
#include "core/picture/bmp_writer.h"

#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kadrix {

void TMain::BitBtn1Click() {
    if (!inCaptureFrame())
        return;
    switch (mode_) {
    case Mode::Pictures:
        takeSnapshot();
        break;
    case Mode::Clips:
        startClipRecording();
        break;
    case Mode::Sounds:
        startSoundRecording();
        break;
    case Mode::AllFiles:
        break;
    }
}

void TMain::takeSnapshot() {
    const ImageView picture = grabUnderWindow(*this, *services_.grabber, *services_.windows);
    // The path is the file system's bytes; Edit1 only shows it.
    const std::string path = outputPathFor(OutputKind::Picture);
    showNextName(path);
    writeBmp(path, picture);
    const std::string name =
        outputFileName(OutputKind::Picture, counters_.next(OutputKind::Picture));
    counters_.advance(OutputKind::Picture);
    flashCaption(QFile::decodeName(QByteArray::fromStdString(name)) + " создан", 500);
}

void TMain::flashCaption(const QString& status, int milliseconds) {
    savedCaption_ = windowTitle();
    setWindowTitle(status);
    titleStrip_->repaint();
    // The window keeps drawing itself; clicks and keys wait until the pause
    // is over. The loop sleeps between events: processEvents() with a time
    // limit would not wait for them, and spin.
    QEventLoop pause;
    QTimer::singleShot(milliseconds, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
    setWindowTitle(savedCaption_);
}

} // namespace kadrix
