// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picture_box.h"

#include "core/file.h"
#include "ui/bmp_picture.h"

#include <QMouseEvent>
#include <QPixmap>

namespace kadrix {

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureBox::showPictureFile(InputFile& file) {
    setPixmap(QPixmap::fromImage(decodeBmpPreview(file, contentsRect().size())));
    file_ = file.path();
}

void PictureBox::clearPicture() {
    clear();
    file_.clear();
}

QImage PictureBox::picture() const {
    InputFile file(file_);
    return decodeBmpPicture(file);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace kadrix
