// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame_title_strip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace kadrix {

namespace {

QToolButton* stripButton(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FrameTitleStrip::FrameTitleStrip(QWidget* window) : QWidget(window) {
    setObjectName("FrameTitleStrip");
    maximise_ = stripButton(this, "MaximiseBox", "Развернуть");
    close_ = stripButton(this, "CloseBox", "Закрыть");
    connect(maximise_, &QToolButton::clicked, this, &FrameTitleStrip::toggleMaximised);
    connect(close_, &QToolButton::clicked, window, &QWidget::close);
    window->installEventFilter(this);
}

void FrameTitleStrip::setBorderIcons(bool systemMenu, bool maximiseBox) {
    close_->setVisible(systemMenu);
    maximise_->setVisible(maximiseBox);
}

void FrameTitleStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool active = window()->isActiveWindow();
    painter.fillRect(rect(), active ? QColor(0, 0, 128) : QColor(128, 128, 128));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(rect().adjusted(4, 0, -2 * stripHeight, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     window()->windowTitle());
}

void FrameTitleStrip::resizeEvent(QResizeEvent*) {
    const int side = stripHeight - 2;
    close_->setGeometry(width() - side - 1, 1, side, side);
    maximise_->setGeometry(width() - 2 * side - 2, 1, side, side);
}

void FrameTitleStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && window()->windowHandle())
        window()->windowHandle()->startSystemMove();
}

void FrameTitleStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && maximise_->isVisible())
        toggleMaximised();
}

bool FrameTitleStrip::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowTitleChange:
    case QEvent::ActivationChange:
        update();
        break;
    case QEvent::WindowStateChange:
        if (isVisible())
            showMaximiseIcon();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FrameTitleStrip::showEvent(QShowEvent* event) {
    // The icons are looked up in the icon theme when the capture frame first
    // shows, not while the program starts.
    if (close_->icon().isNull())
        close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    showMaximiseIcon();
    QWidget::showEvent(event);
}

void FrameTitleStrip::showMaximiseIcon() {
    maximise_->setIcon(style()->standardIcon(
        window()->isMaximized() ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton));
}

void FrameTitleStrip::toggleMaximised() {
    QWidget* frame = window();
    if (frame->isMaximized())
        frame->showNormal();
    else
        frame->showMaximized();
}

} // namespace kadrix
