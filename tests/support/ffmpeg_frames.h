// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>
#include <string>

namespace kadrix::test {

// A clip's frames as ffmpeg decodes it, one after another in a raw pixel
// format ("bgra", "rgb24"), top row first; empty, with a failure, when
// ffmpeg cannot read it.
inline QByteArray ffmpegFrames(const std::string& clip, const QString& pixelFormat) {
    QProcess decode;
    decode.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(clip), "-f", "rawvideo",
                            "-pix_fmt", pixelFormat, "-"});
    if (!decode.waitForFinished(60000) || decode.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg cannot decode " << clip << ": "
                      << decode.readAllStandardError().toStdString();
        return {};
    }
    return decode.readAllStandardOutput();
}

} // namespace kadrix::test
