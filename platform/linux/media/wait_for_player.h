// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMediaPlayer>
#include <chrono>
#include <functional>

namespace kadrix {

// Runs the window's events, without its input, until the condition holds, the
// player reports an error or the time is up. Returns whether the condition
// holds.
bool waitForPlayer(QMediaPlayer& player, std::chrono::milliseconds timeout,
                   const std::function<bool()>& condition);

} // namespace kadrix
