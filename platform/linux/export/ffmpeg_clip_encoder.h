// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/convert/clip_encoder.h"

namespace kadrix {

// The clip encoder on FFmpeg's libraries: libavcodec's libx264, libvpx and
// GIF encoders, libswscale's conversion to 4:2:0, libavfilter's palettegen
// and paletteuse, libavformat's muxers writing through the encoded file.
class FfmpegClipEncoder final : public ClipEncoder {
public:
    FfmpegClipEncoder();
    bool encode(FrameSource& source, ShareFormat format, EncodedFile& out,
                const EncodeProgress& progress) override;
};

// The module's file, installed in <prefix>/lib/kadrix beside <prefix>/bin.
inline constexpr char exportModuleFileName[] = "kadrix-export.so";

} // namespace kadrix

// The encoder lives in a module of its own, loaded when a clip is first
// exported: linked into the program or the tool, FFmpeg's libraries would
// cost every start. Returns a new encoder that the caller owns.
extern "C" kadrix::ClipEncoder* kadrixExportClipEncoder();
