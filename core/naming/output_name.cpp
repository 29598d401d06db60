// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/naming/output_name.h"

#include "core/path.h"

namespace kadrix {

namespace {

struct KindName {
    std::string_view prefix;
    std::string_view extension;
};

KindName kindName(OutputKind kind) {
    switch (kind) {
    case OutputKind::Picture:
        return {"Pic", ".bmp"};
    case OutputKind::Frame:
        return {"Fr", ".bmp"};
    case OutputKind::Video:
        return {"Vid", ".avi"};
    case OutputKind::Sound:
        return {"ZVUK", ".wav"};
    }
    return {};
}

} // namespace

std::string counterDigits(std::int32_t counter) {
    std::string digits = std::to_string(counter);
    if (digits.size() < 6)
        digits.insert(0, 6 - digits.size(), '0');
    return digits;
}

std::string outputFileName(OutputKind kind, std::int32_t counter) {
    const KindName name = kindName(kind);
    std::string file(name.prefix);
    file += counterDigits(counter);
    file += name.extension;
    return file;
}

std::string outputPath(OutputKind kind, std::int32_t counter, std::string_view folder) {
    return joinPath(folder, outputFileName(kind, counter));
}

} // namespace kadrix
