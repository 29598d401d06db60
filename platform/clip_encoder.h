// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/convert/clip_encoder.h"

#include <functional>
#include <memory>

namespace kadrix {

// The one place that picks the encoder: FFmpeg's libraries, from a module
// loaded on the first call, so that a program that never encodes never loads
// them (they cost some 100 ms and 40 MB at every start). Where the module
// cannot be loaded, an encoder whose every call throws saying so.
std::unique_ptr<ClipEncoder> createClipEncoder();

// Makes an encoder for one export.
using ClipEncoderFactory = std::function<std::unique_ptr<ClipEncoder>()>;

} // namespace kadrix
