// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/clip_export.h"
#include "platform/clip_encoder.h"
#include "tool/commands.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace kadrix::tool {

constinit const std::string_view mp4Details =
    "Writes CLIP.mp4 beside each uncompressed AVI clip, in the order given:\n"
    "H.264 in 4:2:0 (CRF 20, preset veryfast) at the clip's frame rate, the\n"
    "index at the front so that it plays while it downloads. A clip of odd\n"
    "width or height gains one column or row repeating its last. Prints the\n"
    "name of each file written.\n";

constinit const std::string_view webmDetails =
    "Writes CLIP.webm beside each uncompressed AVI clip, in the order given:\n"
    "VP9 in 4:2:0 (CRF 32, row multithreading) at the clip's frame rate and\n"
    "size. Prints the name of each file written.\n";

constinit const std::string_view gifDetails =
    "Writes CLIP.gif beside each uncompressed AVI clip, in the order given:\n"
    "one palette of up to 256 colours made for the whole clip, each frame\n"
    "dithered to it, at the clip's frame rate and size, looping. Prints the\n"
    "name of each file written.\n";

namespace {

// kadrix-tool mp4|webm|gif CLIP.avi...: a clip that fails is reported and
// the others are exported all the same.
int exportClips(std::span<char* const> args, ShareFormat format, const char* command) {
    if (args.empty())
        throw UsageError("no clip given");
    const std::unique_ptr<ClipEncoder> encoder = createClipEncoder();
    int status = 0;
    for (const char* clip : args) {
        try {
            std::printf("%s\n", exportClip(clip, format, *encoder).c_str());
        } catch (const std::exception& error) {
            // Results and messages interleave in input order when both go to
            // one terminal.
            std::fflush(stdout);
            // A failure to write names the export, any other the clip.
            const std::string reason = error.what();
            const bool namesExport = reason.find(exportPath(clip, format)) != std::string::npos;
            std::fprintf(stderr, "kadrix-tool %s: %s\n", command,
                         (namesExport ? reason : fileError(clip, reason)).c_str());
            status = 1;
        }
    }
    return status;
}

} // namespace

int runMp4(std::span<char* const> args) {
    return exportClips(args, ShareFormat::Mp4, "mp4");
}

int runWebm(std::span<char* const> args) {
    return exportClips(args, ShareFormat::WebM, "webm");
}

int runGif(std::span<char* const> args) {
    return exportClips(args, ShareFormat::Gif, "gif");
}

} // namespace kadrix::tool
