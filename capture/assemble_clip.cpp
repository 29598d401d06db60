#include "capture/assemble_clip.h"

#include "capture/output_name.h"
#include "core/file.h"
#include "core/path.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kadrix {

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
    const ClipOutcome outcome = createAvi(joinPath(folder, clip), paths, rate, progress);
    // Only what the clip holds goes: a frame it lacks is the user's only copy.
    for (std::size_t i = 0; i < outcome.frames; ++i)
        removeFile(paths[i]);
    return outcome;
}

} // namespace kadrix
