#include "capture/assemble_clip.h"

#include "capture/output_name.h"
#include "core/file.h"
#include "core/path.h"

#include <algorithm>
#include <charconv>
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

std::vector<std::string> recordedFrames(std::span<const std::string> names, std::int32_t written) {
    std::vector<std::pair<std::int32_t, std::string>> numbered;
    for (const std::string& name : names) {
        // "Fr", the digits, ".bmp": exactly the name the recorder gave the
        // frame of that number, so no number is taken twice.
        constexpr std::string_view prefix = "Fr";
        if (name.size() < prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::int32_t number = 0;
        const char* digits = name.data() + prefix.size();
        const auto [end, status] = std::from_chars(digits, name.data() + name.size(), number);
        if (status != std::errc() || end == digits || number < 1 || number > written ||
            name != outputFileName(OutputKind::Frame, number))
            continue;
        numbered.emplace_back(number, name);
    }
    std::sort(numbered.begin(), numbered.end());
    std::vector<std::string> frames;
    for (auto& [number, name] : numbered)
        frames.push_back(std::move(name));
    return frames;
}

ClipOutcome assembleClip(const std::string& folder, const std::string& clip,
                         std::span<const std::string> frames, int rate,
                         const ClipProgress& progress) {
    std::vector<std::string> paths;
    for (const std::string& frame : frames)
        paths.push_back(joinPath(folder, frame));
    ClipOutcome outcome;
    try {
        outcome = createAvi(joinPath(folder, clip), paths, rate, progress);
    } catch (const AviWriteError& error) {
        throw AviWriteError(error.what() + keepFrames(folder, clip, frames));
    } catch (const Error& error) {
        throw Error(error.what() + keepFrames(folder, clip, frames));
    }
    // Only what the clip holds goes: a frame it lacks is the user's only copy.
    for (std::size_t i = 0; i < outcome.frames; ++i)
        removeFile(paths[i]);
    if (outcome.frames < frames.size())
        outcome.inputError += keepFrames(folder, clip, frames.subspan(outcome.frames));
    return outcome;
}

} // namespace kadrix
