#include "platform/linux/video_view.h"

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
    frame.paint(&painter, rect(), {Qt::black, Qt::KeepAspectRatio, {}});
}

} // namespace kadrix
