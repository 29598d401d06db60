// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>
#include <string>

namespace kadrix {

class InputFile;

// The preview picture box: shows a picture file scaled to the largest size
// that fits the box with its aspect kept, from the box's top-left corner,
// and remembers which file it shows, so that the conversions read that
// file at its own size when they are asked for it.
class PictureBox : public QLabel {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Shows the BMP picture of an open file, decoded at the size it is
    // shown; a picture that fails leaves the box as it was.
    void showPictureFile(InputFile& file);
    // Shows nothing and forgets the file, as before the first.
    void clearPicture();
    // The file shown, empty before the first.
    const std::string& pictureFile() const { return file_; }
    // The shown file's picture at its own size, read again.
    QImage picture() const;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::string file_;
};

} // namespace kadrix
