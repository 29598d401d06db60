// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clip_player.h"

#include <QWidget>
#include <memory>
#include <string>

class QToolButton;

namespace kadrix {

// The player's button bar: Play, Pause, Stop, Prev, Step and Back over one
// opened clip or sound, whose pictures go to a display widget given at open.
// The buttons follow what the open file allows; with nothing open they are
// off.
class MediaPlayerBar : public QWidget {
    Q_OBJECT

public:
    enum Button { Play, Pause, Stop, Prev, Step, Back };

    // players makes the bar's player when it first plays: a window that
    // never plays anything never starts the media back-end.
    explicit MediaPlayerBar(ClipPlayerFactory players, QWidget* parent = nullptr);
    ~MediaPlayerBar() override;

    // Opens path (the file system's bytes, UTF-8 or not), closing what was
    // open first, and shows its first picture in display. Throws kadrix::Error with the media
    // back-end's text when the file cannot be played; the bar is closed then.
    void open(const std::string& path, QWidget* display);
    // Closes the file: it is no longer held open and can be deleted.
    void close();
    bool isOpen() const;
    // The path last opened; empty when closed.
    const std::string& fileName() const { return fileName_; }

    QToolButton* button(Button which) const { return buttons_[which]; }

    // The buttons' effects. Play plays from where the file stands, from the
    // start again at the end; Pause holds playing and resumes held playing;
    // Stop stops; Prev goes to the start; Step and Back (clips only) move by
    // a tenth of the length, Step from the start again at the end and never
    // past the last picture.
    void play();
    void pause();
    void stop();
    void prev();
    void step();
    void back();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ClipPlayer& player();
    void enableButtons();

    ClipPlayerFactory players_;
    std::unique_ptr<ClipPlayer> player_;
    QToolButton* buttons_[6] = {};
    std::string fileName_;
};

} // namespace kadrix
