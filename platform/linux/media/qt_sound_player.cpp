// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/qt_sound_player.h"

#include "platform/linux/media/player_source.h"
#include "platform/linux/media/wait_for_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>

namespace kadrix {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds loadTimeout{5000};
// The back-end reports the end 0.1 to 1.2 s after the sound's length.
constexpr milliseconds lateEnd{3000};

} // namespace

bool QtSoundPlayer::playToEnd(const std::string& path) {
    QMediaPlayer player;
    QAudioOutput audio;
    player.setAudioOutput(&audio);
    const PlayerSource source(path);
    player.setSource(source.url());
    const auto loaded = [&] {
        return player.mediaStatus() == QMediaPlayer::LoadedMedia ||
               player.mediaStatus() == QMediaPlayer::InvalidMedia;
    };
    if (!waitForPlayer(player, loadTimeout, loaded) ||
        player.mediaStatus() != QMediaPlayer::LoadedMedia || player.duration() <= 0)
        return false;
    player.play();
    return waitForPlayer(player, milliseconds(player.duration()) + lateEnd,
                         [&] { return player.mediaStatus() == QMediaPlayer::EndOfMedia; });
}

} // namespace kadrix
