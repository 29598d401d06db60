// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/wait_for_player.h"

#include <QEventLoop>
#include <QTimer>

namespace kadrix {

bool waitForPlayer(QMediaPlayer& player, std::chrono::milliseconds timeout,
                   const std::function<bool()>& condition) {
    if (condition())
        return true;
    QEventLoop loop;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Polled as well as signalled: the condition may hang on things (a
    // picture drawn) that the player does not signal.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    const auto check = [&] {
        if (condition() || player.error() != QMediaPlayer::NoError)
            loop.quit();
    };
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, &loop, check);
    QObject::connect(&player, &QMediaPlayer::errorOccurred, &loop, check);
    QObject::connect(&player, &QMediaPlayer::playbackStateChanged, &loop, check);
    giveUp.start(timeout);
    poll.start(20);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return condition();
}

} // namespace kadrix
