// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/media_player_bar.h"

#include "platform/clip_player.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace kadrix {

using std::chrono::milliseconds;

MediaPlayerBar::MediaPlayerBar(ClipPlayerFactory players, QWidget* parent)
    : QWidget(parent), players_(std::move(players)) {
    setCursor(Qt::PointingHandCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    struct Look {
        const char* objectName;
        const char* text;
        void (MediaPlayerBar::*effect)();
    };
    const Look looks[] = {{"Play", "Воспроизвести", &MediaPlayerBar::play},
                          {"Pause", "Пауза", &MediaPlayerBar::pause},
                          {"Stop", "Стоп", &MediaPlayerBar::stop},
                          {"Prev", "В начало", &MediaPlayerBar::prev},
                          {"Step", "Шаг", &MediaPlayerBar::step},
                          {"Back", "Назад", &MediaPlayerBar::back}};
    int index = 0;
    for (const Look& look : looks) {
        auto* button = new QToolButton(this);
        button->setObjectName(look.objectName);
        button->setAccessibleName(look.text);
        button->setToolTip(look.text);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, look.effect);
        row->addWidget(button);
        buttons_[index++] = button;
    }
}

MediaPlayerBar::~MediaPlayerBar() = default;

void MediaPlayerBar::showEvent(QShowEvent* event) {
    // The icons come from the desktop's icon theme, whose first look-up costs
    // the program's start several milliseconds; the bar is hidden until a
    // clip or sound is opened.
    if (buttons_[Play]->icon().isNull()) {
        constexpr QStyle::StandardPixmap icons[] = {
            QStyle::SP_MediaPlay,        QStyle::SP_MediaPause,
            QStyle::SP_MediaStop,        QStyle::SP_MediaSkipBackward,
            QStyle::SP_MediaSeekForward, QStyle::SP_MediaSeekBackward};
        for (int which = Play; which <= Back; ++which)
            buttons_[which]->setIcon(style()->standardIcon(icons[which]));
    }
    QWidget::showEvent(event);
}

ClipPlayer& MediaPlayerBar::player() {
    if (!player_)
        player_ = players_();
    return *player_;
}

void MediaPlayerBar::open(const std::string& path, QWidget* display) {
    close();
    player().open(path, display);
    fileName_ = path;
    enableButtons();
}

void MediaPlayerBar::close() {
    if (player_)
        player_->close();
    fileName_.clear();
    enableButtons();
}

bool MediaPlayerBar::isOpen() const {
    return player_ && player_->isOpen();
}

void MediaPlayerBar::enableButtons() {
    const bool open = isOpen();
    const bool seek = open && player_->canSeek();
    const bool video = seek && player_->hasVideo();
    buttons_[Play]->setEnabled(open);
    buttons_[Pause]->setEnabled(open);
    buttons_[Stop]->setEnabled(open);
    buttons_[Prev]->setEnabled(seek);
    buttons_[Step]->setEnabled(video);
    buttons_[Back]->setEnabled(video);
}

void MediaPlayerBar::play() {
    if (!isOpen())
        return;
    if (player_->atEnd())
        player_->seek(milliseconds{});
    player_->play();
}

void MediaPlayerBar::pause() {
    if (!isOpen())
        return;
    if (player_->state() == ClipPlayer::State::Playing)
        player_->pause();
    else if (player_->state() == ClipPlayer::State::Paused)
        player_->play();
}

void MediaPlayerBar::stop() {
    if (isOpen())
        player_->stop();
}

void MediaPlayerBar::prev() {
    if (isOpen() && player_->canSeek())
        player_->seek(milliseconds{});
}

void MediaPlayerBar::step() {
    if (!isOpen() || !player_->hasVideo() || !player_->canSeek())
        return;
    if (player_->atEnd()) {
        player_->seek(milliseconds{});
        return;
    }
    player_->seek(std::min(player_->position() + player_->length() / 10, player_->lastFrame()));
}

void MediaPlayerBar::back() {
    if (!isOpen() || !player_->hasVideo() || !player_->canSeek())
        return;
    player_->seek(std::max(milliseconds{}, player_->position() - player_->length() / 10));
}

} // namespace kadrix
