// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>

namespace kadrix {

// Draws a player's pictures into a display widget, filling it with the
// picture in its proportions on black. Painted like any widget, so it
// needs no native window of its own, works on every display and can be
// grabbed like the rest of the window.
class VideoView : public QWidget {
    Q_OBJECT

public:
    explicit VideoView(QWidget* display);

    QVideoSink* videoSink() { return &sink_; }
    bool hasFrame() const { return frame_.isValid(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QVideoSink sink_;
    QVideoFrame frame_;
};

} // namespace kadrix
