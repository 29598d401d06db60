#include "browser/picture_box.h"

#include <QMouseEvent>
#include <QPixmap>

namespace kadrix {

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureBox::setPicture(QImage picture) {
    picture_ = std::move(picture);
    setPixmap(QPixmap::fromImage(
        picture_.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace kadrix
