// The capture button and the still snapshot.
#include "app/UnitMain.h"

#include "app/frame_title_strip.h"
#include "capture/bmp_writer.h"
#include "capture/screen_under_window.h"
#include "core/error.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kadrix {

void TMain::BitBtn1Click() {
    if (BitBtn2->text() != "Опции")
        return;
    if (!grabber_ && (RadioButton1->isChecked() || RadioButton2->isChecked()))
        throw Error("This display offers no screen grab");
    if (RadioButton1->isChecked())
        takeSnapshot();
    if (RadioButton2->isChecked())
        startClipRecording();
    if (RadioButton3->isChecked())
        startSoundRecording();
}

void TMain::takeSnapshot() {
    const ImageView picture = grabUnderWindow(*this, *grabber_);
    const std::string digits = counterDigits(pictureCounter_);
    Edit1->setText(QString::fromStdString(outputPathFor(OutputKind::Picture)));
    writeBmp(Edit1->text().toStdString(), picture);
    ++pictureCounter_;
    flashCaption(QString::fromStdString("Pic" + digits + ".bmp") + " создан", 500);
}

void TMain::flashCaption(const QString& status, int milliseconds) {
    savedCaption_ = windowTitle();
    setWindowTitle(status);
    titleStrip_->repaint();
    // The window keeps drawing itself; clicks and keys wait until the pause
    // is over.
    QDeadlineTimer pause(milliseconds);
    while (!pause.hasExpired())
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents,
                                    static_cast<int>(pause.remainingTime()));
    setWindowTitle(savedCaption_);
}

} // namespace kadrix
