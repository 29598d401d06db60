// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <string>

namespace kadrix::test {

// A picture in which every pixel's colour tells its place, so that a grab of
// any part of the screen can be checked against it.
inline QColor knownColorAt(int x, int y) {
    return QColor(x % 251, y % 241, (x / 251 * 37 + y / 241 * 71 + 40) % 256);
}

QImage knownPicture(QSize size);

// The known colour at a point as a picture of bitsPerChannel bits a channel
// holds it (5 from a 16-bit screen), widened again as a reader does.
QColor knownColorHeld(int x, int y, int bitsPerChannel);

// How many pixels of a picture of the screen, its top-left corner at origin,
// are not the known picture there: every step-th row and column inside
// margin, each channel within tolerance of the colour as held.
int pixelsUnlikeKnownPicture(const QImage& picture, QPoint origin, int bitsPerChannel = 8,
                             int tolerance = 0, int margin = 0, int step = 1);

// Starts the known picture in a process of its own and waits until it shows.
class KnownPictureProcess {
public:
    KnownPictureProcess();
    ~KnownPictureProcess();
    KnownPictureProcess(const KnownPictureProcess&) = delete;
    KnownPictureProcess& operator=(const KnownPictureProcess&) = delete;

    bool shown() const { return shown_; }
    // What went wrong when it is not shown.
    const std::string& failure() const { return failure_; }

private:
    qint64 pid_ = 0;
    bool shown_ = false;
    std::string failure_;
};

// Waits until a window stands at its place over the known picture: most of
// its top row differs from the picture there (the window manager moves a
// window a moment after it is asked to).
bool windowShownOverPicture(const QWidget& window);

// A frameless window showing the known picture over the whole screen, below
// the windows under test.
class KnownPictureWindow : public QWidget {
public:
    KnownPictureWindow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace kadrix::test
