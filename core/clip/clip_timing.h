// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kadrix {

// A clip recording grabs a frame this often.
inline constexpr int frameIntervalMs = 200;

// The clip plays at twice the recorded speed: 10 frames a second for a frame
// every 200 ms. Tied to the interval, so that changing one keeps the other
// right.
inline constexpr int clipSpeedUp = 2;
inline constexpr int clipFramesPerSecond = clipSpeedUp * 1000 / frameIntervalMs;
static_assert(clipFramesPerSecond * frameIntervalMs == clipSpeedUp * 1000,
              "the frame interval must divide the clip's second evenly");

} // namespace kadrix
