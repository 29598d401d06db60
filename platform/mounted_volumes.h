#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kadrix {

// A volume the user can pick in the drive box.
struct Volume {
    std::string mountPoint;
    std::string label; // the filesystem label, a network share's source, or empty
};

// The mounted volumes a user would pick (the filesystem root, home and data
// partitions, removable media, network shares), sorted by mount point. Reads
// the mount table of this process; throws kadrix::Error when it cannot.
std::vector<Volume> mountedVolumes();

// Where a widget gets its volumes from: mountedVolumes, or a fixed list in a
// test.
using VolumeSource = std::function<std::vector<Volume>()>;

} // namespace kadrix
