#pragma once

#include <QImage>
#include <QLabel>

namespace kadrix {

// The preview picture box: keeps the picture at its own size and pixel
// format (the conversions read it) and shows it scaled to the largest size
// that fits the box with its aspect kept, from the box's top-left corner.
class PictureBox : public QLabel {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    const QImage& picture() const { return picture_; }
    // Replaces the picture; the scaled copy is made once, here.
    void setPicture(QImage picture);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

} // namespace kadrix
