#pragma once

#include <QObject>
#include <QRegion>

class QWidget;

namespace kadrix {

class WindowService;

// Makes everything of a window that is painted in maroon see-through, and
// lets clicks there pass to the windows beneath, as a colour key does: the
// window is shaped (X11 SHAPE) to the pixels that are not maroon. Works with
// and without a compositor. The window service sends the shape to the
// display at once.
class SeeThrough : public QObject {
    Q_OBJECT

public:
    // windows must outlive this object, or be replaced before it ends.
    SeeThrough(QWidget* window, WindowService& windows);
    void setWindowService(WindowService& windows) { windows_ = &windows; }

    // Turns the key colour on or off; while on, the shape follows the window's
    // content whenever update() is called.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Recomputes the shape on the next turn of the event loop (several calls
    // in one handler make one update).
    void update();

    // The opaque part of a rendering of the window: every pixel that is not
    // exactly maroon.
    static QRegion opaqueRegion(const QImage& rendering);

private:
    void apply();
    void flush();

    QWidget* window_;
    WindowService* windows_;
    bool enabled_ = false;
    bool pending_ = false;
};

} // namespace kadrix
