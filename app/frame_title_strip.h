// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

namespace kadrix {

// The capture frame draws its own title strip: the whole outer rectangle is
// then the program's own, so none of it needs the window manager's frame.
// Dragging the strip moves the window, a double click maximises or restores
// it, and its buttons are the frame's border icons.
class FrameTitleStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr int stripHeight = 20;

    explicit FrameTitleStrip(QWidget* window);

    void setBorderIcons(bool systemMenu, bool maximiseBox);
    QToolButton* maximiseButton() const { return maximise_; }
    QToolButton* closeButton() const { return close_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggleMaximised();
    void showMaximiseIcon();

    QToolButton* maximise_ = nullptr;
    QToolButton* close_ = nullptr;
};

} // namespace kadrix
