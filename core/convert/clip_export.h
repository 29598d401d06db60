// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/convert/clip_encoder.h"
#include "core/error.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kadrix {

// Why an export failed, for a report in the user's words; the text says it
// in English, naming the file.
class ExportError : public Error {
public:
    enum class Reason {
        ClipUnreadable, // the clip cannot be read or is no AVI clip
        ClipFormat,     // its frames are compressed or of an unknown depth
        Write,          // the output cannot be created or written (a full disk)
        Encoder,        // the encoder failed
        NoEncoder,      // FFmpeg's libraries are not installed
    };
    ExportError(Reason reason, const std::string& text) : Error(text), reason_(reason) {}
    Reason reason() const { return reason_; }

private:
    Reason reason_;
};

// The extension of a format, with its dot: ".mp4", ".webm", ".gif".
std::string_view shareExtension(ShareFormat format);

// The export of clip in format: beside it, its extension replaced.
std::string exportPath(const std::string& clip, ShareFormat format);

// Told after each step; returns whether to go on.
using ExportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Writes the export of a clip beside it (exportPath), frame by frame, under a
// temporary name that is renamed into place when the export is complete and
// removed otherwise: after a failure or a stop no file is left, and a file
// of the name is replaced only by a whole export. Returns the path written,
// or an empty string when progress said to stop. Throws ExportError.
std::string exportClip(const std::string& clip, ShareFormat format, ClipEncoder& encoder,
                       const ExportProgress& progress = {});

} // namespace kadrix
