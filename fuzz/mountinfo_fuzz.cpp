// SPDX-License-Identifier: GPL-3.0-or-later
// The mount table parser and the volume filter on arbitrary text.
#include "platform/mountinfo.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> mountPoints;
    for (const kadrix::MountEntry& entry : kadrix::userVolumeMounts(kadrix::parseMountInfo(text)))
        mountPoints.push_back(entry.mountPoint);
    kadrix::containingMountPoint(text, mountPoints);
    kadrix::decodeLabelLinkName(text);
    return 0;
}
