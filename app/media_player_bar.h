#pragma once

#include <QWidget>

class QToolButton;

namespace kadrix {

// The clip player's button bar: play, pause, stop, previous, step, back. The
// buttons follow what the open clip allows; with no clip open they are off.
class MediaPlayerBar : public QWidget {
    Q_OBJECT

public:
    explicit MediaPlayerBar(QWidget* parent = nullptr);

    QToolButton* playButton() const { return play_; }

private:
    QToolButton* play_ = nullptr;
};

} // namespace kadrix
