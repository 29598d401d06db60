// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/video_view.h"

#include <QEvent>
#include <QPainter>

namespace kadrix {

VideoView::VideoView(QWidget* display) : QWidget(display) {
    setObjectName("VideoView");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(display->rect());
    display->installEventFilter(this);
    connect(&sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
        // An empty frame comes at the end of a clip; the last picture stays.
        if (!frame.isValid())
            return;
        frame_ = frame;
        update();
    });
    show();
}

bool VideoView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void VideoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!frame_.isValid()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    QVideoFrame frame = frame_;
    // Qt 6.4 takes the padding byte of blue-green-red-x pictures (our clips
    // from 32-bit screens) for alpha, and the screen's zero padding paints
    // them black: such pictures are drawn as the opaque pixels they are.
    if (frame.pixelFormat() == QVideoFrameFormat::Format_BGRX8888 &&
        QSysInfo::ByteOrder == QSysInfo::LittleEndian && frame.map(QVideoFrame::ReadOnly)) {
        const QImage picture(frame.bits(0), frame.width(), frame.height(), frame.bytesPerLine(0),
                             QImage::Format_RGB32);
        const QSize size = picture.size().scaled(rect().size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), size);
        target.moveCenter(rect().center());
        painter.fillRect(rect(), Qt::black);
        painter.drawImage(target, picture);
        frame.unmap();
        return;
    }
    frame.paint(&painter, rect(), {Qt::black, Qt::KeepAspectRatio, {}});
}

} // namespace kadrix
