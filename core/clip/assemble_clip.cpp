// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/assemble_clip.h"

#include "core/file.h"
#include "core/path.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace kadrix {

namespace {

namespace fs = std::filesystem;

// A new subfolder of folder named for the clip: "Vid000003", or
// "Vid000003-2" and on where that name is taken. Empty when none can be made.
std::string newFolderFor(const std::string& folder, const std::string& clip) {
    const std::string stem = fs::path(clip).stem().string();
    for (int n = 1;; ++n) {
        const std::string path = joinPath(folder, n == 1 ? stem : stem + "-" + std::to_string(n));
        std::error_code error;
        if (fs::create_directory(path, error))
            return path;
        if (error && error != std::errc::file_exists)
            return {};
    }
}

// Moves the frames (names in folder) that are not in the clip out of the way
// of the next recording, which numbers its frames from 1 again, into a new
// subfolder named for the clip. Returns the sentence for the report that
// says where they are.
std::string keepFrames(const std::string& folder, const std::string& clip,
                       std::span<const std::string> frames) {
    const std::string kept = newFolderFor(folder, clip);
    std::size_t moved = 0;
    if (!kept.empty()) {
        for (const std::string& frame : frames) {
            std::error_code error;
            fs::rename(joinPath(folder, frame), joinPath(kept, frame), error);
            moved += error ? 0 : 1;
        }
        if (moved == 0) {
            std::error_code ignored;
            fs::remove(kept, ignored);
        }
    }
    // Frames that could not be moved stay where they are; the next
    // recording will not write over them.
    std::string where;
    if (moved > 0)
        where = "\"" + kept + "\"";
    if (moved < frames.size())
        where += (where.empty() ? "\"" : " and \"") + folder + "\"";
    return "\nThe frames not in the clip are kept in " + where + ".";
}

} // namespace

RecordingClip::RecordingClip(std::string folder, std::string clip, int rate,
                             std::uint64_t plannedFrames)
    : folder_(std::move(folder)), clip_(std::move(clip)),
      assembly_(joinPath(folder_, clip_), rate, plannedFrames) {}

void RecordingClip::add(const std::string& framePath) {
    if (ended_)
        return;
    try {
        assembly_.append(framePath);
        return;
    } catch (const AviWriteError& error) {
        error_ = error.what();
        writeFailed_ = true;
    } catch (const Error& error) {
        error_ = error.what();
    }
    ended_ = true;
}

ClipOutcome RecordingClip::finish(std::span<const std::string> frames) {
    ClipOutcome outcome{.frames = static_cast<std::size_t>(assembly_.frames()),
                        .inputError = error_};
    if (outcome.frames > frames.size())
        outcome.frames = frames.size(); // more went in than the caller counts as on disk
    try {
        if (outcome.frames == 0 || !assembly_.intact()) {
            if (writeFailed_)
                throw AviWriteError(error_);
            // Nothing went in: the first frame cannot be read, or the clip
            // cannot be created.
            throw Error(error_);
        }
        assembly_.finish();
    } catch (const AviWriteError& error) {
        throw AviWriteError(error.what() + keepFrames(folder_, clip_, frames));
    } catch (const Error& error) {
        throw Error(error.what() + keepFrames(folder_, clip_, frames));
    }
    if (outcome.frames < frames.size())
        outcome.inputError += keepFrames(folder_, clip_, frames.subspan(outcome.frames));
    return outcome;
}

} // namespace kadrix
