// The timed clip recording: a frame every 200 ms while the chosen seconds
// run, then the frames assembled into the next numbered clip.
#include "app/UnitMain.h"

#include "app/error_report.h"
#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "browser/folder_listing.h"
#include "capture/avi_writer.h"
#include "capture/bmp_writer.h"
#include "capture/create_avi.h"
#include "capture/screen_under_window.h"
#include "core/error.h"
#include "core/path.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <unistd.h>

// Late frame ticks are counted here, not shown to the user:
// QT_LOGGING_RULES="kadrix.recording.debug=true".
Q_LOGGING_CATEGORY(recordingLog, "kadrix.recording", QtWarningMsg)

namespace kadrix {

void TMain::startClipRecording() {
    Timer2->setInterval(SpinEdit1->value() * 1000);
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximum(Timer2->interval());
    progressStep_ = Timer1->interval();
    ProgressBar1->show();
    BitBtn1->setEnabled(false);
    BitBtn2->setEnabled(false);
    SpinEdit1->setEnabled(false);
    setBorderIcons(false, false);
    if (isMaximized()) {
        hiddenForRecording_ = true;
        hide();
    }
    savedCaption_ = windowTitle();
    setWindowTitle("Идёт запись...");
    frameCounter_ = 1;
    lateFrames_ = 0;
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
        ImageView frame;
        if (hiddenForRecording_) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const qreal scale = screen->devicePixelRatio();
            frame = grabber_->grab({0, 0, qRound(screen->geometry().width() * scale),
                                    qRound(screen->geometry().height() * scale)});
        } else {
            frame = grabUnderWindow(*this, *grabber_, *windows_);
        }
        writeBmp(outputPathFor(OutputKind::Frame), frame);
    } catch (const Error& error) {
        // One report, not one a tick: the recording ends with the frames it has.
        finishRecording();
        showErrorReport(QString::fromStdString(error.what()));
        return;
    }
    ++frameCounter_;
    ProgressBar1->setValue(ProgressBar1->value() + progressStep_);
}

QStringList TMain::FillList() const {
    std::vector<std::string> names = listFiles(currentFolder(), "Fr*.bmp");
    // Frame order: the six-digit numbers ascending.
    std::sort(names.begin(), names.end());
    QStringList frames;
    for (const std::string& name : names)
        frames << QString::fromStdString(joinPath(currentFolder(), name));
    return frames;
}

void TMain::Timer2Timer() {
    const QString inputError = finishRecording();
    if (!inputError.isEmpty())
        showErrorReport(inputError);
}

QString TMain::finishRecording() {
    // Once per recording, also when message boxes or the assembly let the
    // stop timer fall due again.
    if (!recording_)
        return {};
    recording_ = false;
    Timer1->stop();
    setWindowTitle("Создание avi...");
    titleStrip_->repaint();

    QString inputError;
    QStringList frames;
    try {
        frames = FillList();
    } catch (const Error& error) {
        inputError = QString::fromStdString(error.what());
    }
    if (frames.isEmpty() && inputError.isEmpty()) {
        showMessage("Fr*.bmp файлы отсутствуют");
    } else if (!frames.isEmpty()) {
        std::vector<std::string> paths;
        for (const QString& frame : frames)
            paths.push_back(frame.toStdString());
        try {
            createAvi(outputPathFor(OutputKind::Video), paths, 10);
        } catch (const AviWriteError& error) {
            showMessage(QString::fromStdString(error.what()));
        } catch (const Error& error) {
            inputError = QString::fromStdString(error.what());
        }
    }

    setWindowTitle("avi создан");
    ++videoCounter_;
    showNextName(outputPathFor(OutputKind::Video));
    for (std::int32_t n = 1; n <= frameCounter_; ++n)
        ::unlink(outputPath(OutputKind::Frame, n, currentFolder()).c_str());
    setWindowTitle(savedCaption_);
    if (hiddenForRecording_) {
        hiddenForRecording_ = false;
        show();
    }
    QApplication::processEvents();
    BitBtn1->setEnabled(true);
    BitBtn2->setEnabled(true);
    SpinEdit1->setEnabled(true);
    setBorderIcons(true, false);
    ProgressBar1->hide();
    seeThrough_->update();
    Timer2->stop();
    return inputError;
}

} // namespace kadrix
